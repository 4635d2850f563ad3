// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/ui_texts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QWindow>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;
using tessory::testing::MasterHarness;

namespace {

QList<QAction*> pairActions(const MainWindow& w) {
    return {action(w, "Action_Compile"), action(w, "Action_TestAll"),
            action(w, "Action_SaveShader"), action(w, "Action_DelS"), action(w, "Action_Rename")};
}

bool pairCommandsEnabled(const MainWindow& w) {
    bool all = true;
    bool none = true;
    for (QAction* a : pairActions(w)) {
        all = all && a->isEnabled();
        none = none && !a->isEnabled();
    }
    EXPECT_TRUE(all || none) << "pair commands out of step";
    EXPECT_EQ(part<QWidget>(w, "TabSheet1")->isEnabled(), all);
    EXPECT_EQ(part<QWidget>(w, "TabSheet2")->isEnabled(), all);
    return all;
}

// The titles of the menu bar's menus, as the user reads them.
QStringList menuTitles(const MainWindow& w) {
    QStringList titles;
    for (const QAction* item : w.menuBar()->actions()) {
        if (item->menu() != nullptr) {
            titles.append(item->text());
        }
    }
    return titles;
}

TEST(MasterStartUp, AFirstStartUsesTheDefaults) {
    MasterHarness h;
    MainWindow& w = h.start();
    EXPECT_EQ(w.settings().CurrentDir, h.programDir());
    EXPECT_EQ(w.settings().CurrentFileName, QString());
    EXPECT_EQ(w.settings().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_FALSE(w.settings().main_size_maximized);
    TCFG expected;
    fitToScreen(expected, QGuiApplication::primaryScreen()->geometry().size());
    EXPECT_EQ(w.size(), QSize(expected.main_size_width, expected.main_size_height));
    EXPECT_FALSE(pairCommandsEnabled(w));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - []"));
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Cursor:"));
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Insert [Fragment]"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST(MasterStartUp, ShowsEnglishOrGermanTextsByTheUsersLanguage) {
    for (const auto& [language, german] :
         {std::pair{QStringLiteral("Deutsch"), true}, std::pair{QStringLiteral("deutsch"), false},
          std::pair{QStringLiteral("Schweizer Deutsch"), true},
          std::pair{QStringLiteral("English"), false}}) {
        MasterHarness h;
        h.languageName = language;
        MainWindow& w = h.start();
        EXPECT_EQ(part<QLabel>(w, "Panel2")->text() == QStringLiteral("Arbeitsbereich"), german)
            << language.toStdString();
        EXPECT_EQ(h.messages().size(), kMessageCount);
        // Qt's own texts (message box buttons, the choosers) follow the program's language.
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
                  german ? QStringLiteral("&Ja") : QStringLiteral("&Yes"));
        if (german) {
            EXPECT_EQ(action(w, "Action_SelWorkSpace")->text(),
                      QStringLiteral("Arbeitsbereich auswählen..."));
            EXPECT_EQ(menuTitles(w).value(1), QStringLiteral("&Bearbeiten"));
            EXPECT_EQ(part<QLabel>(w, "Panel2")->text(), QStringLiteral("Arbeitsbereich"));
            EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Einfügen [Fragment]"));
            EXPECT_TRUE(h.messages()[MsgExtensionChangeWarning].contains("\n\r"));
        } else {
            EXPECT_EQ(action(w, "Action_SelWorkSpace")->text(),
                      QStringLiteral("Select Workspace..."));
            EXPECT_EQ(action(w, "Action_info")->text(), QStringLiteral("About"));
            EXPECT_EQ(action(w, "Action_hp")->text(), QStringLiteral("Brimvale hompage"));
            EXPECT_EQ(action(w, "Action_Compile")->toolTip(),
                      QStringLiteral("Compiles both shaderfiles with current gfx-driver."));
            EXPECT_FALSE(h.messages()[MsgExtensionChangeWarning].contains("\n\r"));
        }
        // Both languages keep these two captions.
        EXPECT_EQ(action(w, "Action_DelS")->text(), QStringLiteral("Delete Shader (Selected)"));
        EXPECT_EQ(action(w, "Action_Rename")->text(), QStringLiteral("Rename Shader"));
        EXPECT_TRUE(h.messages()[MsgPairNotFound].contains("\n\r"));
    }
}

TEST(MasterStartUp, StatusPanelsFitTheirTextsAndThePathIsElided) {
    MasterHarness h;
    h.languageName = QStringLiteral("Deutsch");
    const QString deep = h.path("ws/" + QString(40, u'x') + "/" + QString(40, u'y') + "/");
    QDir().mkpath(deep);
    h.storeSettings(deep, QString());
    MainWindow& w = h.start();
    const auto fits = [](const QWidget* panel, const QString& text) {
        return panel->fontMetrics().horizontalAdvance(text) <= panel->contentsRect().width();
    };
    EXPECT_TRUE(fits(statusPanel(w, 0), QStringLiteral("Cursor: 11700 : 75")));
    for (int text :
         {MsgInsertVertex, MsgOverwriteVertex, MsgInsertFragment, MsgOverwriteFragment}) {
        EXPECT_TRUE(fits(statusPanel(w, 1), h.messages()[text]))
            << h.messages()[text].toStdString();
    }
    EXPECT_EQ(statusPanel(w, 2)->text(), deep);
    EXPECT_EQ(statusPanel(w, 2)->toolTip(), deep);
    // A narrow window shrinks the path, never the panels beside it.
    w.resize(300, w.height());
    QCoreApplication::processEvents();
    EXPECT_GE(statusPanel(w, 2)->x(), statusPanel(w, 1)->geometry().right());
    EXPECT_LT(statusPanel(w, 2)->geometry().right(), w.statusBar()->width());
}

TEST(MasterStartUp, EveryToolButtonHasAnIcon) {
    MasterHarness h;
    MainWindow& w = h.start();
    int buttons = 0;
    for (QAction* action : part<QToolBar>(w, "ActionToolBar1")->actions()) {
        if (!action->isSeparator()) {
            ++buttons;
            EXPECT_FALSE(action->icon().pixmap(16, 16).isNull())
                << action->objectName().toStdString();
        }
    }
    EXPECT_EQ(buttons, 6);
}

// The language's captions replace those the commands are made with.
TEST(MasterTexts, TheLanguagesCaptionsReplaceTheLayoutCaptions) {
    MasterHarness h;
    MainWindow& w = h.start();
    EXPECT_EQ(action(w, "Action_NES")->text(), QStringLiteral("New Shader (Vert+Frag)"));
    EXPECT_EQ(action(w, "Action_NewShader")->text(),
              QStringLiteral("New Shader from current (Vert+Frag)"));
}

TEST(MasterCommands, PairCommandsFollowTheSelection) {
    MasterHarness h;
    MainWindow& w = h.start();
    w.workspace().updateCommandStates();
    EXPECT_FALSE(pairCommandsEnabled(w));
    pairListBox(w)->addItems({"a", "b"});
    pairListBox(w)->setCurrentRow(-1);
    w.workspace().updateCommandStates();
    EXPECT_FALSE(pairCommandsEnabled(w));
    pairListBox(w)->setCurrentRow(1);
    w.workspace().updateCommandStates();
    EXPECT_TRUE(pairCommandsEnabled(w));
    // Commands that need no pair stay enabled.
    for (QAction* a :
         {action(w, "Action_SelWorkSpace"), action(w, "Action_NES"), action(w, "Action_NewShader"),
          action(w, "Action_Exit"), action(w, "Action_Config"), action(w, "Action_hp"),
          action(w, "Action_info")}) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
}

TEST(MasterCaption, ShowsTheOpenPairAndItsModifiedMark) {
    MasterHarness h;
    QDir().mkpath(h.path("ws"));
    h.storeSettings(h.path("ws/"), "Water");
    MainWindow& w = h.start();
    w.workspace().updateCaption();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [Water]"));
    fragmentEdit(w)->document()->setModified(true);
    w.workspace().updateCaption();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [Water] *"));
    fragmentEdit(w)->document()->setModified(false);
    ASSERT_TRUE(h.close());
    // A pair named "*" is shown as it is, not taken for Qt's modified-mark placeholder.
    h.storeSettings(h.path("ws/"), "*");
    MainWindow& again = h.start();
    again.workspace().updateCaption();
    EXPECT_EQ(again.windowHandle()->title(), QStringLiteral("GLSL Tessory - [*]"));
}

TEST(MasterSettings, CloseStoresEveryValueAndTheNextStartReadsThemBack) {
    MasterHarness h;
    h.writeFile("ws/Water.vs", "// vertex\n");
    h.writeFile("ws/Water.frag", "// fragment\n");
    {
        MainWindow& w = h.start();
        action(w, "Action_Config")->trigger();
        TForm_Config* options = optionsDialog(w);
        ASSERT_NE(options, nullptr);
        options->Edit_Vertex->setText(QStringLiteral(".vs"));
        options->ComboBox1->setCurrentIndex(4);  // Comment
        h.prompter.colors.push_back(QColor(0xEF, 0xCD, 0xAB));
        QTest::mouseClick(options->Image1, Qt::LeftButton);
        options->CB_Italic->click();
        options->CB_Bold->click();
        options->CheckBox1->click();                    // AutoSave
        options->SpinBox_Compile->setValue(25);
        h.prompter.answers.push_back(QMessageBox::Ok);  // the extension change warning
        options->BT_OK->click();
        h.prompter.directories.push_back(h.path("ws"));
        action(w, "Action_SelWorkSpace")->trigger();
        ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [Water]"));
        pane(w, PairSide::Vertex).setOverwrite(true);
        ASSERT_TRUE(h.close());
    }
    EXPECT_EQ(h.settings()->childKeys().size(), 31);
    EXPECT_EQ(h.settings()->value("AutoSaveOnChange").toString(), QStringLiteral("1"));
    MainWindow& w = h.start();
    EXPECT_EQ(w.settings().CurrentDir, h.path("ws/"));
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("Water"));
    EXPECT_EQ(w.settings().FileExtVertex, QStringLiteral(".vs"));
    EXPECT_EQ(w.settings().FontColor_Comment, 0x00ABCDEFu);
    EXPECT_EQ(w.settings().TextEffects_Comment, EffectItalic | EffectBold);
    EXPECT_TRUE(w.settings().AutoSaveOnChange);
    EXPECT_EQ(w.settings().CompileTimeLimit, 25);
    EXPECT_EQ(w.settings().FrameTimeLimit, 2);
    EXPECT_FALSE(pane(w, PairSide::Vertex).overwrite());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [Water]"));
}

