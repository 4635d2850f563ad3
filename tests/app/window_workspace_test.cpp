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

}  // namespace
