// SPDX-License-Identifier: MIT
#include "editor/code_edit.h"

#include "editor/text_commands.h"
#include "texts/win1252.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using namespace tessory;

namespace {

QString lines(int count) {
    QStringList text;
    for (int i = 0; i < count; ++i) {
        text << QStringLiteral("x");
    }
    return text.join(u'\n');
}

// The pane with its text and the caret (and selection) marked by | (and [ ]).
struct Editing {
    const char* name;
    const char* before;
    std::function<void(CodeEdit&)> keys;
    const char* after;
};

void setMarkedText(CodeEdit& edit, QString text) {
    const qsizetype open = text.indexOf(u'[');
    const qsizetype close = text.indexOf(u']');
    QTextCursor cursor(edit.document());
    if (open >= 0) {
        text.remove(close, 1);
        text.remove(open, 1);
        edit.setPlainText(text);
        cursor.setPosition(int(open));
        cursor.setPosition(int(close - 1), QTextCursor::KeepAnchor);
    } else {
        const qsizetype caret = text.indexOf(u'|');
        text.remove(caret, 1);
        edit.setPlainText(text);
        cursor.setPosition(int(caret));
    }
    edit.setTextCursor(cursor);
}

}  // namespace

TEST(CodeEdit, IsAnUnwrappedBlackOnWhitePlainTextPane) {
    CodeEdit edit;
    EXPECT_EQ(edit.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(edit.font().family(), "Courier");
    EXPECT_EQ(edit.font().pointSize(), 10);
    EXPECT_TRUE(QFontInfo(edit.font()).fixedPitch());
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_FALSE(edit.overwriteMode());
}

TEST(CodeEdit, KeepsEveryWindows1252CharacterOfALoadedText) {
    // Every byte but the line ends, which the loader splits into lines itself.
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '\n' && b != '\r') {
            bytes.append(char(b));
        }
    }
    const QString text = fromWin1252(bytes) + QStringLiteral("\nsecond line");
    CodeEdit edit;
    edit.setPlainText(text);
    QString back = edit.document()->toRawText();
    back.replace(QChar::ParagraphSeparator, u'\n');
    EXPECT_EQ(toWin1252(back), toWin1252(text));
}

TEST(CodeEdit, GutterWidthFollowsTheDigitsOfTheLineCountAndTheZoom) {
    CodeEdit edit;
    const struct {
        int lines;
        int digits;
    } cases[] = {{9, 1}, {99, 2}, {100000, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        edit.setPlainText(lines(c.lines));
        const int digit = edit.fontMetrics().horizontalAdvance(u'9');
        EXPECT_EQ(edit.gutterWidth(), (c.digits + 1) * digit);
        EXPECT_EQ(edit.viewport()->x() - edit.frameWidth(), edit.gutterWidth());
    }
    const int before = edit.gutterWidth();
    edit.zoomIn();
    edit.zoomIn();
    EXPECT_GT(edit.gutterWidth(), before);
    EXPECT_EQ(edit.viewport()->x() - edit.frameWidth(), edit.gutterWidth());
}

TEST(CodeEdit, AnnouncesKeysAndMousePressesBeforeTheyTakeEffect) {
    CodeEdit edit;
    edit.resize(300, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QStringList textAtKey;
    QObject::connect(&edit, &CodeEdit::keyDown,
                     [&](int, Qt::KeyboardModifiers) { textAtKey << edit.toPlainText(); });
    int presses = 0;
    QObject::connect(&edit, &CodeEdit::mouseDown, [&] { ++presses; });
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(textAtKey, QStringList({"", "a"}));
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_GE(presses, 2);
}

TEST(CodeEdit, PastesRichTextAsPlainLines) {
    CodeEdit edit;
    auto* html = new QMimeData;
    html->setHtml("<b>vec4</b> <i>x;</i><br>mat2 m;");
    QApplication::clipboard()->setMimeData(html);
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), "vec4 x;\nmat2 m;");
    EXPECT_EQ(edit.document()->blockCount(), 2);
}

