// SPDX-License-Identifier: MIT
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include "editor/highlighter.h"
#include "options/form_config.h"
#include "texts/ui_texts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <array>
#include <vector>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

// Line 0 is a comment, line 1 starts with the DataTypes keyword "void".
const QByteArray kVertex = "// vertex\nvoid main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "// fragment\nvoid main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

// The format as the pane draws it: a pane highlights its lines as it paints them.
QTextCharFormat formatAt(const QPlainTextEdit* pane, int line, int column) {
    pane->viewport()->grab();
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        if (column >= r.start && column < r.start + r.length) {
            return r.format;
        }
    }
    ADD_FAILURE() << "no format at line " << line << " column " << column;
    return {};
}

// Lets dialogs that closed delete themselves.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A WorkSpace "ws/" with the pair "a" open after start-up.
class Options : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.storeSettings(ws(), "a");
    }

    QString ws() const { return h.path("ws/"); }

    TForm_Config& openConfig(QWidget& w) {
        h.options->Action_ConfigExecute();
        EXPECT_NE(optionsDialog(w), nullptr);
        return *optionsDialog(w);
    }

    // The format a keyword category should be drawn in now, on white.
    QTextCharFormat expected(TColor color, qint32 effects) const {
        return highlightFormat(color, effects, kWhite);
    }

    void expectKeywordAndComment(const QWidget& w, const TextFormat& keyword,
                                 const TextFormat& comment) const {
        for (const QPlainTextEdit* pane :
             std::initializer_list<const QPlainTextEdit*>{vertexEdit(w), fragmentEdit(w)}) {
            SCOPED_TRACE(pane->objectName().toStdString());
            EXPECT_EQ(formatAt(pane, 1, 0), expected(keyword.color, keyword.effects));
            EXPECT_EQ(formatAt(pane, 0, 3), expected(comment.color, comment.effects));
        }
    }

    ControllerHarness h;
};

// Every caption of the dialog, those that differ between the languages first.
QStringList captions(const TForm_Config& d) {
    QStringList texts = {d.GroupBox1->title(),      d.GroupBox2->title(),
                         d.CB_Bold->text(),         d.CB_Italic->text(),
                         d.CB_underline->text(),    d.CheckBox1->text(),
                         d.BT_Cancel->text(),       d.PageControl1->tabText(1),
                         d.windowTitle(),           d.GroupBox3->title(),
                         d.BT_OK->text(),           d.Label1->text(),
                         d.Label2->text(),          d.PageControl1->tabText(0),
                         d.PageControl1->tabText(2)};
    for (int i = 0; i < d.ComboBox1->count(); ++i) {
        texts << d.ComboBox1->itemText(i);
    }
    return texts;
}

TEST(OptionsCaptions, FollowTheInterfaceLanguage) {
    const QStringList same = {"Options",      " AutoSave ",     "OK",
                              "VertexShader", "FragmentShader", "Editor",
                              "Misc",         "DataTypes",      "FunctionNames",
                              "StateVars",    "TypeQualifiers", "Comment"};
    const std::pair<QString, QStringList> languages[] = {
        {"English",
         {" Colors ", " FileExtensions ", " Bold", " Italic", " Underline",
          " No Save Files Questions (always save)", "Cancel", "ShaderFileExt"}},
        {"Deutsch (Deutschland)",
         {" Farben ", " Dateiendungen ", " Fett", " Kursiv", " Unterstrichen",
          " Änderungen immer speichern", "Abbrechen", "Shader-Dateiendungen"}},
    };
    for (const auto& [language, differing] : languages) {
        ControllerHarness h;
        h.german = language.startsWith(u"Deutsch");
        QWidget& w = h.start();
        h.options->Action_ConfigExecute();
        ASSERT_NE(optionsDialog(w), nullptr);
        EXPECT_EQ(captions(*optionsDialog(w)), differing + same) << language.toStdString();
    }
}

// The extension fields and their labels in the order of the stages.
std::array<QLineEdit*, kSideCount> extensionEdits(const TForm_Config& d) {
    return {d.Edit_Vertex,      d.Edit_Fragment, d.Edit_Geometry,
            d.Edit_TessControl, d.Edit_TessEval, d.Edit_Compute};
}

