// SPDX-License-Identifier: MIT
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include "compile/error_list_messages.h"
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

class Compile : public ::testing::Test {
protected:
    QWidget& startWith(const QByteArray& vertex, const QByteArray& fragment) {
        h.writeFile("ws/p.vert", vertex);
        h.writeFile("ws/p.frag", fragment);
        return h.start("ws/", "p");
    }

    ControllerHarness h;
};

TEST_F(Compile, ACleanPairListsTwoOkLinesAndJumpsNowhere) {
    QWidget& w = startWith(kCleanVertex, kCleanFragment);
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(errorMarkLine(w), -1);
    EXPECT_EQ(caretLine(fragmentEdit(w)), 0);
}

TEST_F(Compile, AVertexErrorLandsOnItsLineMarkedRedUntilTheNextKey) {
    QWidget& w = startWith(kBrokenVertex, kCleanFragment);
    h.build->Action_CompileExecute();
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
    EXPECT_EQ(h.insertMode, QStringLiteral("Insert [Vertex]"));

    QTest::keyClick(vertexEdit(w), Qt::Key_Right);
    EXPECT_EQ(errorMarkLine(w), -1);
    EXPECT_EQ(lineBackground(vertexEdit(w), 2), QColor(Qt::white));
}

TEST_F(Compile, AFragmentErrorLandsOnTheFragmentTabAndAClickRemovesTheMark) {
    QWidget& w = startWith(kCleanVertex, kBrokenFragment);
    paneTabs(w)->setCurrentIndex(0);
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w).first(), QStringLiteral("VertexShader: OK"));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(caretLine(fragmentEdit(w)), 4);
    EXPECT_EQ(errorMarkPane(w), 1);
    QTest::mouseClick(fragmentEdit(w)->viewport(), Qt::LeftButton);
    EXPECT_EQ(errorMarkPane(w), -1);
    EXPECT_EQ(lineBackground(fragmentEdit(w), 4), QColor(Qt::white));
}

TEST_F(Compile, ALinkErrorIsListedWithoutAJump) {
    QWidget& w = startWith(kCleanVertex,
                           "varying vec3 neverWritten;\nvoid main()\n{\n"
                           "    gl_FragColor = vec4(neverWritten, 1.0);\n}\n");
    h.build->Action_CompileExecute();
    const QStringList entries = errorEntries(w);
    ASSERT_GE(entries.size(), 2);
    EXPECT_TRUE(entries[0].contains("neverWritten")) << entries[0].toStdString();
    EXPECT_TRUE(entries[0].endsWith("  [VertexShader]"));
    EXPECT_EQ(entries.last(), QStringLiteral("FragmentShader: OK"));
    EXPECT_EQ(errorMarkLine(w), -1);
}

