// SPDX-License-Identifier: MIT
// Errors while typing: the live compile through the driver host marks the panes once the text
// has been still for a moment, without Test Shader and without the preview.
#include "support/master_harness.h"

#include "compile/live_check.h"
#include "editor/diagnostic_marks.h"

#include <QAction>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

// The wavy underlines of a pane, as (line, underlined text, colour).
struct Underline {
    int line;
    QString text;
    QColor colour;
    bool operator==(const Underline&) const = default;
};

QList<Underline> underlines(CodeEdit* edit) {
    QList<Underline> found;
    for (const QTextEdit::ExtraSelection& s : edit->extraSelections()) {
        if (s.format.underlineStyle() == QTextCharFormat::WaveUnderline) {
            found.append(
                {s.cursor.blockNumber(), s.cursor.selectedText(), s.format.underlineColor()});
        }
    }
    return found;
}

void PrintTo(const Underline& u, std::ostream* out) {
    *out << u.line << " '" << u.text.toStdString() << "' " << u.colour.name().toStdString();
}

class LiveWindow : public ::testing::Test {
protected:
    MainWindow& start() {
        h.writeFile("ws/p.vert", kVertex);
        h.writeFile("ws/p.frag", kFragment);
        h.storeSettings(h.path("ws/"), "p");
        MainWindow& w = h.start();
        paneTabs(w)->setCurrentIndex(1);
        return w;
    }

    // Replaces the fragment pane's third line as typed, and waits for the live compile.
    void typeLine(MainWindow& w, const QString& line) {
        QTextCursor cursor(fragmentEdit(w)->document()->findBlockByNumber(2));
        cursor.select(QTextCursor::LineUnderCursor);
        fragmentEdit(w)->setTextCursor(cursor);
        QTest::keyClicks(fragmentEdit(w), line);
        QSignalSpy checked(w.findChild<LiveCheck*>(QStringLiteral("LiveCheck")),
                           &LiveCheck::checked);
        ASSERT_TRUE(checked.wait(LiveCheck::kQuietMs + 10000));
    }

    MasterHarness h;
};

TEST_F(LiveWindow, AnErrorIsUnderlinedAtTheDriversColumnAfterThePauseAndClearedWhenFixed) {
    MainWindow& w = start();
    EXPECT_TRUE(w.findChild<QDockWidget*>(QStringLiteral("PreviewDock"))->isHidden());
    typeLine(w, QStringLiteral("    gl_FragColor = vec4(1.0) * nothing;"));
    const QList<Underline> marked = underlines(fragmentEdit(w));
    ASSERT_FALSE(marked.isEmpty());
    EXPECT_EQ(marked[0], (Underline{2, QStringLiteral("nothing"), kErrorMarkColour}));
    for (const Underline& u : marked) {
        EXPECT_EQ(u.colour, kErrorMarkColour) << u.text.toStdString();
    }
    EXPECT_TRUE(underlines(vertexEdit(w)).isEmpty());
    EXPECT_EQ(errorListBox(w)->count(), 0) << "the error list is Test Shader's alone";
    EXPECT_EQ(errorMarkPane(w), -1) << "and so is the red line";

    typeLine(w, QStringLiteral("    gl_FragColor = vec4(1.0);"));
    EXPECT_TRUE(underlines(fragmentEdit(w)).isEmpty());
}

TEST_F(LiveWindow, AWarningIsAmberAndTestShaderAgreesWithTheMarks) {
    MainWindow& w = start();
    typeLine(w, QStringLiteral("    float v; gl_FragColor = vec4(v);"));
    const QList<Underline> live = underlines(fragmentEdit(w));
    ASSERT_EQ(live.size(), 1);
    EXPECT_EQ(live[0].line, 2);
    EXPECT_EQ(live[0].colour, kWarningMarkColour);

    action(w, "Action_Compile")->trigger();
    EXPECT_EQ(underlines(fragmentEdit(w)), live);
}

}  // namespace