std::array<QLabel*, kSideCount> extensionLabels(const TForm_Config& d) {
    return {d.Label1, d.Label2, d.Label5, d.Label6, d.Label7, d.Label8};
}

TEST(OptionsCaptions, EveryStageHasARowOnTheExtensionPageInEitherLanguage) {
    const QStringList labels = {"VertexShader", "FragmentShader", "Geometry",
                                "TessControl",  "TessEval",       "Compute"};
    for (const bool german : {false, true}) {
        SCOPED_TRACE(german);
        ControllerHarness h;
        h.german = german;
        QWidget& w = h.start();
        h.options->Action_ConfigExecute();
        ASSERT_NE(optionsDialog(w), nullptr);
        TForm_Config& d = *optionsDialog(w);
        d.PageControl1->setCurrentWidget(d.TabSheet2);
        QCoreApplication::processEvents();

        EXPECT_TRUE(d.TabSheet2->rect().contains(d.GroupBox2->geometry()));
        int below = 0;
        for (int i = 0; i < kSideCount; ++i) {
            SCOPED_TRACE(i);
            const QLineEdit* edit = extensionEdits(d)[i];
            const QLabel* label = extensionLabels(d)[i];
            EXPECT_EQ(label->text(), labels[i]);
            EXPECT_TRUE(edit->isVisible());
            EXPECT_TRUE(d.GroupBox2->rect().contains(edit->geometry()));
            EXPECT_TRUE(d.GroupBox2->rect().contains(label->geometry()));
            EXPECT_GT(label->x(), edit->geometry().right());
            EXPECT_GE(edit->y(), below);
            below = edit->geometry().bottom() + 1;
        }
    }
}

TEST_F(Options, TheDialogShowsTheExtensionsOfEveryStage) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) {
        cfg.FileExtGeometry = QStringLiteral(".gs");
        cfg.FileExtTessControl = QStringLiteral(".tcs");
        cfg.FileExtTessEval = QStringLiteral(".tes");
        cfg.FileExtCompute = QStringLiteral(".cs");
    });
    QWidget& w = h.start();
    const TForm_Config& d = openConfig(w);
    const QStringList shown = {".vert", ".frag", ".gs", ".tcs", ".tes", ".cs"};
    for (int i = 0; i < kSideCount; ++i) {
        EXPECT_EQ(extensionEdits(d)[i]->text(), shown[i]) << i;
    }
}

struct StageFault {
    const char* name;
    bool german;
    PairSide side;
    const char* typed;
    const char* text;
};

class OptionsStageFaults : public Options, public ::testing::WithParamInterface<StageFault> {};