TEST(MasterSettings, StoredBlankExtensionsFallBackToTheDefaults) {
    MasterHarness h;
    h.storeSettings(h.programDir(), QString(), [](TCFG& cfg) {
        cfg.FileExtVertex = QStringLiteral("  ");
        cfg.FileExtFragment = QStringLiteral(" .fs ");
    });
    MainWindow& w = h.start();
    EXPECT_EQ(w.settings().FileExtVertex, QStringLiteral(".vert"));
    EXPECT_EQ(w.settings().FileExtFragment, QStringLiteral(".fs"));
}

TEST(MasterSettings, AFailedWriteIsShownOnceWithItsCauseAndTheWindowCloses) {
    MasterHarness h;
    h.start();
    // A file where the settings folder should be: the store cannot be written.
    QFile blocker(h.path("settings"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_TRUE(h.close());
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.settingsPath));
    EXPECT_TRUE(h.prompter.messages[0].text.contains("folder"))
        << h.prompter.messages[0].text.toStdString();
}

// Whatever else the settings file holds, the window closes without a word and the settings are
// written.
class SettingsFileContent : public ::testing::TestWithParam<const char*> {};

TEST_P(SettingsFileContent, NeverKeepsTheWindowFromClosing) {
    MasterHarness h;
    h.writeFile("ws/Fire.vert", "");
    h.writeFile("ws/Fire.frag", "");
    h.writeFile("ws/Water.vert", "");
    h.writeFile("ws/Water.frag", "");
    h.storeSettings(h.path("ws/"), "Water");
    QFile file(h.settingsPath);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(GetParam());
    file.close();
    clickEntry(h.start(), 0);
    EXPECT_TRUE(h.close());
    EXPECT_TRUE(h.prompter.messages.isEmpty())
        << h.prompter.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(h.settings()->value("CurrentFileName").toString(), QStringLiteral("Fire"));
}

