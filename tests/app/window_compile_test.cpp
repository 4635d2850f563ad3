// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "compile/error_list_view.h"
#include "editor/highlighter.h"
#include "texts/ui_texts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kCleanVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kCleanFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
// Line 3 uses a name that does not exist.
const QByteArray kBrokenVertex = "void main()\n{\n    gl_Position = undefinedThing;\n}\n";
const QByteArray kBrokenFragment =
    "uniform float k;\nvoid main()\n{\n\n    gl_FragColor = vec4(k) * nothing;\n}\n";

class CompileWindow : public ::testing::Test {
protected:
    MainWindow& startWith(const QByteArray& vertex, const QByteArray& fragment) {
        h.writeFile("ws/p.vert", vertex);
        h.writeFile("ws/p.frag", fragment);
        h.storeSettings(h.path("ws/"), "p");
        return h.start();
    }

    MasterHarness h;
};

TEST(CompileWindows, TestShaderRunsTheDriverInTheHostAndNeverInTheWindow) {
    const int before = GlContext::displayInitialisations();
    MasterHarness h;
    h.writeFile("ws/p.vert", kCleanVertex);
    h.writeFile("ws/p.frag", kBrokenFragment);
    h.storeSettings(h.path("ws/"), "p");
    action(h.start(), "Action_Compile")->trigger();
    EXPECT_TRUE(errorEntries(*h.window).join('\n').contains("nothing"))
        << errorEntries(*h.window).join('\n').toStdString();
    EXPECT_EQ(GlContext::displayInitialisations(), before);
    EXPECT_TRUE(h.close());
}

TEST(CompileWithoutOpenGl, TheProgramStartsEditsAndSaysWhyItCannotTest) {
    MasterHarness h;
    // The driver host takes the hook from the environment it starts in.
    qputenv("TESSORY_HOST_NO_CONTEXT", "no EGL display");
    const auto unset = qScopeGuard([] { qunsetenv("TESSORY_HOST_NO_CONTEXT"); });
    h.writeFile("ws/p.vert", kCleanVertex);
    h.writeFile("ws/p.frag", kCleanFragment);
    h.storeSettings(h.path("ws/"), "p");
    MainWindow& w = h.start();
    // Said once the host has found it cannot load a driver.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !h.prompter.messages.isEmpty(); }, 10000));
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains("no EGL display"));
    action(w, "Action_Compile")->trigger();
    EXPECT_EQ(errorEntries(w),
              QStringList({QStringLiteral("No OpenGL driver is available: no EGL display")}));
    errorListBox(w)->clear();
    action(w, "Action_TestAll")->trigger();
    EXPECT_EQ(errorEntries(w).size(), 1);
    QTest::keyClicks(vertexEdit(w), "x");
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(CompileWindow, TheStatusBarFollowsTheCaretAndTheInsertMode) {
    MainWindow& w = startWith("first\nsecond line\n", "x\n");
    paneTabs(w)->setCurrentIndex(0);
    QTextCursor c = vertexEdit(w)->textCursor();
    c.setPosition(3);
    vertexEdit(w)->setTextCursor(c);
    c.setPosition(0);
    vertexEdit(w)->setTextCursor(c);
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Cursor: 1 : 1"));
    // A selection made backwards reports its start.
    c.setPosition(13);
    c.setPosition(8, QTextCursor::KeepAnchor);
    vertexEdit(w)->setTextCursor(c);
    EXPECT_EQ(statusPanel(w, 0)->text(), QStringLiteral("Cursor: 2 : 3"));

    QTest::keyClick(vertexEdit(w), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Insert [Vertex]"));
    QTest::keyClick(vertexEdit(w), Qt::Key_Insert);
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Overwrite [Vertex]"));
    EXPECT_TRUE(vertexEdit(w)->overwriteMode());
    paneTabs(w)->setCurrentIndex(1);
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Insert [Fragment]"));
    paneTabs(w)->setCurrentIndex(0);
    QTest::keyClick(vertexEdit(w), Qt::Key_Insert);
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Insert [Vertex]"));
}

TEST_F(CompileWindow, EditCommandsFollowThePaneOfTheActiveTab) {
    MainWindow& w = startWith("alpha\n", "beta\n");
    paneTabs(w)->setCurrentIndex(0);
    w.editor().updateEditActions();
    EXPECT_FALSE(action(w, "Action_Undo")->isEnabled());
    EXPECT_FALSE(action(w, "Action_Cut")->isEnabled());
    vertexEdit(w)->selectAll();
    EXPECT_TRUE(action(w, "Action_Cut")->isEnabled());
    EXPECT_TRUE(action(w, "Action_Copy")->isEnabled());
    action(w, "Action_Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("alpha\n"));
    EXPECT_TRUE(action(w, "Action_Paste")->isEnabled());
    action(w, "Action_Cut")->trigger();
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    EXPECT_TRUE(action(w, "Action_Undo")->isEnabled());
    action(w, "Action_Undo")->trigger();
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("alpha\n"));
    paneTabs(w)->setCurrentIndex(1);
    action(w, "Action_Paste")->trigger();
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QStringLiteral("alpha\nbeta\n"));
    QApplication::clipboard()->clear();
    w.editor().updateEditActions();
    EXPECT_FALSE(action(w, "Action_Paste")->isEnabled());
}

}  // namespace
