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

int caretLine(const QPlainTextEdit* pane) {
    return pane->textCursor().block().blockNumber();
}

// The background the highlighter gave the first character of a line.
QColor lineBackground(const QPlainTextEdit* pane, int line) {
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (range.start == 0) {
            return range.format.background().color();
        }
    }
    return QColor();
}

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

TEST_F(CompileWindow, ACleanPairListsTwoOkLinesAndJumpsNowhere) {
    MainWindow& w = startWith(kCleanVertex, kCleanFragment);
    action(w, "Action_Compile")->trigger();
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(errorMarkLine(w), -1);
    EXPECT_EQ(caretLine(fragmentEdit(w)), 0);
}

TEST_F(CompileWindow, AVertexErrorLandsOnItsLineMarkedRedUntilTheNextKey) {
    MainWindow& w = startWith(kBrokenVertex, kCleanFragment);
    action(w, "Action_Compile")->trigger();
    const QStringList entries = errorEntries(w);
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_TRUE(entries[0].startsWith("0:3(")) << entries[0].toStdString();
    EXPECT_TRUE(entries[0].endsWith("  [VertexShader]"));
    EXPECT_EQ(entries.last(), QStringLiteral("FragmentShader: OK"));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 0);
    EXPECT_EQ(caretLine(vertexEdit(w)), 2);
    // At the driver's column, not at the start of the line.
    EXPECT_GT(vertexEdit(w)->textCursor().positionInBlock(), 0);
    EXPECT_EQ(errorMarkPane(w), 0);
    EXPECT_EQ(errorMarkLine(w), 2);
    EXPECT_EQ(lineBackground(vertexEdit(w), 2), QColor(Qt::red));
    EXPECT_EQ(statusPanel(w, 1)->text(), QStringLiteral("Insert [Vertex]"));

    QTest::keyClick(vertexEdit(w), Qt::Key_Right);
    EXPECT_EQ(errorMarkLine(w), -1);
    EXPECT_EQ(lineBackground(vertexEdit(w), 2), QColor(Qt::white));
}

TEST_F(CompileWindow, AFragmentErrorLandsOnTheFragmentTabAndAClickRemovesTheMark) {
    MainWindow& w = startWith(kCleanVertex, kBrokenFragment);
    paneTabs(w)->setCurrentIndex(0);
    action(w, "Action_Compile")->trigger();
    EXPECT_EQ(errorEntries(w).first(), QStringLiteral("VertexShader: OK"));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(caretLine(fragmentEdit(w)), 4);
    EXPECT_EQ(errorMarkPane(w), 1);
    QTest::mouseClick(fragmentEdit(w)->viewport(), Qt::LeftButton);
    EXPECT_EQ(errorMarkPane(w), -1);
    EXPECT_EQ(lineBackground(fragmentEdit(w), 4), QColor(Qt::white));
}

TEST_F(CompileWindow, ALinkErrorIsListedWithoutAJump) {
    MainWindow& w = startWith(kCleanVertex,
                              "varying vec3 neverWritten;\nvoid main()\n{\n"
                              "    gl_FragColor = vec4(neverWritten, 1.0);\n}\n");
    action(w, "Action_Compile")->trigger();
    const QStringList entries = errorEntries(w);
    ASSERT_GE(entries.size(), 2);
    EXPECT_TRUE(entries[0].contains("neverWritten")) << entries[0].toStdString();
    EXPECT_TRUE(entries[0].endsWith("  [VertexShader]"));
    EXPECT_EQ(entries.last(), QStringLiteral("FragmentShader: OK"));
    EXPECT_EQ(errorMarkLine(w), -1);
}

