// SPDX-License-Identifier: MIT
#include "editor/highlighter.h"

#include "editor/code_edit.h"
#include "editor/test_formats.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

using namespace tessory;
using tessory::testing::formatOf;

namespace {

// A pane wired as the main window wires it: the loading flag is set around loads.
class Pane : public ::testing::Test {
protected:
    Pane() {
        edit.resize(400, 200);
        highlighter = new PaneHighlighter(edit.document(), [this] { return loading; });
        highlighter->setFormats(tessory::testing::kTestFormats);
    }

    void load(const QString& text) {
        loading = true;
        edit.setPlainText(text);
        highlighter->highlightAll();
        edit.document()->setModified(false);
        loading = false;
    }

    // The format drawn at a document position: the layout range that covers it.
    std::optional<QTextCharFormat> formatAt(int line, int column) const {
        const QTextBlock block = edit.document()->findBlockByNumber(line);
        for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
            if (column >= r.start && column < r.start + r.length) {
                return r.format;
            }
        }
        return std::nullopt;
    }

    void expectFormat(int line, int column, TColor color, qint32 effects,
                      TColor background = kWhite) const {
        SCOPED_TRACE(::testing::Message() << "line " << line << " column " << column);
        const auto f = formatAt(line, column);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(*f, highlightFormat(color, effects, background));
    }

    void expectCategory(int line, int column, Category c, TColor background = kWhite) const {
        expectFormat(line, column, formatOf(c).color, formatOf(c).effects, background);
    }

    void expectPlain(int line, int column, TColor background = kWhite) const {
        expectFormat(line, column, kBlack, 0, background);
    }

    void placeCaret(int line, int column) {
        QTextCursor cursor(edit.document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + column);
        edit.setTextCursor(cursor);
    }

    CodeEdit edit;
    PaneHighlighter* highlighter = nullptr;
    bool loading = false;
};

const QString kShader = QStringLiteral(
    "uniform vec4 tint;\n"
    "void main() // entry\n"
    "{\n"
    "    gl_FragColor = tint * gl_Color;\n"
    "}");

}  // namespace

TEST(HighlightFormat, TextOnTheErrorMarkStaysReadable) {
    // Red data types on the red mark turn white; black text is readable as it is. On the white
    // page the user's colours stay, however pale.
    EXPECT_EQ(highlightFormat(kRed, 0, kRed).foreground().color(), QColor(Qt::white));
    EXPECT_EQ(highlightFormat(0x00008000, 0, kRed).foreground().color(), QColor(Qt::white));
    EXPECT_EQ(highlightFormat(kBlack, 0, kRed).foreground().color(), QColor(Qt::black));
    EXPECT_EQ(highlightFormat(0x00EEEEEE, 0, kWhite).foreground().color(),
              QColor(0xEE, 0xEE, 0xEE));
}

