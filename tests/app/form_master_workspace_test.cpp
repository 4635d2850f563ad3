// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/ui_texts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n";

// A sandbox whose WorkSpace "ws/" holds the pairs a and b, with pair a open after start-up.
class WorkspaceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.writeFile("ws/b.vert", "// b vertex\n");
        h.writeFile("ws/b.frag", "// b fragment\n");
        h.storeSettings(ws(), "a");
    }

    QString ws() const { return h.path("ws/"); }

    MainWindow& start() { return h.start(); }

    MasterHarness h;
};

TEST_F(WorkspaceWindow, StartUpListsThePairsAndReopensTheStoredPair) {
    MainWindow& w = start();
    EXPECT_EQ(entries(w), QStringList({"a", "b"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kVertex));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QString::fromLatin1(kFragment).replace("\r\n", "\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    EXPECT_EQ(statusPanel(w, 2)->text(), ws());
    // With room to spare, the whole path is shown.
    EXPECT_GE(statusPanel(w, 2)->width(), statusPanel(w, 2)->fontMetrics().horizontalAdvance(ws()));
    EXPECT_TRUE(action(w, "Action_Compile")->isEnabled());
    // Nothing to undo right after a load.
    EXPECT_FALSE(vertexEdit(w)->document()->isUndoAvailable());
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

// The list makes its first row current when it gets the focus; that must not open a pair.
void activateAndFocusList(MainWindow& w) {
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    pairListBox(w)->setFocus();
    QCoreApplication::processEvents();
}

TEST_F(WorkspaceWindow, AStoredPairWithoutItsFilesIsPassedOverButStillNamed) {
    h.storeSettings(ws(), "gone");
    MainWindow& w = start();
    activateAndFocusList(w);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("<none>"));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("gone"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [gone]"));
    EXPECT_FALSE(action(w, "Action_SaveShader")->isEnabled());
    // A click of the user's own still opens a pair.
    clickEntry(w, 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_TRUE(action(w, "Action_SaveShader")->isEnabled());
}

TEST(WorkspaceFirstStart, OpensNoPairUntilTheUserPicksOne) {
    MasterHarness h;
    h.writeFile("program/color.vert", kVertex);
    h.writeFile("program/color.frag", kFragment);
    MainWindow& w = h.start();
    activateAndFocusList(w);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - []"));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("<none>"));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    // Long names are elided in the list: each entry shows its whole name as its tooltip.
    EXPECT_EQ(pairListBox(w)->item(0)->toolTip(), QStringLiteral("color"));
}

TEST(WorkspaceCapitalExtensions, LoadAndSaveUseTheNamesOnDisk) {
    MasterHarness h;
    h.writeFile("ws/Water.VERT", kVertex);
    h.writeFile("ws/Water.FRAG", kFragment);
    h.storeSettings(h.path("ws/"), "Water");
    MainWindow& w = h.start();
    EXPECT_EQ(entries(w), QStringList({"Water"}));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kVertex));
    QTest::keyClicks(vertexEdit(w), "// x");
    action(w, "Action_SaveShader")->trigger();
    EXPECT_TRUE(h.readFile("ws/Water.VERT").startsWith("// x"));
    EXPECT_EQ(QDir(h.path("ws")).entryList(QDir::Files), QStringList({"Water.FRAG", "Water.VERT"}));
}

// A WorkSpace with a pair that lacks a file is refused whole, even its stored pair: an empty list
// and one message.
TEST(WorkspaceScanWindow, ListsTheWholePairsOrRefusesTheWorkSpace) {
    const struct {
        QStringList files;  // "d.vert/f" makes a folder d.vert
        QString stored;
        QStringList listed;
    } cases[] = {
        {{"a.vert", "a.frag", "c.frag"}, "a", {}},  // the lone c.frag
        {{"a.vert", "a.frag", "Water.VERT"}, "a", {}},
        // Pair files are found ignoring A-Z case: b.frag is the fragment file of B.
        {{"a.vert", "a.frag", "B.vert", "b.frag"}, "a", {"a", "B"}},
        {{".vert", ".frag", "x.y.vert", "x.y.frag", "d.vert/f", "notes.txt"}, "x.y", {"", "x.y"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        MasterHarness h;
        for (const QString& name : c.files) {
            h.writeFile("ws/" + name, "");
        }
        h.storeSettings(h.path("ws/"), c.stored);
        MainWindow& w = h.start();
        EXPECT_EQ(entries(w), c.listed);
        if (c.listed.isEmpty()) {
            ASSERT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgPairNotFound]}));
            EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
            EXPECT_FALSE(action(w, "Action_Compile")->isEnabled());
        } else {
            EXPECT_TRUE(h.prompter.messages.isEmpty());
            EXPECT_EQ(selectedEntry(w), c.stored);
        }
    }
}