TEST_F(CompileWindow, DoubleClickingAnEntryJumpsToItsLine) {
    MainWindow& w = startWith(kBrokenVertex, kBrokenFragment);
    action(w, "Action_Compile")->trigger();
    // The pattern must match the whole entry.
    const int fragmentEntry =
        int(errorEntries(w).indexOf(QRegularExpression(QStringLiteral(".*\\[FragmentShader\\]"))));
    ASSERT_GE(fragmentEntry, 0);
    QListWidgetItem* item = errorListBox(w)->item(fragmentEntry);
    const QPoint centre = errorListBox(w)->visualItemRect(item).center();
    QTest::mouseClick(errorListBox(w)->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(errorListBox(w)->viewport(), Qt::LeftButton, {}, centre);
    // Qt Test's double-click ends with the button down.
    QTest::mouseRelease(errorListBox(w)->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(caretLine(fragmentEdit(w)), 4);
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(lineBackground(vertexEdit(w), 2), QColor(Qt::white));
}

TEST_F(CompileWindow, ReturnOnAnEntryJumpsToItsLineAndColumn) {
    MainWindow& w = startWith(kBrokenVertex, kBrokenFragment);
    action(w, "Action_Compile")->trigger();
    const QStringList entries = errorEntries(w);
    const int vertexEntry =
        int(entries.indexOf(QRegularExpression(QStringLiteral("0:3\\(\\d+\\).*"))));
    ASSERT_GE(vertexEntry, 0);
    const int column = QRegularExpression(QStringLiteral("^0:3\\((\\d+)\\)"))
                           .match(entries[vertexEntry])
                           .captured(1)
                           .toInt();
    ASSERT_GT(column, 1) << "the driver names a column within the line";
    // Mesa counts the indentation as one character.
    ASSERT_EQ(column, QStringLiteral(" gl_Position = ").size() + 1);
    paneTabs(w)->setCurrentIndex(1);
    errorListBox(w)->setFocus();
    errorListBox(w)->setCurrentRow(vertexEntry);
    QTest::keyClick(errorListBox(w), Qt::Key_Return);
    EXPECT_EQ(paneTabs(w)->currentIndex(), 0);
    EXPECT_EQ(caretLine(vertexEdit(w)), 2);
    // At the undeclared name the driver names, in the line as it is in the pane.
    EXPECT_EQ(vertexEdit(w)->textCursor().positionInBlock(),
              QStringLiteral("    gl_Position = ").size());
    EXPECT_EQ(errorMarkLine(w), 2);
}

TEST(CompileWindows, TheDriverIsLoadedOnceForWindowsMadeOneAfterTheOther) {
    const auto openCompileAndClose = [] {
        MasterHarness h;
        h.writeFile("ws/p.vert", kCleanVertex);
        h.writeFile("ws/p.frag", kCleanFragment);
        h.storeSettings(h.path("ws/"), "p");
        action(h.start(), "Action_Compile")->trigger();
        EXPECT_EQ(errorEntries(*h.window), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
        EXPECT_TRUE(h.close());
    };
    openCompileAndClose();
    const int initialised = GlContext::displayInitialisations();
    EXPECT_GE(initialised, 1);
    openCompileAndClose();
    EXPECT_EQ(GlContext::displayInitialisations(), initialised);
}

struct JumpCase {
    QStringList entries;
    int page;  // -1: unchanged
    int markPane;
    int markLine;
};

class jumpToFirstError : public CompileWindow, public ::testing::WithParamInterface<JumpCase> {};

TEST_P(jumpToFirstError, FollowsTheFirstEntryThatLeadsToALine) {
    MainWindow& w = startWith("a\nb\nc\n", "d\ne\n");
    QList<DriverMessage> entries;
    for (const QString& entry : GetParam().entries) {
        entries.append(errorListEntry(entry));
    }
    errorListBox(w)->showMessages(entries);
    w.build().jumpToFirstError();
    EXPECT_EQ(paneTabs(w)->currentIndex(), GetParam().page < 0 ? 1 : GetParam().page);
    EXPECT_EQ(errorMarkPane(w), GetParam().markPane);
    EXPECT_EQ(errorMarkLine(w), GetParam().markLine);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, jumpToFirstError,
    ::testing::Values(
        JumpCase{{"(2) : error  [VertexShader]"}, 0, 0, 1},
        JumpCase{{"(0) first line  [VertexShader]"}, 0, 0, 0},
        JumpCase{{"(-3) nowhere  [VertexShader]"}, 0, -1, -1},
        JumpCase{{"(x) not a number  [FragmentShader]"}, -1, -1, -1},
        JumpCase{{"(99) beyond  [VertexShader]", "0:2(1): error: e  [FragmentShader]"}, 1, 1, 1},
        JumpCase{{"0(3) : error C1008: x  [VertexShader]"}, 0, 0, 2},
        JumpCase{{"ERROR: 0:1: 'x' : syntax error  [FragmentShader]"}, 1, 1, 0},
        JumpCase{{"0:99999999999999999999(1): error: far  [VertexShader]"}, 0, -1, -1},
        JumpCase{{"VertexShader: OK", "FragmentShader: OK", "Compiling Shader..."}, -1, -1, -1}));

// The jump follows the message an entry carries, not its text: the list is read once.
TEST_F(CompileWindow, EntriesCarryTheirMessageAndTheJumpReadsIt) {
    MainWindow& w = startWith(kBrokenVertex, kCleanFragment);
    action(w, "Action_Compile")->trigger();
    const QVariant first = errorListBox(w)->item(0)->data(Qt::UserRole);
    ASSERT_TRUE(first.canConvert<DriverMessage>());
    EXPECT_EQ(first.value<DriverMessage>().shown, errorListBox(w)->item(0)->text());
    EXPECT_EQ(first.value<DriverMessage>().line, 3);
    EXPECT_EQ(first.value<DriverMessage>().pane, PairSide::Vertex);

    DriverMessage elsewhere = noteMessage(QStringLiteral("0:1(1): error: e  [VertexShader]"));
    elsewhere.pane = PairSide::Fragment;
    elsewhere.line = 2;
    errorListBox(w)->clear();
    errorListBox(w)->showMessages({elsewhere});
    errorListBox(w)->setCurrentRow(0);
    w.build().jumpToSelectedMessage();
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 1);
}

TEST(CompileWithoutOpenGl, TheProgramStartsEditsAndSaysWhyItCannotTest) {
    MasterHarness h;
    h.createGlContext = [] { return GlContextResult{nullptr, QStringLiteral("no EGL display")}; };
    h.writeFile("ws/p.vert", kCleanVertex);
    h.writeFile("ws/p.frag", kCleanFragment);
    h.storeSettings(h.path("ws/"), "p");
    MainWindow& w = h.start();
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
