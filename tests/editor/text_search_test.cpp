// SPDX-License-Identifier: MIT
#include "editor/text_search.h"

#include <gtest/gtest.h>

#include <QTextDocument>

using namespace tessory;

namespace {

const QString kText = QStringLiteral(
    "vec4 color = Color;\n"
    "float colorScale = 2.0; // COLOR\n"
    "vec4 c = color * colorScale;");

// Every match from the start, as (start, end) pairs, found by repeated searches.
QList<std::pair<int, int>> allMatches(const QTextDocument& document, const QString& text,
                                      const SearchOptions& options,
                                      SearchDirection direction = SearchDirection::Forward) {
    QList<std::pair<int, int>> found;
    QTextCursor at(const_cast<QTextDocument*>(&document));
    if (direction == SearchDirection::Backward) {
        at.movePosition(QTextCursor::End);
    }
    for (;;) {
        at = findMatch(&document, text, at, options, direction);
        if (at.isNull() || found.contains({at.selectionStart(), at.selectionEnd()})) {
            return found;
        }
        found.append({at.selectionStart(), at.selectionEnd()});
    }
}

}  // namespace

TEST(FindMatch, HonoursEachOptionAndWrapsRound) {
    QTextDocument document(kText);
    const struct {
        const char* name;
        QString text;
        SearchOptions options;
        QList<std::pair<int, int>> matches;
    } cases[] = {
        {"any case, parts of words",
         "color",
         {},
         {{5, 10}, {13, 18}, {26, 31}, {47, 52}, {62, 67}, {70, 75}}},
        {"whole words", "color", {.wholeWords = true}, {{5, 10}, {13, 18}, {47, 52}, {62, 67}}},
        {"letter case", "Color", {.matchCase = true}, {{13, 18}}},
        {"whole words and case",
         "color",
         {.wholeWords = true, .matchCase = true},
         {{5, 10}, {62, 67}}},
        {"regular expression",
         "c[a-z]+r\\b",
         {.regularExpression = true},
         {{5, 10}, {13, 18}, {47, 52}, {62, 67}}},
        {"expression text is literal without the option", "c[a-z]+r", {}, {}},
        {"no match", "normal", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(allMatches(document, c.text, c.options), c.matches);
        QList<std::pair<int, int>> backward(c.matches.rbegin(), c.matches.rend());
        EXPECT_EQ(allMatches(document, c.text, c.options, SearchDirection::Backward), backward);
    }
}

TEST(FindMatch, InvalidOrEmptyTextsFindNothingAndSayWhy) {
    QTextDocument document(kText);
    const SearchOptions regex{.regularExpression = true};
    EXPECT_TRUE(findMatch(&document, "(", QTextCursor(&document), regex, SearchDirection::Forward)
                    .isNull());
    EXPECT_FALSE(searchTextError("(", regex).isEmpty());
    EXPECT_TRUE(searchTextError("(", {}).isEmpty());
    EXPECT_TRUE(
        findMatch(&document, "", QTextCursor(&document), {}, SearchDirection::Forward).isNull());
    // Empty matches are skipped: "x*" finds nothing in a text without an x.
    EXPECT_TRUE(findMatch(&document, "z*", QTextCursor(&document), regex, SearchDirection::Forward)
                    .isNull());
}

TEST(ReplaceAll, ReplacesEveryMatchInOneUndoStep) {
    QTextDocument document(kText);
    document.clearUndoRedoStacks();  // the constructor's text is an undo step of its own
    EXPECT_EQ(replaceAll(&document, "color", "tint", {.wholeWords = true}), 4);
    EXPECT_EQ(document.toPlainText(),
              "vec4 tint = tint;\n"
              "float colorScale = 2.0; // tint\n"
              "vec4 c = tint * colorScale;");
    document.undo();
    EXPECT_EQ(document.toPlainText(), kText);
    EXPECT_FALSE(document.isUndoAvailable());
    // A replacement that contains the text is not searched again.
    EXPECT_EQ(replaceAll(&document, "c", "cc", {.matchCase = true}), 9);
    EXPECT_EQ(replaceAll(&document, "absent", "x", {}), 0);
}

TEST(ReplaceAll, RegularExpressionGroupsFillTheReplacement) {
    QTextDocument document("vec4 a;\nvec3 b;");
    EXPECT_EQ(replaceAll(&document, "vec(\\d) (\\w)", "\\2_vec\\1", {.regularExpression = true}),
              2);
    EXPECT_EQ(document.toPlainText(), "a_vec4;\nb_vec3;");
}

TEST(ReplaceMatch, ReplacesOnlyASelectedMatch) {
    QTextDocument document(kText);
    QTextCursor cursor(&document);
    cursor.setPosition(13);
    cursor.setPosition(18, QTextCursor::KeepAnchor);
    EXPECT_TRUE(isMatch(cursor, "color", {}));
    EXPECT_FALSE(isMatch(cursor, "color", {.matchCase = true}));
    EXPECT_FALSE(isMatch(cursor, "colo", {}));
    replaceMatch(cursor, "color", "tint", {});
    EXPECT_TRUE(document.toPlainText().startsWith("vec4 color = tint;"));
}

TEST(ParseLinePosition, AcceptsLineAndLineColumnOnly) {
    const struct {
        const char* text;
        std::optional<LinePosition> position;
    } cases[] = {
        {"12", LinePosition{12, 1}}, {" 7 : 3 ", LinePosition{7, 3}},
        {"1:1", LinePosition{1, 1}}, {"0", std::nullopt},
        {"3:0", std::nullopt},       {"", std::nullopt},
        {"-2", std::nullopt},        {"2:", std::nullopt},
        {"a", std::nullopt},         {"99999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseLinePosition(QString::fromUtf8(c.text)), c.position);
    }
}

TEST(CursorAt, ClampsToTheLastLineAndTheLineEnd) {
    QTextDocument document("first\nsecond\nlast");
    EXPECT_EQ(cursorAt(&document, {2, 3}).position(), 8);
    EXPECT_EQ(cursorAt(&document, {2, 300}).position(), 12);
    EXPECT_EQ(cursorAt(&document, {1000, 1}).position(), 13);
    EXPECT_EQ(cursorAt(&document, {1000, 1}).blockNumber(), 2);
}