TEST_F(Compile, DoubleClickingAnEntryJumpsToItsLine) {
    QWidget& w = startWith(kBrokenVertex, kBrokenFragment);
    h.build->Action_CompileExecute();
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

TEST_F(Compile, ReturnOnAnEntryJumpsToItsLineAndColumn) {
    QWidget& w = startWith(kBrokenVertex, kBrokenFragment);
    h.build->Action_CompileExecute();
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

struct JumpCase {
    QStringList entries;
    int page;  // -1: unchanged
    int markPane;
    int markLine;
};

class jumpToFirstError : public Compile, public ::testing::WithParamInterface<JumpCase> {};

TEST_P(jumpToFirstError, FollowsTheFirstEntryThatLeadsToALine) {
    QWidget& w = startWith("a\nb\nc\n", "d\ne\n");
    QList<ShaderMessage> entries;
    for (const QString& entry : GetParam().entries) {
        entries.append(errorListEntry(entry));
    }
    errorListBox(w)->showMessages(entries);
    h.build->jumpToFirstError();
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
TEST_F(Compile, EntriesCarryTheirMessageAndTheJumpReadsIt) {
    QWidget& w = startWith(kBrokenVertex, kCleanFragment);
    h.build->Action_CompileExecute();
    const QVariant first = errorListBox(w)->item(0)->data(Qt::UserRole);
    ASSERT_TRUE(first.canConvert<ShaderMessage>());
    EXPECT_EQ(first.value<ShaderMessage>().shown, errorListBox(w)->item(0)->text());
    EXPECT_EQ(first.value<ShaderMessage>().line, 3);
    EXPECT_EQ(first.value<ShaderMessage>().pane, PairSide::Vertex);

    ShaderMessage elsewhere = noteMessage(QStringLiteral("0:1(1): error: e  [VertexShader]"));
    elsewhere.pane = PairSide::Fragment;
    elsewhere.line = 2;
    errorListBox(w)->clear();
    errorListBox(w)->showMessages({elsewhere});
    errorListBox(w)->setCurrentRow(0);
    h.build->jumpToSelectedMessage();
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 1);
}

const QByteArray kTestAllVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kTestAllFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QByteArray kTestAllBrokenFragment = "void main()\n{\n    gl_FragColor = broken;\n}\n";

// A WorkSpace of the pairs p1 ... pN, all clean, with `open` open.
class TestAll : public ::testing::Test {
protected:
    QWidget& start(int pairs, const QString& open) {
        for (int i = 1; i <= pairs; ++i) {
            h.writeFile(QStringLiteral("ws/p%1.vert").arg(i), kTestAllVertex);
            h.writeFile(QStringLiteral("ws/p%1.frag").arg(i), kTestAllFragment);
        }
        return h.start("ws/", open);
    }

    ControllerHarness h;
};

TEST_F(TestAll, ACleanWorkSpaceReopensTheSelectedPairWithItsOkLines) {
    QWidget& w = start(5, "p2");
    QTest::keyClicks(vertexEdit(w), "// unsaved");
    h.prompter.answers.push_back(QMessageBox::No);
    h.build->Action_TestAllExecute();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p2"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("p2"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kTestAllVertex));
    EXPECT_FALSE(vertexEdit(w)->document()->isModified());
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [p2]"));
}

TEST_F(TestAll, StopsAtTheFirstReportedPairAndOpensItAtItsError) {
    QWidget& w = start(5, "p1");
    h.writeFile("ws/p3.frag", kTestAllBrokenFragment);
    // Were pair 4 reached, its missing file would be reported.
    QFile::remove(h.path("ws/p4.frag"));
    h.build->Action_TestAllExecute();
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p3"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("p3"));
    ASSERT_FALSE(errorEntries(w).isEmpty());
    EXPECT_EQ(errorEntries(w).first(), QStringLiteral("VertexShader: OK"));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(fragmentEdit(w)->textCursor().block().blockNumber(), 2);
    EXPECT_EQ(errorMarkLine(w), 2);
}

// The driver stops reading at a NUL byte and would call the text before it clean.
TEST_F(TestAll, APairFileWithANulByteIsReportedAtItsLineNotOk) {
    QWidget& w = start(3, "p1");
    h.writeFile("ws/p2.frag", kTestAllFragment + QByteArray("\0\n#error this must fail\n", 24));
    h.build->Action_TestAllExecute();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p2"));
    const QString nul = languageTexts(LanguageEnglish)->extra.nulByte;
    EXPECT_EQ(errorEntries(w), QStringList({nul.arg("FragmentShader").arg(5)}));
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 4);

    // F5 on the panes says the same; the other pane's NUL is listed too.
    QTextCursor start(vertexEdit(w)->document());
    start.insertText(QStringLiteral("// a\n") + QChar(0));
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w),
              QStringList({nul.arg("VertexShader").arg(2), nul.arg("FragmentShader").arg(5)}));
    EXPECT_EQ(errorMarkPane(w), 0);
    EXPECT_EQ(errorMarkLine(w), 1);
}

TEST_F(TestAll, APairWhoseFileWentMissingIsReportedByNameAndSkipped) {
    QWidget& w = start(3, "p1");
    QFile::remove(h.path("ws/p2.frag"));
    QFile::remove(h.path("ws/p3.vert"));
    h.build->Action_TestAllExecute();
    EXPECT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgCouldNotLoadFragment],
                                                      h.messages()[MsgCouldNotLoadVertex]}));
    // In front of the progress window, which stays on top of everything else.
    for (const auto& shown : h.prompter.messages) {
        EXPECT_EQ(shown.ownerName, QStringLiteral("Form_Progress"));
    }
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p1"));
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
}

}  // namespace
