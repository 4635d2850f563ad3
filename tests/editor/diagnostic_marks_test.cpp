// SPDX-License-Identifier: MIT
// The compiler's messages in a pane: wavy underlines from the column to the token's end, gutter
// marks in the severity's colour, the message as tooltip.
#include "editor/diagnostic_marks.h"
#include "editor/code_edit.h"

#include <gtest/gtest.h>

#include <QTextBlock>

using namespace tessory;

namespace {

TEST(UnderlineSpan, RunsFromTheColumnToTheEndOfItsToken) {
    const QString line = QStringLiteral("    color = mix(a, b2_x, 0.5);  ");
    EXPECT_EQ(underlineSpan(line, 4), std::pair(4, 9));     // a name
    EXPECT_EQ(underlineSpan(line, 19), std::pair(19, 23));  // a name with digits and _
    EXPECT_EQ(underlineSpan(line, 25), std::pair(25, 28));  // a number
    EXPECT_EQ(underlineSpan(line, 15), std::pair(15, 16));  // a single other character
    EXPECT_EQ(underlineSpan(line, 9), std::pair(10, 11));   // blanks lead to the next token
    // No column, or none on the line's text: the text without its blanks.
    EXPECT_EQ(underlineSpan(line, -1), std::pair(4, 30));
    EXPECT_EQ(underlineSpan(line, 31), std::pair(4, 30));
    EXPECT_EQ(underlineSpan(u"", 3), std::pair(0, 0));
}

class PaneMarks : public ::testing::Test {
protected:
    PaneMarks() {
        edit.setPlainText(
            QStringLiteral("void main() {\n    gl_FragColor = nothing;\n"
                           "    float unused;\n}\n"));
        edit.resize(400, 300);
        edit.show();
    }

    QList<QTextEdit::ExtraSelection> underlines() const {
        QList<QTextEdit::ExtraSelection> found;
        for (const QTextEdit::ExtraSelection& s : edit.extraSelections()) {
            if (s.format.underlineStyle() == QTextCharFormat::WaveUnderline) {
                found.append(s);
            }
        }
        return found;
    }

    // The colour of the gutter's left edge beside a line.
    QColor gutterEdge(int line) const {
        const QImage gutter = edit.gutter()->grab().toImage();
        const int y =
            edit.cursorRect(QTextCursor(edit.document()->findBlockByNumber(line))).center().y();
        return gutter.pixelColor(0, y);
    }

    CodeEdit edit;
    DiagnosticMarks& marks = *new DiagnosticMarks(&edit);
};

TEST_F(PaneMarks, ErrorsAndWarningsAreUnderlinedAndMarkedInTheirColours) {
    marks.show({{1, 19, false, QStringLiteral("'nothing' undeclared")},
                {2, 10, true, QStringLiteral("'unused' is never used")}});
    const QList<QTextEdit::ExtraSelection> drawn = underlines();
    ASSERT_EQ(drawn.size(), 2);
    EXPECT_EQ(drawn[0].cursor.selectedText(), QStringLiteral("nothing"));
    EXPECT_EQ(drawn[0].format.underlineColor(), kErrorMarkColour);
    EXPECT_EQ(drawn[1].cursor.selectedText(), QStringLiteral("unused"));
    EXPECT_EQ(drawn[1].format.underlineColor(), kWarningMarkColour);
    EXPECT_EQ(gutterEdge(1), kErrorMarkColour);
    EXPECT_EQ(gutterEdge(2), kWarningMarkColour);
    EXPECT_NE(gutterEdge(0), kErrorMarkColour);

    EXPECT_EQ(marks.messagesAt(1, 22), QStringLiteral("'nothing' undeclared"));
    EXPECT_EQ(marks.messagesAt(1, 4), QString()) << "off the underline";
    EXPECT_EQ(marks.messagesAt(2, -1), QStringLiteral("'unused' is never used"));
}

TEST_F(PaneMarks, AnErrorOutranksAWarningInTheGutterAndAnEmptyCompileClearsAll) {
    marks.show({{1, 4, true, QStringLiteral("first")}, {1, 19, false, QStringLiteral("second")}});
    EXPECT_EQ(gutterEdge(1), kErrorMarkColour);
    EXPECT_EQ(marks.messagesAt(1, -1), QStringLiteral("first\nsecond"));
    // The marks move with their text.
    QTextCursor(edit.document()).insertText(QStringLiteral("\n"));
    EXPECT_EQ(marks.messagesAt(2, -1), QStringLiteral("first\nsecond"));
    EXPECT_EQ(underlines()[1].cursor.selectedText(), QStringLiteral("nothing"));

    marks.show({});
    EXPECT_TRUE(underlines().isEmpty());
    EXPECT_NE(gutterEdge(2), kErrorMarkColour);
    EXPECT_EQ(marks.messagesAt(2, -1), QString());
}

}  // namespace