TEST(HighlightFormat, MapsEffectBitsAndColours) {
    const QTextCharFormat f = highlightFormat(0x00336699, EffectBold | EffectUnderline, 0x00EEDDCC);
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    EXPECT_FALSE(f.fontItalic());
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_EQ(f.foreground().color(), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(f.background().color(), QColor(0xCC, 0xDD, 0xEE));
    const QTextCharFormat plain = highlightFormat(kBlack, EffectItalic, kWhite);
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_TRUE(plain.fontItalic());
    EXPECT_FALSE(plain.fontUnderline());
    EXPECT_EQ(plain.background().color(), QColor(Qt::white));
}

TEST_F(Pane, ParseAllColoursEveryLine) {
    load(kShader);
    expectCategory(0, 0, Category::TypeQualifiers);
    expectCategory(0, 6, Category::TypeQualifiers);
    expectPlain(0, 7);
    expectCategory(0, 8, Category::DataTypes);
    expectPlain(0, 13);
    expectCategory(1, 0, Category::DataTypes);
    expectCategory(1, 12, Category::Comment);
    expectCategory(1, 19, Category::Comment);
    expectCategory(3, 4, Category::StateVars);
    expectCategory(3, 30, Category::StateVars);
    expectPlain(3, 34);
    EXPECT_FALSE(formatAt(1, 20).has_value());  // nothing past the line's end
    load(QString());
    EXPECT_TRUE(edit.document()->begin().layout()->formats().isEmpty());
}

TEST_F(Pane, ParseAllLeavesTheDocumentUnmodifiedAndWithoutUndo) {
    QSignalSpy changes(edit.document(), &QTextDocument::contentsChange);
    QSignalSpy textChanges(&edit, &QPlainTextEdit::textChanged);
    load(kShader);
    changes.clear();
    textChanges.clear();
    highlighter->highlightAll();
    highlighter->highlightLine(3, kRed);
    highlighter->formatRange(0, 10, EffectBold, kRed, kWhite);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(textChanges.count(), 0);
    EXPECT_FALSE(edit.document()->isModified());
    EXPECT_FALSE(edit.document()->isUndoAvailable());
}

TEST_F(Pane, RedMarkIsClearedByRehighlightingOnWhite) {
    load(kShader);
    highlighter->highlightLine(3, kRed);
    expectPlain(3, 0, kRed);
    expectCategory(3, 4, Category::StateVars, kRed);
    expectPlain(3, 20, kRed);
    expectCategory(0, 0, Category::TypeQualifiers);
    expectPlain(2, 0);
    highlighter->highlightLine(3, kWhite);
    expectPlain(3, 0);
    expectCategory(3, 4, Category::StateVars);
    expectPlain(3, 20);
}

TEST_F(Pane, ParseTextRangeIgnoresLinesBeyondTheText) {
    load(kShader);
    highlighter->highlightLine(5, kRed);
    highlighter->highlightLine(-1, kRed);
    for (int line = 0; line < 5; ++line) {
        const auto f = formatAt(line, 0);
        ASSERT_TRUE(f.has_value());
        EXPECT_EQ(f->background().color(), QColor(Qt::white));
    }
}

TEST_F(Pane, SetTextAttrib2SpansLinesInDocumentPositions) {
    load(kShader);
    // From "tint;" on line 0 to "vo" of line 1: the line break is one position.
    highlighter->formatRange(13, 21, EffectItalic, 0x00123456, kRed);
    expectCategory(0, 8, Category::DataTypes);
    expectFormat(0, 13, 0x00123456, EffectItalic, kRed);
    expectFormat(0, 17, 0x00123456, EffectItalic, kRed);
    expectFormat(1, 0, 0x00123456, EffectItalic, kRed);
    expectFormat(1, 1, 0x00123456, EffectItalic, kRed);
    expectCategory(1, 2, Category::DataTypes);
    highlighter->formatRange(50, 10, 0, kRed, kRed);  // empty range
    expectCategory(1, 2, Category::DataTypes);
}

TEST_F(Pane, ACommentFormatTakesEffectAtTheNextHighlight) {
    load(kShader);
    CategoryFormats changed = tessory::testing::kTestFormats;
    changed[int(Category::Comment)] = {0x00ABCDEF, EffectBold};
    highlighter->setFormats(changed);
    highlighter->highlightLine(1, kWhite);
    expectFormat(1, 12, 0x00ABCDEF, EffectBold);
}

TEST_F(Pane, NewFormatsTakeEffectAtTheNextHighlightAll) {
    load(kShader);
    CategoryFormats changed = tessory::testing::kTestFormats;
    changed[int(Category::DataTypes)].color = 0x00FF0000;
    highlighter->setFormats(changed);
    expectCategory(0, 8, Category::DataTypes);
    highlighter->highlightAll();
    expectFormat(0, 8, 0x00FF0000, formatOf(Category::DataTypes).effects);
    expectCategory(0, 0, Category::TypeQualifiers);
}

TEST_F(Pane, TypingRehighlightsTheCaretLineOnly) {
    load(kShader);
    highlighter->highlightLine(0, kRed);
    highlighter->highlightLine(3, kRed);
    placeCaret(3, 4);
    QTest::keyClicks(&edit, "x");
    // "xgl_FragColor" is no keyword, and the line lost its red mark; line 0 kept it.
    expectPlain(3, 4);
    expectPlain(3, 0);
    expectPlain(0, 7, kRed);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    expectCategory(3, 4, Category::StateVars);
}

TEST_F(Pane, UndoAfterTypingRestoresTheTextAndItsColours) {
    load(kShader);
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    placeCaret(1, 0);
    QTest::keyClicks(&edit, "int i;");
    QTest::keyClick(&edit, Qt::Key_Return);
    ASSERT_EQ(edit.document()->findBlockByNumber(1).text(), "int i;");
    expectCategory(1, 0, Category::DataTypes);
    expectCategory(2, 0, Category::DataTypes);

    while (edit.document()->isUndoAvailable()) {
        edit.undo();
    }
    EXPECT_EQ(edit.toPlainText(), kShader);
    expectCategory(1, 0, Category::DataTypes);
    expectCategory(1, 12, Category::Comment);
    EXPECT_TRUE(edit.document()->isRedoAvailable());
}

TEST_F(Pane, EveryUndoStepChangesText) {
    load(kShader);
    placeCaret(0, 18);
    QTest::keyClicks(&edit, " vec2");
    const QString typed = edit.toPlainText();
    edit.undo();
    EXPECT_NE(edit.toPlainText(), typed);
    EXPECT_EQ(edit.toPlainText(), kShader);
    EXPECT_FALSE(edit.document()->isUndoAvailable());
}

TEST_F(Pane, PasteColoursEveryPastedLine) {
    load(kShader);
    placeCaret(2, 1);
    QApplication::clipboard()->setText("\nvec2 a;\r\nfloat b; // c\nmat4 m");
    edit.paste();
    ASSERT_EQ(edit.document()->findBlockByNumber(3).text(), "vec2 a;");
    expectCategory(3, 0, Category::DataTypes);
    expectCategory(4, 0, Category::DataTypes);
    expectCategory(4, 9, Category::Comment);
    expectCategory(5, 0, Category::DataTypes);
    expectCategory(6, 4, Category::StateVars);

    edit.undo();
    EXPECT_EQ(edit.toPlainText(), kShader);
    expectCategory(3, 4, Category::StateVars);
    expectPlain(2, 0);
}

TEST_F(Pane, UndoOfADeletionRehighlightsTheRestoredLines) {
    load(kShader);
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 3);
    edit.setTextCursor(cursor);
    QTest::keyClick(&edit, Qt::Key_Delete);
    expectCategory(0, 4, Category::StateVars);
    edit.undo();
    EXPECT_EQ(edit.toPlainText(), kShader);
    expectCategory(0, 0, Category::TypeQualifiers);
    expectCategory(1, 12, Category::Comment);
    expectCategory(3, 4, Category::StateVars);
}

