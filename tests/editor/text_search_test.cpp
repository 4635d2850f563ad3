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

const StopCheck kNeverStop = [] { return false; };

// Every match from the start, as (start, end) pairs, found by repeated searches.
QList<std::pair<int, int>> allMatches(const QTextDocument& document, const QString& text,
                                      const SearchOptions& options,
                                      SearchDirection direction = SearchDirection::Forward) {
    QList<std::pair<int, int>> found;
    const QString raw = document.toRawText();
    const TextSearch search(text, options);
    TextRange at = direction == SearchDirection::Forward
                       ? TextRange{}
                       : TextRange{int(raw.size()), int(raw.size())};
    for (;;) {
        const std::optional<TextRange> match = search.find(raw, at, direction, kNeverStop);
        if (!match || found.contains({match->start, match->end})) {
            return found;
        }
        found.append({match->start, match->end});
        at = *match;
    }
}

// Replace all as the find bar does it: planned on the text, then carried out; the number made.
int replaceAll(QTextDocument* document, const QString& text, const QString& replacement,
               const SearchOptions& options) {
    const ReplacePlan plan =
        TextSearch(text, options).planReplaceAll(document->toRawText(), replacement, kNeverStop);
    return applyReplacements(document, plan.changes);
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
    const SearchOptions regex{.regularExpression = true};
    const auto find = [](const QString& text, const SearchOptions& options) {
        return TextSearch(text, options)
            .find(QTextDocument(kText).toRawText(), {}, SearchDirection::Forward, kNeverStop);
    };
    EXPECT_FALSE(find("(", regex));
    EXPECT_FALSE(TextSearch("(", regex).error().isEmpty());
    EXPECT_TRUE(TextSearch("(", {}).error().isEmpty());
    EXPECT_FALSE(find("", {}));
    // Empty matches are skipped: "x*" finds nothing in a text without an x.
    EXPECT_FALSE(find("z*", regex));
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

TEST(ReplaceAll, ChangesExactlyWhatFindFindsWithLookaroundsAnchorsAndEmptyMatches) {
    const struct {
        const char* name;
        QString pattern;
        QString replacement;
        QString text;
        QString replaced;
        int changes;
    } cases[] = {
        {"lookahead", "foo(?=bar)", "X", "foobar foobaz\nfoobar", "Xbar foobaz\nXbar", 2},
        {"lookbehind", "(?<=vec)\\d", "N", "vec3 mat3 ivec4", "vecN mat3 ivecN", 2},
        {"line starts", "^\\s+", "", "  a\n\tb = c;\nd", "a\nb = c;\nd", 2},
        {"line ends", ";$", ".", "a;\nb; c;", "a.\nb; c.", 2},
        {"groups", "(\\w+) = (\\w+)", "\\2 = \\1 \\\\0 [\\0]", "a = b;", "b = a \\0 [a = b];", 1},
        {"empty matches between", "a*", "-", "baac\naa", "b-c\n-", 2},
        {"only empty matches", "x*", "-", "abc", "abc", 0},
        {"replacement is the match", "o+", "oo", "foo bo", "foo boo", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument document(c.text);
        document.setModified(false);
        const SearchOptions regex{.regularExpression = true};
        // The matches Find next visits from the start are those Replace all works on.
        QList<std::pair<int, int>> planned;
        const ReplacePlan plan =
            TextSearch(c.pattern, regex)
                .planReplaceAll(document.toRawText(), c.replacement, kNeverStop);
        for (const Replacement& change : plan.changes) {
            planned.append({change.range.start, change.range.end});
        }
        const QList<std::pair<int, int>> found = allMatches(document, c.pattern, regex);
        EXPECT_EQ(plan.matches, found.size());
        for (const auto& range : planned) {
            EXPECT_TRUE(found.contains(range));
        }
        EXPECT_EQ(applyReplacements(&document, plan.changes), c.changes);
        EXPECT_EQ(document.toPlainText(), c.replaced);
        EXPECT_EQ(document.isModified(), c.changes > 0);
    }
}

TEST(FindMatch, StopsWhenAsked) {
    int asked = 0;
    const StopCheck stopAtThird = [&asked] { return ++asked >= 3; };
    const QString text = QString("a\u2029").repeated(100);
    EXPECT_FALSE(TextSearch("b", {}).find(text, {}, SearchDirection::Forward, stopAtThird));
    EXPECT_EQ(asked, 3);
    asked = 0;
    EXPECT_EQ(TextSearch("a", {}).planReplaceAll(text, "b", stopAtThird).matches, 0);
}

TEST(ReplaceMatch, ReplacesOnlyASelectedMatch) {
    const auto at = [](const QString& text, const SearchOptions& options) {
        return TextSearch(text, options)
            .replacementAt(QTextDocument(kText).toRawText(), {13, 18}, "tint", kNeverStop);
    };
    ASSERT_TRUE(at("color", {}));
    EXPECT_EQ(at("color", {})->range, (TextRange{13, 18}));
    EXPECT_EQ(at("color", {})->text, "tint");
    EXPECT_FALSE(at("color", {.matchCase = true}));
    EXPECT_FALSE(at("colo", {}));
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
