// SPDX-License-Identifier: MIT
#include "editor/shader_pane.h"
#include "editor/code_edit.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace tessory;

namespace {

class ShaderPaneTest : public ::testing::Test {
protected:
    ShaderPaneTest() { document.setFormats(CategoryFormats{}); }
    ~ShaderPaneTest() override { delete pane.widget(); }

    // The background the highlighter gave the first character of a line.
    QColor lineBackground(int line) const {
        const QTextBlock block = pane.widget()->document()->findBlockByNumber(line);
        const QList<QTextLayout::FormatRange> formats = block.layout()->formats();
        return formats.isEmpty() ? QColor(Qt::white) : formats.first().format.background().color();
    }

    // The line drawn with a red band the width of the pane, or -1.
    int redBand() const {
        for (const QTextEdit::ExtraSelection& s : pane.widget()->extraSelections()) {
            if (s.format.background().color() == QColor(Qt::red) &&
                s.format.property(QTextFormat::FullWidthSelection).toBool()) {
                return s.cursor.blockNumber();
            }
        }
        return -1;
    }

    ShaderDocument document;
    ShaderPane& pane = *new ShaderPane(document, QStringLiteral("RichEdit_Vertex"));
};

TEST_F(ShaderPaneTest, LoadShowsTheFileUnmodifiedAndKeepsItsLineEnd) {
    EXPECT_EQ(pane.widget()->objectName(), QStringLiteral("RichEdit_Vertex"));
    document.load({QStringLiteral("void main()\n{\n}"), LineEnd::CrLf}, FileStamp());
    EXPECT_EQ(document.text(), QStringLiteral("void main()\n{\n}"));
    EXPECT_EQ(document.lineCount(), 3);
    EXPECT_EQ(document.lineText(1), QStringLiteral("{"));
    EXPECT_EQ(document.lineEnd(), LineEnd::CrLf);
    EXPECT_FALSE(document.isModified());
    EXPECT_FALSE(pane.widget()->document()->isUndoAvailable());

    QTest::keyClicks(pane.widget(), "x");
    EXPECT_TRUE(document.isModified());
    document.clear();
    EXPECT_TRUE(document.text().isEmpty());
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.lineEnd(), LineEnd::Lf);
}

// What is compiled is what a save writes: a soft line break (Shift+Enter) is a line break in both,
// and every character reaches the driver as its Windows-1252 byte.
TEST_F(ShaderPaneTest, SourceBreaksLinesWhereTheSavedTextDoes) {
    document.load({QStringLiteral("a\xA0"), LineEnd::Lf}, FileStamp());
    QTextCursor end(pane.widget()->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString(QChar::LineSeparator) + QStringLiteral("b"));
    EXPECT_EQ(document.text(), QStringLiteral("a\xA0\nb"));
    EXPECT_EQ(document.source(), QByteArray("a\xA0\r\nb\r\n"));
}

TEST_F(ShaderPaneTest, OneErrorMarkAtATimeWhichAClearOrAReloadRemoves) {
    document.load({QStringLiteral("one\ntwo\nthree"), LineEnd::Lf}, FileStamp());
    EXPECT_FALSE(pane.markError(3, 0));
    EXPECT_FALSE(pane.markedLine());

    ASSERT_TRUE(pane.markError(1, 99));
    EXPECT_EQ(pane.markedLine(), 1);
    EXPECT_EQ(lineBackground(1), QColor(Qt::red));
    // The caret goes to the line, at most to its end.
    EXPECT_EQ(pane.widget()->textCursor().position(), 7);
    EXPECT_EQ(redBand(), 1);

    ASSERT_TRUE(pane.markError(2, 1));
    EXPECT_EQ(lineBackground(1), QColor(Qt::white));
    EXPECT_EQ(lineBackground(2), QColor(Qt::red));
    EXPECT_FALSE(document.isModified());
    EXPECT_FALSE(pane.widget()->document()->isUndoAvailable());

    pane.clearMark();
    EXPECT_FALSE(pane.markedLine());
    EXPECT_EQ(lineBackground(2), QColor(Qt::white));
    EXPECT_EQ(redBand(), -1);

    pane.markError(0, 0);
    document.load({QStringLiteral("other"), LineEnd::Lf}, FileStamp());
    EXPECT_FALSE(pane.markedLine());
    EXPECT_EQ(redBand(), -1);
    pane.markError(0, 0);
    document.clear();
    EXPECT_EQ(redBand(), -1);
}

TEST_F(ShaderPaneTest, OverwriteModeFollowsTheFlag) {
    pane.setOverwrite(true);
    EXPECT_TRUE(pane.overwrite());
    EXPECT_TRUE(pane.widget()->overwriteMode());
    pane.setOverwrite(false);
    EXPECT_FALSE(pane.widget()->overwriteMode());
}

}  // namespace