TEST_F(Pane, NothingIsHighlightedWhileLoading) {
    load(kShader);
    loading = true;
    placeCaret(3, 4);
    QTest::keyClicks(&edit, "x");
    loading = false;
    expectCategory(3, 5, Category::StateVars);  // the old ranges stay where they were
}

TEST_F(Pane, TextReplacedOutsideALoadIsHighlightedAsItChanges) {
    edit.setPlainText(kShader);
    expectCategory(0, 0, Category::TypeQualifiers);
    expectCategory(3, 30, Category::StateVars);
    edit.clear();
    EXPECT_FALSE(formatAt(0, 0).has_value());
}

TEST_F(Pane, HighlightingKeepsCaretSelectionAndScrollPosition) {
    QString text;
    for (int i = 0; i < 300; ++i) {
        text += QStringLiteral(
                    "vec4 value%1 = gl_Color * float(%1); // a fairly long comment "
                    "that reaches past the right edge of the pane\n")
                    .arg(i);
    }
    load(text);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QTextCursor selection(edit.document()->findBlockByNumber(150));
    selection.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
    selection.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 3);
    edit.setTextCursor(selection);
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum() / 3);
    edit.horizontalScrollBar()->setValue(40);
    const int vertical = edit.verticalScrollBar()->value();
    const int horizontal = edit.horizontalScrollBar()->value();
    ASSERT_GT(vertical, 0);
    ASSERT_EQ(horizontal, 40);

    highlighter->highlightAll();
    highlighter->highlightLine(10, kRed);
    highlighter->highlightLine(299, kWhite);
    highlighter->formatRange(0, 5000, EffectBold, kRed, kWhite);
    QApplication::processEvents();

    EXPECT_EQ(edit.textCursor().anchor(), selection.anchor());
    EXPECT_EQ(edit.textCursor().position(), selection.position());
    EXPECT_EQ(edit.verticalScrollBar()->value(), vertical);
    EXPECT_EQ(edit.horizontalScrollBar()->value(), horizontal);
}