INSTANTIATE_TEST_SUITE_P(
    Foreign, SettingsFileContent,
    ::testing::Values("# my settings\n", "junk\n", "[bad\n", "\xEF\xBB\xBF",
                      "[other]\nkey=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x6NoSuch)\n",
                      "[other]\nkey=@Variant(garbage\n"));

TEST(MasterGeometry, MaximizedAtCloseKeepsTheLastNormalBounds) {
    MasterHarness h;
    QSize normal;
    {
        MainWindow& w = h.start();
        w.resize(500, 400);
        normal = w.size();
        w.setWindowState(Qt::WindowMaximized);
        EXPECT_TRUE(w.settings().main_size_maximized);
        w.resize(700, 600);  // what the window system does to a maximized window
        ASSERT_TRUE(h.close());
    }
    EXPECT_EQ(h.settings()->value("main_size_maximized").toString(), QStringLiteral("1"));
    EXPECT_EQ(h.settings()->value("main_size_width").toInt(), normal.width());
    EXPECT_EQ(h.settings()->value("main_size_height").toInt(), normal.height());
    MainWindow& w = h.start();
    EXPECT_TRUE(w.windowState().testFlag(Qt::WindowMaximized));
    EXPECT_TRUE(w.settings().main_size_maximized);
}

TEST(MasterGeometry, AnyOtherStateChangeClearsTheMaximizedFlag) {
    for (Qt::WindowStates other :
         {Qt::WindowStates(Qt::WindowNoState), Qt::WindowStates(Qt::WindowMinimized),
          Qt::WindowStates(Qt::WindowMinimized | Qt::WindowMaximized),
          Qt::WindowStates(Qt::WindowFullScreen)}) {
        MasterHarness h;
        MainWindow& w = h.start();
        w.setWindowState(Qt::WindowMaximized);
        ASSERT_TRUE(w.settings().main_size_maximized);
        w.setWindowState(other);
        EXPECT_FALSE(w.settings().main_size_maximized) << int(other);
    }
}

}  // namespace