TEST_F(WorkspaceWindow, AtTheSavePromptCancelStaysNoDiscardsAndYesSaves) {
    MainWindow& w = start();
    QTest::keyClicks(fragmentEdit(w), "x");
    ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    const QString edited = fragmentEdit(w)->toPlainText();
    h.prompter.answers.push_back(QMessageBox::Cancel);
    clickEntry(w, 1);
    EXPECT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgSaveChanges]}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), edited);
    EXPECT_TRUE(fragmentEdit(w)->document()->isModified());

    h.prompter.answers.push_back(QMessageBox::No);
    clickEntry(w, 1);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// b vertex\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(vertexEdit(w), "y");
    h.prompter.answers.push_back(QMessageBox::Yes);
    clickEntry(w, 0);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(h.readFile("ws/b.vert"), QByteArray("y// b vertex\n"));
}

TEST_F(WorkspaceWindow, AutoSaveSavesWithoutAsking) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    MainWindow& w = start();
    QTest::keyClicks(vertexEdit(w), "z");
    clickEntry(w, 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_EQ(h.readFile("ws/a.vert"), "z" + kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
}

TEST_F(WorkspaceWindow, SaveKeepsEveryByteOfAnUnchangedPairAndWritesAnEditedOne) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            all.append(char(b));
        }
    }
    const QByteArray vertex = "line one\r\n" + all + "\r\nlast line without end";
    h.writeFile("ws/a.vert", vertex);
    MainWindow& w = start();
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(fragmentEdit(w), "// new");
    QTest::keyClick(fragmentEdit(w), Qt::Key_Return);
    ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.frag"), "// new\r\n" + kFragment);
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(WorkspaceWindow, AFailedSaveKeepsTheOldFilesThePanesAndThePair) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    MainWindow& w = start();
    QTest::keyClicks(vertexEdit(w), "edited ");
    // Something that is not a file now stands where the fragment file was.
    QFile::remove(h.path("ws/a.frag"));
    QDir().mkpath(h.path("ws/a.frag"));
    clickEntry(w, 1);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.frag")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().startsWith("edited "));
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(WorkspaceWindow, AFileAnotherProgramChangedIsOverwrittenOnlyWhenTheUserSaysSo) {
    MainWindow& w = start();
    const QByteArray theirs = kFragment + "// added elsewhere\r\n";
    h.writeFile("ws/a.frag", theirs);
    QTest::keyClicks(vertexEdit(w), "x");
    h.prompter.choiceAnswers.push_back(0);
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.frag"), theirs);
    EXPECT_EQ(h.readFile("ws/a.vert"), "x" + kVertex);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.frag")));
    EXPECT_EQ(h.prompter.messages[0].choices, QStringList({"Keep the file on disk", "Overwrite"}));
    // The pane shows the file that was kept.
    EXPECT_TRUE(fragmentEdit(w)->toPlainText().endsWith("// added elsewhere\n"));

    h.writeFile("ws/a.vert", "// theirs\n");
    QTest::keyClicks(vertexEdit(w), "y");
    h.prompter.choiceAnswers.push_back(1);
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), "xy" + kVertex);
    EXPECT_EQ(h.prompter.messages.size(), 2);

    // Unchanged on both sides, the fragment file is not even written.
    const auto inode = [&] {
        struct stat info {};
        stat(QFile::encodeName(h.path("ws/a.frag")).constData(), &info);
        return info.st_ino;
    };
    const auto before = inode();
    QTest::keyClicks(vertexEdit(w), "z");
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(h.readFile("ws/a.vert"), "xyz" + kVertex);
    EXPECT_EQ(h.prompter.messages.size(), 2);
}