TEST(CodeEdit, EditingCommandsAreOneUndoStepEach) {
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](CodeEdit& e) { QTest::keyClick(&e, k, m); };
    };
    const Editing cases[] = {
        {"Enter keeps the indent", "  \tint a;|", key(Qt::Key_Return), "  \tint a;\n  \t"},
        {"Enter in the indent", "  | int a;", key(Qt::Key_Return), "  \n   int a;"},
        {"Shift+Enter starts a real line", "    a|", key(Qt::Key_Return, Qt::ShiftModifier),
         "    a\n    "},
        {"Enter replaces the selection", "  a[bc]d", key(Qt::Key_Return), "  a\n  d"},
        {"Tab indents the selected lines", "[a\n  b\n]c", key(Qt::Key_Tab), "    a\n      b\nc"},
        {"Shift+Tab unindents", "[      a\n\tb\nc]", key(Qt::Key_Backtab), "  a\nb\nc"},
        {"Shift+Tab without selection", "  a|", key(Qt::Key_Backtab), "a"},
        {"Ctrl+/ comments", "[a\n\n  b]", key(Qt::Key_Slash, Qt::ControlModifier), "//a\n\n//  b"},
        {"Ctrl+/ uncomments", "[  //a\n//b]", key(Qt::Key_Slash, Qt::ControlModifier), "  a\nb"},
        {"mixed lines are commented", "[//a\nb]", key(Qt::Key_Slash, Qt::ControlModifier),
         "////a\n//b"},
        {"a blank line alone is commented", "|", key(Qt::Key_Slash, Qt::ControlModifier), "//"},
    };
    for (const Editing& c : cases) {
        SCOPED_TRACE(c.name);
        CodeEdit edit;
        setMarkedText(edit, c.before);
        const QString original = edit.toPlainText();
        c.keys(edit);
        EXPECT_EQ(edit.toPlainText(), c.after);
        edit.undo();
        EXPECT_EQ(edit.toPlainText(), original);
        EXPECT_FALSE(edit.document()->isUndoAvailable());
    }
}

TEST(CodeEdit, TabWithoutALineBlockStillTypesATab) {
    CodeEdit edit;
    setMarkedText(edit, "a[b]c");
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_EQ(edit.toPlainText(), "a\tc");
}

TEST(CodeEdit, ZoomsByKeysWheelAndCallsAndReportsTheStep) {
    CodeEdit edit;
    QSignalSpy steps(&edit, &CodeEdit::zoomStepChanged);
    QTest::keyClick(&edit, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(edit.font().pointSize(), 12);
    QTest::keyClick(&edit, Qt::Key_Minus, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit.viewport(), &wheel);
    QWheelEvent smallStep(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, 60), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(edit.viewport(), &smallStep);  // half a notch: no step yet
    QTest::keyClick(&edit, Qt::Key_0, Qt::ControlModifier);
    QList<int> reported;
    for (const QList<QVariant>& s : steps) {
        reported << s.at(0).toInt();
    }
    EXPECT_EQ(reported, QList<int>({1, 2, 1, 2, 0}));
    EXPECT_EQ(edit.font().pointSize(), 10);
    EXPECT_EQ(edit.toPlainText(), QString());  // no key reached the text
    edit.setZoomStep(1000);
    EXPECT_EQ(edit.zoomStep(), CodeEdit::kMaxZoomStep);
    edit.setZoomStep(-1000);
    EXPECT_EQ(edit.zoomStep(), CodeEdit::kMinZoomStep);
    EXPECT_GT(edit.font().pointSize(), 0);
}

TEST(CodeEdit, CurrentLineLightGivesWayToTheErrorMark) {
    CodeEdit edit;
    edit.setPlainText("a\nb\nc");
    setMarkedText(edit, "a\nb|\nc");
    // The soft light of the current line; the mark's own band is red.
    const auto fullWidth = [&edit] {
        int n = 0;
        for (const auto& s : edit.extraSelections()) {
            n += s.format.boolProperty(QTextFormat::FullWidthSelection) &&
                 s.format.background().color() != QColor(Qt::red);
        }
        return n;
    };
    EXPECT_EQ(fullWidth(), 1);
    edit.setMarkedLine(1);
    EXPECT_EQ(fullWidth(), 0);
    edit.moveCursor(QTextCursor::Up);
    EXPECT_EQ(fullWidth(), 1);
    edit.setMarkedLine(-1);
    EXPECT_EQ(edit.markedLine(), -1);
}

TEST(CodeEdit, LightsTheBracketPairBesideTheCaret) {
    CodeEdit edit;
    setMarkedText(edit, "f(|a(1)) {}");
    QList<int> lit;
    for (const auto& s : edit.extraSelections()) {
        if (s.cursor.hasSelection()) {
            lit << s.cursor.selectionStart();
        }
    }
    EXPECT_EQ(lit, QList<int>({1, 6}));
}

TEST(MatchingBrackets, FindsThePartnerAcrossLinesAndNesting) {
    QTextDocument document("if (a[(1)]) {\n  x(b);\n}\n)(");
    const struct {
        int caret;
        std::optional<BracketPair> pair;
    } cases[] = {
        {3, BracketPair{3, 10}},    // before "("
        {4, BracketPair{3, 10}},    // after "("
        {5, BracketPair{5, 9}},     // the "[" after the caret wins over the "a" before it
        {12, BracketPair{12, 22}},  // "{" to the "}" two lines down
        {23, BracketPair{12, 22}},  // after "}"
        {1, std::nullopt},         {24, std::nullopt},  // a lone ")"
        {26, std::nullopt},                             // a lone "(" at the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caret);
        EXPECT_EQ(matchingBrackets(&document, c.caret), c.pair);
    }
    EXPECT_EQ(matchingBrackets(&document, 12, 2), std::nullopt);  // the search gives up
}