TEST_P(OptionsStageFaults, AreRefusedWithAnErrorNamingTheStages) {
    h.german = GetParam().german;
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    extensionEdits(d)[int(GetParam().side)]->setText(QString::fromUtf8(GetParam().typed));
    d.BT_OK->click();

    ASSERT_EQ(h.prompter.messages.size(), 1);
    const auto& m = h.prompter.messages[0];
    EXPECT_EQ(m.text, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(m.icon, QMessageBox::Critical);
    EXPECT_EQ(m.buttons, QMessageBox::Ok);
    EXPECT_TRUE(d.isVisible());
    const TCFG stored = h.stored();
    EXPECT_EQ(stageExtensions(stored).of(GetParam().side),
              stageExtensions(TCFG()).of(GetParam().side));
    EXPECT_EQ(stored.CurrentFileName, QStringLiteral("a"));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, OptionsStageFaults,
    ::testing::Values(
        StageFault{"GeometryLikeVertex", false, PairSide::Geometry, " .VERT",
                   "Vertex and Geometry shaders may not share the FileExtension .vert!"},
        StageFault{"ComputeLikeTessEval", false, PairSide::Compute, ".tese",
                   "TessEval and Compute shaders may not share the FileExtension .tese!"},
        StageFault{"ComputeLikeFragmentGerman", true, PairSide::Compute, ".frag",
                   "Fragment und Compute Shader dürfen nicht dieselbe Dateiendung .frag haben!"},
        StageFault{"TessControlEmpty", false, PairSide::TessControl, " ",
                   "Invalid TessControl FileExt!"},
        StageFault{"TessEvalUnsafeGerman", true, PairSide::TessEval, "../x",
                   "Ungültige Dateiendung für TessEval Shader File!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Options, AcceptedExtensionsOfEveryStageReachTheWorkSpace) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    std::vector<PairExtensions> chosen;
    QObject::connect(&d, &TForm_Config::extensionsChosen,
                     [&](const PairExtensions& extensions) { chosen.push_back(extensions); });
    d.Edit_Fragment->setText(QStringLiteral(".fs"));
    d.Edit_Geometry->setText(QStringLiteral(" .GS"));
    d.Edit_TessControl->setText(QStringLiteral(".tcs"));
    d.Edit_TessEval->setText(QStringLiteral(".tes\t"));
    d.Edit_Compute->setText(QStringLiteral(".cs"));
    h.prompter.answers = {QMessageBox::Ok};
    d.BT_OK->click();

    ASSERT_EQ(chosen.size(), 1u);
    const QStringList expected = {".vert", ".fs", ".gs", ".tcs", ".tes", ".cs"};
    const PairExtensions stored = stageExtensions(h.stored());
    for (int i = 0; i < kSideCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(chosen[0].of(kProgramSides[i]), expected[i]);
        EXPECT_EQ(stored.of(kProgramSides[i]), expected[i]);
    }
    EXPECT_EQ(optionsDialog(w), nullptr);
}

TEST_F(Options, ASecondConfigurationOnlyBringsTheOpenDialogForward) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    h.prompter.colors.push_back(QColor(0, 0, 255));
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    ASSERT_EQ(h.stored().FontColor_DataTypes, 0x00FF0000u);

    h.options->Action_ConfigExecute();
    EXPECT_EQ(optionsDialog(w), &d);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(w.findChildren<TForm_Config*>().size(), 1);

    // No new backup was taken: Cancel goes back to the colour from before the first opening.
    d.BT_Cancel->click();
    EXPECT_EQ(h.stored().FontColor_DataTypes, 0x000000FFu);
}

// Each dialog is opened while the deletion of the one closed before it is still pending.
TEST_F(Options, EveryWayOfClosingDeletesTheDialogAndTheNextOneIsNew) {
    QWidget& w = h.start();
    const auto closers = std::vector<std::function<void(TForm_Config&)>>{
        [](TForm_Config& d) { d.BT_OK->click(); },
        [](TForm_Config& d) { d.BT_Cancel->click(); },
        [](TForm_Config& d) { d.close(); },
    };
    QList<QPointer<TForm_Config>> closed;
    for (size_t i = 0; i < closers.size(); ++i) {
        SCOPED_TRACE(i);
        QPointer<TForm_Config> d = &openConfig(w);
        EXPECT_TRUE(d->isVisible());
        EXPECT_FALSE(closed.contains(d));
        closers[i](*d);
        EXPECT_EQ(optionsDialog(w), nullptr);
        closed.append(d);
    }
    settle();
    for (const QPointer<TForm_Config>& d : closed) {
        EXPECT_TRUE(d.isNull());
    }
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

struct BadExtensions {
    const char* name;
    const char* vertex;
    const char* fragment;
    int slot;
    const char* text;
};

class OptionsExtensionFaults : public Options,
                               public ::testing::WithParamInterface<BadExtensions> {};

TEST_P(OptionsExtensionFaults, AreRefusedWithAnErrorAndTheDialogStaysOpen) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.Edit_Vertex->setText(QString::fromUtf8(GetParam().vertex));
    d.Edit_Fragment->setText(QString::fromUtf8(GetParam().fragment));
    d.BT_OK->click();

    ASSERT_EQ(h.prompter.messages.size(), 1);
    const auto& m = h.prompter.messages[0];
    EXPECT_EQ(m.text, QString::fromUtf8(GetParam().text));
    EXPECT_EQ(m.text, h.messages()[GetParam().slot]);
    EXPECT_EQ(m.icon, QMessageBox::Critical);
    EXPECT_EQ(m.buttons, QMessageBox::Ok);
    EXPECT_TRUE(m.ownerName.isEmpty());

    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Edit_Vertex->text(), QString::fromUtf8(GetParam().vertex));
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(h.stored().FileExtFragment, QStringLiteral(".frag"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kVertex));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, OptionsExtensionFaults,
    ::testing::Values(BadExtensions{"VertexEmpty", "", ".fs", MsgInvalidVertexExt,
                                    "Invalid Vertex FileExt!"},
                      BadExtensions{"FragmentEmpty", ".vs", "  ", MsgInvalidFragmentExt,
                                    "Invalid Fragment FileExt!"},
                      BadExtensions{"Equal", ".frag", ".frag", MsgExtensionsMustDiffer,
                                    "FileExtensions must be different!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Options, FieldsDifferingOnlyInCaseAndBlanksCloseWithoutAsking) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.Edit_Vertex->setText(QStringLiteral(" .VERT "));
    d.Edit_Fragment->setText(QStringLiteral("\t.Frag"));
    d.BT_OK->click();
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_EQ(optionsDialog(w), nullptr);
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
}

TEST_F(Options, CancelAtTheWarningKeepsTheDialogOpenAndNothingChanged) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.Edit_Vertex->setText(QStringLiteral(".VS "));
    h.prompter.answers.push_back(QMessageBox::Cancel);
    d.BT_OK->click();

    ASSERT_EQ(h.prompter.messages.size(), 1);
    const auto& m = h.prompter.messages[0];
    EXPECT_EQ(m.text, QStringLiteral("Changing the FileExtension will force You to save all open "
                                     "files and rescan current Directory!"));
    EXPECT_EQ(m.icon, QMessageBox::Warning);
    EXPECT_EQ(m.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_TRUE(m.ownerName.isEmpty());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
    EXPECT_EQ(entries(w), QStringList({"a"}));
}

TEST_F(Options, CancelAtTheSavePromptKeepsTheDialogOpenAndNothingChanged) {
    QWidget& w = h.start();
    QTest::keyClicks(vertexEdit(w), "x");
    TForm_Config& d = openConfig(w);
    d.Edit_Fragment->setText(QStringLiteral(".fs"));
    h.prompter.answers = {QMessageBox::Ok, QMessageBox::Cancel};
    d.BT_OK->click();

    ASSERT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.prompter.messages[1].text, h.messages()[MsgSaveChanges]);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(h.stored().FileExtFragment, QStringLiteral(".frag"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
}

TEST_F(Options, AnAcceptedChangeSavesUnderTheOldNamesRescansAndOpensTheFirstPair) {
    h.writeFile("ws/b.vs", "// b vertex\n");
    h.writeFile("ws/b.fs", "// b fragment\n");
    h.writeFile("ws/c.vs", "// c vertex\n");
    h.writeFile("ws/c.fs", "// c fragment\n");
    QWidget& w = h.start();
    errorListBox(w)->addItem(QStringLiteral("old message"));
    QTest::keyClicks(vertexEdit(w), "x");
    TForm_Config& d = openConfig(w);
    d.Edit_Vertex->setText(QStringLiteral(" .VS"));
    d.Edit_Fragment->setText(QStringLiteral(".fs"));
    h.prompter.answers = {QMessageBox::Ok, QMessageBox::Yes};
    d.BT_OK->click();

    EXPECT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.readFile("ws/a.vert"), "x" + kVertex);
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/a.vs")));
    EXPECT_EQ(optionsDialog(w), nullptr);
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vs"));
    EXPECT_EQ(h.stored().FileExtFragment, QStringLiteral(".fs"));
    EXPECT_EQ(entries(w), QStringList({"b", "c"}));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("b"));
    EXPECT_EQ(pairListBox(w)->currentRow(), 0);
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// b vertex\n"));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QStringLiteral("// b fragment\n"));
    EXPECT_FALSE(vertexEdit(w)->document()->isModified());
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_EQ(errorListBox(w)->count(), 0);
    EXPECT_TRUE(h.pairSelected);
    // The new pair is highlighted as it loads.
    EXPECT_EQ(formatAt(fragmentEdit(w), 0, 0), expected(h.stored().FontColor_Comment, 0));
}

// With nothing under the new extensions nothing stays open; a vertex file without its partner
// is opened as a shader of its own.
class OptionsWithoutPairs : public Options, public ::testing::WithParamInterface<bool> {};

TEST_P(OptionsWithoutPairs, AnAcceptedChangeOpensWhatTheNewExtensionsFind) {
    const bool loneFile = GetParam();
    if (loneFile) {
        h.writeFile("ws/b.vs", "// b vertex\n");
    }
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.Edit_Vertex->setText(QStringLiteral(".vs"));
    d.Edit_Fragment->setText(QStringLiteral(".fs"));
    h.prompter.answers = {QMessageBox::Ok};
    d.BT_OK->click();

    ASSERT_EQ(h.prompter.messages.size(), 1) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_EQ(optionsDialog(w), nullptr);
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vs"));
    EXPECT_TRUE(fragmentEdit(w)->document()->isEmpty());
    if (loneFile) {
        EXPECT_EQ(entries(w), QStringList({"b"}));
        EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("b"));
        EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// b vertex\n"));
        EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [b]"));
        EXPECT_TRUE(h.pairSelected);
        EXPECT_TRUE(part<QWidget>(w, "TabSheet1")->isEnabled());
        // The vertex shader is the program's only stage: the fragment tab is gone.
        EXPECT_FALSE(paneTabs(w)->isTabVisible(1));
        return;
    }
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_TRUE(h.stored().CurrentFileName.isEmpty());
    EXPECT_TRUE(vertexEdit(w)->document()->isEmpty());
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - []"));
    EXPECT_FALSE(h.pairSelected);
    EXPECT_FALSE(part<QWidget>(w, "TabSheet1")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(LoneFile, OptionsWithoutPairs, ::testing::Bool());

TEST_F(Options, AChosenColourReHighlightsBothPanesAtOnce) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    h.prompter.colors.push_back(QColor(0x12, 0x34, 0x56));
    QTest::mouseClick(d.Image1, Qt::RightButton);

    EXPECT_EQ(h.stored().FontColor_DataTypes, 0x00563412u);
    expectKeywordAndComment(w, {0x00563412, 0}, {h.stored().FontColor_Comment, 0});
    EXPECT_EQ(d.Image1->pixmap().toImage().pixelColor(36, 32), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(h.prompter.colorRequests.size(), 1);
}

TEST_F(Options, TheColourChooserStartsAtBlackInEachNewDialog) {
    QWidget& w = h.start();
    TForm_Config& first = openConfig(w);
    first.ComboBox1->setCurrentIndex(1);  // FunctionNames, blue
    h.prompter.colors = {QColor(0x10, 0x20, 0x30), std::nullopt};
    QTest::mouseClick(first.Image1, Qt::LeftButton);
    QTest::mouseClick(first.Image1, Qt::LeftButton);
    ASSERT_EQ(h.prompter.colorRequests.size(), 2);
    EXPECT_EQ(h.prompter.colorRequests[0], QColor(Qt::black));
    EXPECT_EQ(h.prompter.colorRequests[1], QColor(0x10, 0x20, 0x30));
    // The cancelled chooser changed nothing.
    EXPECT_EQ(h.stored().FontColor_FunctionNames, 0x00302010u);
    EXPECT_EQ(first.Image1->pixmap().toImage().pixelColor(36, 32), QColor(0x10, 0x20, 0x30));
    first.BT_OK->click();

    TForm_Config& second = openConfig(w);
    h.prompter.colors = {std::nullopt};
    QTest::mouseClick(second.Image1, Qt::LeftButton);
    ASSERT_EQ(h.prompter.colorRequests.size(), 3);
    EXPECT_EQ(h.prompter.colorRequests[2], QColor(Qt::black));
}

TEST_F(Options, ShowingACategoryChangesNoSetting) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    const CategoryFormats before = categoryFormats(h.stored());
    for (int i : {2, 0, 2, 4, 1}) {
        d.ComboBox1->setCurrentIndex(i);
        EXPECT_EQ(d.CB_underline->isChecked(), i == 2);
    }
    EXPECT_EQ(categoryFormats(h.stored()), before);
}

TEST_F(Options, TypedSelectorTextAddsNoItemAndSelectsNoCategory) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    const CategoryFormats before = categoryFormats(h.stored());
    d.ComboBox1->lineEdit()->selectAll();
    QTest::keyClicks(d.ComboBox1->lineEdit(), "xyz");
    QTest::keyClick(d.ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(d.ComboBox1->count(), 5);
    EXPECT_EQ(d.categoryIndex(), -1);

    // With no category the effect boxes and the colour store nothing.
    d.CB_Italic->click();
    h.prompter.colors.push_back(QColor(0x11, 0x22, 0x33));
    QTest::mouseClick(d.Image1, Qt::LeftButton);
    EXPECT_EQ(categoryFormats(h.stored()), before);

    // A category's name typed in full and confirmed selects it.
    d.ComboBox1->lineEdit()->selectAll();
    QTest::keyClicks(d.ComboBox1->lineEdit(), "StateVars");
    QTest::keyClick(d.ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(d.ComboBox1->count(), 5);
    EXPECT_EQ(d.categoryIndex(), 2);
    EXPECT_TRUE(d.CB_underline->isChecked());
    EXPECT_FALSE(d.CB_Italic->isChecked());
}

TEST_F(Options, AutoSaveTakesEffectAtOnce) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.CheckBox1->click();
    EXPECT_TRUE(h.stored().AutoSaveOnChange);
    QTest::keyClicks(vertexEdit(w), "x");
    // Without AutoSave this would ask.
    EXPECT_TRUE(h.workspace.maybeSave());
    EXPECT_EQ(h.readFile("ws/a.vert"), "x" + kVertex);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST_F(Options, CancelRestoresTheDialogsSettingsButKeepsTheWindowsChanges) {
    h.writeFile("ws2/z.vert", kVertex);
    h.writeFile("ws2/z.frag", kFragment);
    QWidget& w = h.start();
    const TCFG before = h.stored();
    TForm_Config& d = openConfig(w);

    h.prompter.colors.push_back(QColor(0, 0x80, 0x80));
    QTest::mouseClick(d.Image1, Qt::LeftButton);  // DataTypes
    d.CB_Bold->click();
    d.ComboBox1->setCurrentIndex(4);  // Comment
    d.CB_underline->click();
    d.CheckBox1->click();
    d.Edit_Vertex->setText(QStringLiteral(".vs"));
    expectKeywordAndComment(w, {0x00808000, EffectBold},
                            {before.FontColor_Comment, EffectUnderline});

    // Meanwhile the main window goes to another WorkSpace.
    h.prompter.directories.push_back(h.path("ws2"));
    h.workspace.Action_SelWorkSpaceExecute();
    ASSERT_EQ(h.stored().CurrentFileName, QStringLiteral("z"));
    QTest::keyClick(fragmentEdit(w), Qt::Key_Insert);
    ASSERT_TRUE(pane(w, PairSide::Fragment).overwrite());

    d.BT_Cancel->click();
    EXPECT_EQ(optionsDialog(w), nullptr);
    EXPECT_EQ(categoryFormats(h.stored()), categoryFormats(before));
    EXPECT_FALSE(h.stored().AutoSaveOnChange);
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(h.stored().CurrentDir, h.path("ws2/"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("z"));
    EXPECT_TRUE(pane(w, PairSide::Fragment).overwrite());
    expectKeywordAndComment(w, {before.FontColor_DataTypes, before.TextEffects_DataTypes},
                            {before.FontColor_Comment, before.TextEffects_Comment});
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST_F(Options, TheCloseBoxKeepsFormatChangesAndDropsExtensionEdits) {
    QWidget& w = h.start();
    TForm_Config& d = openConfig(w);
    d.ComboBox1->setCurrentIndex(3);  // TypeQualifiers
    d.CB_Bold->click();
    d.CheckBox1->click();
    d.Edit_Vertex->setText(QStringLiteral(".vs"));
    d.close();

    EXPECT_EQ(optionsDialog(w), nullptr);
    EXPECT_EQ(h.stored().TextEffects_TypeQualifiers, EffectBold);
    EXPECT_TRUE(h.stored().AutoSaveOnChange);
    EXPECT_EQ(h.stored().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

}  // namespace
