// SPDX-License-Identifier: MIT
#include "editor/find_bar.h"

#include "editor/code_edit.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

using namespace tessory;

namespace {

// A pane with the bar under it, as the window has them.
class Bar : public ::testing::Test {
protected:
    Bar() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&edit);
        layout->addWidget(&bar);
        bar.setEditor(&edit);
        edit.setPlainText("vec4 a = b;\nvec4 c = a;\nfloat d;");
        window.show();
    }

    QLineEdit* field(const char* name) { return bar.findChild<QLineEdit*>(name); }

    std::pair<int, int> selection() const {
        return {edit.textCursor().selectionStart(), edit.textCursor().selectionEnd()};
    }

    void select(int from, int to) {
        QTextCursor cursor(edit.document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
    }

    QWidget window;
    CodeEdit edit;
    FindBar bar;
};

}  // namespace

TEST_F(Bar, OpensWithTheSelectionAsSearchText) {
    EXPECT_TRUE(bar.isHidden());
    select(0, 4);
    bar.openFind();
    EXPECT_FALSE(bar.isHidden());
    EXPECT_FALSE(bar.isGoToLineShown());
    EXPECT_EQ(bar.searchText(), "vec4");
    select(0, 15);  // two lines are no search text
    bar.openFind();
    EXPECT_EQ(bar.searchText(), "vec4");
}