TEST_F(WorkspaceWindow, AutoSaveAsksInGermanBeforeOverwritingAnOutsideChange) {
    h.languageName = QStringLiteral("Deutsch");
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    MainWindow& w = start();
    h.writeFile("ws/a.vert", "// theirs\n");
    QTest::keyClicks(vertexEdit(w), "z");
    h.prompter.choiceAnswers.push_back(0);
    clickEntry(w, 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), "// theirs\n");
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].choices,
              QStringList({"Datei auf der Festplatte behalten", "Überschreiben"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
}

TEST_F(WorkspaceWindow, AWorkSpaceThatCannotBeReadIsSaidSo) {
    MainWindow& w = start();
    ASSERT_TRUE(QFile::setPermissions(ws(), QFile::WriteOwner | QFile::ExeOwner));
    // Root reads any folder: the scan runs with another user's rights.
    const bool root = geteuid() == 0;
    EXPECT_TRUE(!root || seteuid(65534) == 0);
    w.workspace().rescanWorkspace();
    EXPECT_TRUE(!root || seteuid(0) == 0);
    QFile::setPermissions(ws(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    const QString told = h.prompter.messages[0].text;
    EXPECT_TRUE(told.contains(ws()) && told.contains(qt_error_string(EACCES)))
        << told.toStdString();
    EXPECT_EQ(pairListBox(w)->count(), 0);
}

TEST_F(WorkspaceWindow, TextTheFilesCannotHoldIsNotSaved) {
    MainWindow& w = start();
    vertexEdit(w)->textCursor().insertText(QStringLiteral("\u4E2D"));
    action(w, "Action_SaveShader")->trigger();
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.vert")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(WorkspaceWindow, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    MainWindow& w = start();
    QTest::keyClicks(vertexEdit(w), "x");
    // A comment colour chosen in the options, which only a close stores.
    action(w, "Action_Config")->trigger();
    TForm_Config* options = optionsDialog(w);
    ASSERT_NE(options, nullptr);
    options->ComboBox1->setCurrentIndex(4);
    h.prompter.colors.push_back(QColor(0x03, 0x02, 0x01));
    QTest::mouseClick(options->Image1, Qt::LeftButton);
    options->BT_OK->click();
    ASSERT_EQ(w.settings().FontColor_Comment, 0x00010203u);
    h.prompter.answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(h.close());
    EXPECT_TRUE(w.isVisible());
    // A refused close stores nothing.
    EXPECT_EQ(h.settings()->value("FontColor_Comment").toInt(), TCFG().FontColor_Comment);
    h.prompter.answers.push_back(QMessageBox::No);
    EXPECT_TRUE(h.close());
}

TEST_F(WorkspaceWindow, SelectingAWorkSpaceOpensItsFirstPair) {
    h.writeFile("other/z.vert", "// z\n");
    h.writeFile("other/z.frag", "");
    h.writeFile("other/m.vert", "// m\n");
    h.writeFile("other/m.frag", "");
    MainWindow& w = start();
    errorListBox(w)->addItem("old message");
    h.prompter.directories.push_back(h.path("other"));
    action(w, "Action_SelWorkSpace")->trigger();
    ASSERT_EQ(h.prompter.directoryRequests.size(), 1);
    EXPECT_EQ(h.prompter.directoryRequests[0].title, h.messages()[MsgSelectWorkspaceTitle]);
    EXPECT_EQ(h.prompter.directoryRequests[0].start, ws());
    EXPECT_EQ(w.settings().CurrentDir, h.path("other/"));
    EXPECT_EQ(entries(w), QStringList({"m", "z"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("m"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// m\n"));
    EXPECT_EQ(errorListBox(w)->count(), 0);
    EXPECT_FALSE(vertexEdit(w)->document()->isModified());
}

TEST_F(WorkspaceWindow, CancellingTheChooserReopensTheFirstPairOfTheSameWorkSpace) {
    h.storeSettings(ws(), "b");
    MainWindow& w = start();
    ASSERT_EQ(selectedEntry(w), QStringLiteral("b"));
    h.prompter.directories.push_back(std::nullopt);
    action(w, "Action_SelWorkSpace")->trigger();
    EXPECT_EQ(w.settings().CurrentDir, ws());
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("a"));
}

TEST(WorkspaceSelection, AWorkSpaceThatIsGoneBecomesTheRootAfterACancel) {
    MasterHarness h;
    h.storeSettings(h.path("gone/"), "");
    MainWindow& w = h.start();
    h.prompter.directories.push_back(std::nullopt);
    h.prompter.answers.assign(8, QMessageBox::Ok);  // whatever "/" holds
    action(w, "Action_SelWorkSpace")->trigger();
    EXPECT_EQ(h.prompter.directoryRequests[0].start, QString());
    EXPECT_EQ(w.settings().CurrentDir, QStringLiteral("/"));
}

TEST_F(WorkspaceWindow, AWorkSpaceWithoutShadersLeavesNoPairOpen) {
    QDir().mkpath(h.path("empty"));
    MainWindow& w = start();
    h.prompter.directories.push_back(h.path("empty"));
    action(w, "Action_SelWorkSpace")->trigger();
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(w.settings().CurrentFileName, QString());
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    EXPECT_FALSE(action(w, "Action_SaveShader")->isEnabled());
    EXPECT_FALSE(part<QWidget>(w, "TabSheet1")->isEnabled());
}

TEST_F(WorkspaceWindow, AWorkSpaceThatIsGoneListsNothingAfterAnExtensionChange) {
    MainWindow& w = start();
    ASSERT_TRUE(QDir(ws()).removeRecursively());
    EXPECT_TRUE(w.workspace().changeExtensions(".vs", ".fs"));
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(w.settings().CurrentFileName, QString());
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_FALSE(action(w, "Action_SaveShader")->isEnabled());
}

}  // namespace
