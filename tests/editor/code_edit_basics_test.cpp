// SPDX-License-Identifier: MIT
#include "editor/code_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

using namespace tessory;

TEST(CodeEditBasics, IsAnUnwrappedFixedPitchPlainTextPane) {
    CodeEdit edit;
    EXPECT_EQ(edit.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(edit.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(edit.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(edit.font().family(), "Courier");
    EXPECT_EQ(edit.font().pointSize(), 10);
    EXPECT_TRUE(QFontInfo(edit.font()).fixedPitch());
    EXPECT_EQ(edit.document()->defaultFont().pointSize(), 10);
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(Qt::black));
}

TEST(CodeEditBasics, AnnouncesKeysBeforeTheyTakeEffect) {
    CodeEdit edit;
    QStringList textAtKey;
    QList<int> keys;
    QList<Qt::KeyboardModifiers> modifiers;
    QObject::connect(&edit, &CodeEdit::keyDown, [&](int key, Qt::KeyboardModifiers m) {
        textAtKey << edit.toPlainText();
        keys << key;
        modifiers << m;
    });
    QTest::keyClick(&edit, Qt::Key_A);
    QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_Insert);
    // The Shift key itself is a key press too.
    EXPECT_EQ(textAtKey, QStringList({"", "a", "a", "a"}));
    EXPECT_EQ(keys, QList<int>({Qt::Key_A, Qt::Key_Shift, Qt::Key_Left, Qt::Key_Insert}));
    EXPECT_EQ(modifiers[2], Qt::ShiftModifier);
    EXPECT_EQ(modifiers[3], Qt::NoModifier);
    // The owner switches the overwrite mode; the pane does not.
    EXPECT_FALSE(edit.overwriteMode());
    EXPECT_EQ(edit.toPlainText(), "a");
}

TEST(CodeEditBasics, AnnouncesEveryMousePressBeforeItTakesEffect) {
    CodeEdit edit;
    edit.resize(300, 200);
    edit.setPlainText("first line\nsecond line");
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QList<int> caretAtPress;
    QObject::connect(&edit, &CodeEdit::mouseDown,
                     [&] { caretAtPress << edit.textCursor().position(); });
    QTextCursor start(edit.document());
    edit.setTextCursor(start);
    const QPoint inSecondLine = edit.cursorRect(QTextCursor(edit.document()->lastBlock())).center();
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, inSecondLine + QPoint(20, 0));
    EXPECT_EQ(caretAtPress, QList<int>({0}));
    EXPECT_GT(edit.textCursor().position(), 11);
    QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, inSecondLine + QPoint(20, 0));
    const qsizetype afterDoubleClick = caretAtPress.size();
    EXPECT_GE(afterDoubleClick, 2);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, inSecondLine);
    EXPECT_EQ(caretAtPress.size(), afterDoubleClick + 1);
}

TEST(CodeEditBasics, ShiftReturnStartsARealLine) {
    CodeEdit edit;
    QTest::keyClicks(&edit, "a");
    QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&edit, "b");
    EXPECT_EQ(edit.document()->blockCount(), 2);
    EXPECT_EQ(edit.document()->lastBlock().text(), "b");
}

TEST(CodeEditBasics, PastingHtmlInsertsPlainTextOnly) {
    CodeEdit edit;
    auto* html = new QMimeData;
    html->setHtml("<b><span style='color:#ff0000'>vec4</span></b> <i>x;</i><br>mat2 m;");
    QApplication::clipboard()->setMimeData(html);
    ASSERT_TRUE(edit.canPaste());
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), "vec4 x;\nmat2 m;");
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            EXPECT_FALSE(f.hasProperty(QTextFormat::ForegroundBrush));
            EXPECT_FALSE(f.hasProperty(QTextFormat::FontWeight));
            EXPECT_FALSE(f.fontItalic());
        }
    }
}

TEST(CodeEditBasics, PlainTextWinsOverHtmlAndLineBreaksBecomeLines) {
    QMimeData both;
    both.setHtml("<b>rich</b>");
    both.setText(QString("a\r\nb\rc") + QChar::LineSeparator + "d");
    EXPECT_EQ(plainTextFromMimeData(&both), "a\nb\nc\nd");
    QMimeData image;
    image.setImageData(QColor(Qt::red));
    EXPECT_EQ(plainTextFromMimeData(&image), QString());
    CodeEdit edit;
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(edit.canPaste());
}

TEST(CodeEditBasics, DroppedRichTextArrivesAsPlainText) {
    CodeEdit edit;
    edit.resize(300, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QMimeData data;
    data.setHtml("<u>gl_Color</u>");
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &drop);
    EXPECT_EQ(edit.toPlainText(), "gl_Color");
    const QTextCharFormat f = edit.document()->begin().begin().fragment().charFormat();
    EXPECT_FALSE(f.fontUnderline());
}