TEST_F(Bar, EnterAndF3GoForwardShiftGoesBack) {
    bar.openFind();
    QTest::keyClicks(field("FindText"), "vec4");
    QTest::keyClick(field("FindText"), Qt::Key_Return);
    EXPECT_EQ(selection(), std::make_pair(0, 4));
    QTest::keyClick(field("FindText"), Qt::Key_F3);
    EXPECT_EQ(selection(), std::make_pair(12, 16));
    QTest::keyClick(field("FindText"), Qt::Key_Return);
    EXPECT_EQ(selection(), std::make_pair(0, 4));  // wrapped round
    QTest::keyClick(field("FindText"), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(selection(), std::make_pair(12, 16));
    QTest::keyClick(field("FindText"), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(selection(), std::make_pair(0, 4));
    EXPECT_EQ(bar.message(), QString());
}

TEST_F(Bar, SaysNotFoundAndWhatIsWrongWithAnExpression) {
    bar.openFind();
    bar.setSearchText("mat4");
    bar.findNext();
    EXPECT_EQ(bar.message(), "not found");
    bar.setGerman(true);
    bar.findPrevious();
    EXPECT_EQ(bar.message(), "nicht gefunden");
    bar.setGerman(false);
    bar.setSearchText("vec4(");
    bar.setOptions({.regularExpression = true});
    bar.findNext();
    EXPECT_TRUE(bar.message().startsWith("Invalid regular expression: "));
    QTest::keyClicks(field("FindText"), "x");
    EXPECT_EQ(bar.message(), QString());  // the message went with the old text
}

TEST_F(Bar, ReplacesOneMatchOrAllInOneUndoStep) {
    bar.openFind();
    bar.setSearchText("a");
    bar.setReplacementText("alpha");
    bar.setOptions({.wholeWords = true});
    bar.replace();  // nothing selected yet: only finds
    EXPECT_EQ(selection(), std::make_pair(5, 6));
    bar.replace();
    EXPECT_EQ(edit.document()->firstBlock().text(), "vec4 alpha = b;");
    EXPECT_EQ(selection(), std::make_pair(25, 26));
    edit.undo();
    bar.replaceAll();
    EXPECT_EQ(bar.message(), "2 replaced");
    EXPECT_EQ(edit.toPlainText(), "vec4 alpha = b;\nvec4 c = alpha;\nfloat d;");
    edit.undo();
    EXPECT_EQ(edit.toPlainText(), "vec4 a = b;\nvec4 c = a;\nfloat d;");
    bar.setSearchText("none");
    bar.replaceAll();
    EXPECT_EQ(bar.message(), "not found");
}

TEST_F(Bar, ReplaceAllWithALookaheadChangesWhatFindFindsAndOnlyThat) {
    edit.setPlainText("foobar\nfoobaz foobar");
    bar.setOptions({.regularExpression = true});
    bar.setSearchText("foo(?=bar)");
    bar.setReplacementText("X");
    bar.replaceAll();
    EXPECT_EQ(bar.message(), "2 replaced");
    EXPECT_EQ(edit.toPlainText(), "Xbar\nfoobaz Xbar");
    EXPECT_TRUE(edit.document()->isModified());

    // Matches whose replacement is what they are already change nothing.
    edit.document()->setModified(false);
    bar.setSearchText("(?<=X)bar");
    bar.setReplacementText("\\0");
    bar.replaceAll();
    EXPECT_EQ(bar.message(), "0 replaced");
    EXPECT_FALSE(edit.document()->isModified());
}

TEST_F(Bar, AnEndlessExpressionRunsInTheBackgroundUntilEscapeOrAnEdit) {
    // PCRE2 gives up on each of these lines only after millions of steps.
    const QString text = QString("// %1b\n").arg(QString(25, 'a')).repeated(2000);
    edit.setPlainText(text);
    edit.document()->setModified(false);
    bar.setGerman(true);
    bar.setOptions({.regularExpression = true});
    bar.setSearchText("(a+)+$");
    bar.setReplacementText("x");
    edit.setFocus();
    for (const auto start : {&FindBar::findNext, &FindBar::replaceAll}) {
        QElapsedTimer clock;
        clock.start();
        (bar.*start)();
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_TRUE(bar.isSearching());
        EXPECT_EQ(bar.message(), "Suche läuft…");
        // The window goes on: its timers fire while the search runs.
        bool ticked = false;
        QTimer::singleShot(10, [&ticked] { ticked = true; });
        EXPECT_TRUE(QTest::qWaitFor([&ticked] { return ticked; }, 1000));
        EXPECT_TRUE(bar.isSearching());
        QTest::keyClick(&edit, Qt::Key_Escape);
        EXPECT_FALSE(bar.isSearching());
        EXPECT_EQ(bar.message(), "Suche abgebrochen");
        EXPECT_FALSE(bar.isHidden());  // Escape stopped the search, not the bar
    }
    // Nothing was found or replaced, not even in part.
    EXPECT_EQ(edit.toPlainText(), text);
    EXPECT_FALSE(edit.document()->isModified());
    EXPECT_FALSE(edit.textCursor().hasSelection());

    // An edit makes what the search found in the old text wrong.
    bar.setGerman(false);
    bar.findPrevious();
    ASSERT_TRUE(bar.isSearching());
    QTest::keyClicks(&edit, "v");
    EXPECT_FALSE(bar.isSearching());
    EXPECT_EQ(bar.message(), "search stopped");
}

TEST_F(Bar, EmptyMatchesOfALongLineAreSteppedOver) {
    // Searching the line again after each empty match took minutes here.
    edit.setPlainText(QString(100000, 'b') + "aa");
    bar.setOptions({.regularExpression = true});
    bar.setSearchText("x*");
    bar.findNext();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !bar.isSearching(); }, 10000));
    EXPECT_EQ(bar.message(), "not found");
    bar.setSearchText("a*");
    bar.findPrevious();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !bar.isSearching(); }, 10000));
    EXPECT_EQ(selection(), std::make_pair(100000, 100002));
}

TEST_F(Bar, GoesToALineOrSaysWhatItExpects) {
    QSignalSpy closed(&bar, &FindBar::closed);
    bar.openGoToLine();
    EXPECT_TRUE(bar.isGoToLineShown());
    QTest::keyClicks(field("GoToLineText"), "2:6");
    QTest::keyClick(field("GoToLineText"), Qt::Key_Return);
    EXPECT_EQ(edit.textCursor().position(), 17);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(closed.count(), 1);

    bar.openGoToLine();
    field("GoToLineText")->setText("line 2");
    EXPECT_FALSE(bar.goToLine());
    EXPECT_EQ(bar.message(), "\"line 2\" is not a line; expected line or line:column");
    EXPECT_FALSE(bar.isHidden());
    field("GoToLineText")->setText("500");
    EXPECT_TRUE(bar.goToLine());  // beyond the end: the last line
    EXPECT_EQ(edit.textCursor().blockNumber(), 2);
}

TEST_F(Bar, EscapeClosesTheBar) {
    bar.openFind();
    QSignalSpy closed(&bar, &FindBar::closed);
    QTest::keyClick(field("FindText"), Qt::Key_Escape);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(closed.count(), 1);
}
