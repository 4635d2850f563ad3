// SPDX-License-Identifier: MIT
#include "editor/line_scanner.h"

#include "editor/test_formats.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <ostream>

using namespace tessory;
using tessory::testing::filledTable;
using tessory::testing::formatOf;

namespace tessory {
void PrintTo(const FormatRange& r, std::ostream* os) {
    *os << "{" << r.start << "+" << r.length << " c=" << std::hex << r.color << std::dec
        << " e=" << r.effects << " bg=" << std::hex << r.background << std::dec << "}";
}
}  // namespace tessory

namespace {

const TextFormat kComment = formatOf(Category::Comment);

FormatRange span(int start, int length, Category c, TColor background = kWhite) {
    const TextFormat& f = formatOf(c);
    return {start, length, f.color, f.effects, background};
}

FormatRange reset(int length, TColor background = kWhite) {
    return {0, length, kBlack, 0, background};
}

struct ScanCase {
    const char16_t* line;
    std::vector<FormatRange> highlights;  // after the reset of the whole line
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << '"' << QString::fromUtf16(c.line).toStdString() << '"';
}

class ScanLine : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanLine, ColoursExactlyTheKeywordsAndTheComment) {
    const KeywordTable table = filledTable();
    const QString line = QString::fromUtf16(GetParam().line);
    std::vector<FormatRange> expected = {reset(int(line.size()))};
    expected.insert(expected.end(), GetParam().highlights.begin(), GetParam().highlights.end());
    EXPECT_EQ(scanLine(line, table, kComment, kWhite), expected);
}

using C = Category;

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ScanLine,
    ::testing::Values(
        ScanCase{u"vec4 color = gl_Color;", {span(0, 4, C::DataTypes), span(13, 8, C::StateVars)}},
        ScanCase{u"x+sin(y)", {}},  // the token is "x+sin"
        ScanCase{u"x + sin(y)", {span(4, 3, C::FunctionNames)}},
        ScanCase{u"a//b", {}},  // the first "/" ends up in the token "a/"
        ScanCase{u"a //b", {span(2, 3, C::Comment)}}, ScanCase{u"ab//c", {span(2, 3, C::Comment)}},
        ScanCase{u"/* vec3 */", {span(3, 4, C::DataTypes)}},
        ScanCase{u"gl_TexCoord[0].st", {span(0, 14, C::StateVars)}}, ScanCase{u"x", {}},
        ScanCase{u"", {}}, ScanCase{u"in", {span(0, 2, C::TypeQualifiers)}},
        ScanCase{u"// vec4 in a comment", {span(0, 20, C::Comment)}},
        ScanCase{u"vec3 v; // vec3", {span(0, 4, C::DataTypes), span(8, 7, C::Comment)}},
        ScanCase{u"\tuniform float f;", {span(1, 7, C::TypeQualifiers), span(9, 5, C::DataTypes)}},
        ScanCase{u"(vec4", {span(1, 4, C::DataTypes)}},
        ScanCase{u"(/vec4", {}},  // the skip stops at "/", which then starts the token "/vec4"
        ScanCase{u"((", {}}, ScanCase{u"//", {span(0, 2, C::Comment)}},
        ScanCase{u"v /", {}},  // a "/" at the end is no comment
        ScanCase{u"vec4\u007f vec4", {span(6, 4, C::DataTypes)}},
        ScanCase{u"vec4\u00e9 vec4", {span(6, 4, C::DataTypes)}},
        ScanCase{u"\u20acvec4 vec4\u20ac", {}},
        ScanCase{u"\u00e9 vec4", {}},  // the space is the token's second character
        ScanCase{u"\u00e9  vec4", {span(3, 4, C::DataTypes)}}, ScanCase{u"@vec4 `vec4 vec4`", {}},
        // 29 token characters are looked up and refused; 32 are never a token at the start.
        ScanCase{u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaa vec2", {span(30, 4, C::DataTypes)}},
        ScanCase{u"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa;in", {span(34, 2, C::TypeQualifiers)}},
        ScanCase{u"gl_ModelViewProjectionMatrix*gl_Vertex",
                 {span(0, 28, C::StateVars), span(29, 9, C::StateVars)}}));

TEST(ScanLine, EveryRangeTakesTheBackground) {
    const KeywordTable table = filledTable();
    EXPECT_EQ(scanLine(u"vec2 a; // c", table, kComment, kRed),
              (std::vector<FormatRange>{reset(12, kRed), span(0, 4, C::DataTypes, kRed),
                                        span(8, 4, C::Comment, kRed)}));
}

TEST(ScanLine, AppendsToTheGivenList) {
    const KeywordTable table = filledTable();
    std::vector<FormatRange> ranges = {reset(3)};
    scanLine(u"int", table, kComment, kWhite, ranges);
    EXPECT_EQ(ranges, (std::vector<FormatRange>{reset(3), reset(3), span(0, 3, C::DataTypes)}));
}

// The separators are a fixed list of ASCII codes; each one ends a keyword that it follows.
TEST(TokenSeparators, AreTheListedAsciiCodesOnlyAndEndAKeyword) {
    const KeywordTable table = filledTable();
    for (int c = 0; c < 0x10000; ++c) {
        const bool expected =
            c <= 47 || (c >= 58 && c <= 63) || c == 92 || c == 94 || (c >= 123 && c <= 126);
        ASSERT_EQ(isTokenSeparator(char16_t(c)), expected) << c;
        if (c < 300) {
            const QString line = QStringLiteral("vec4") + QChar(c) + QStringLiteral("1");
            EXPECT_EQ(scanLine(line, table, kComment, kWhite).size() == 2, expected) << c;
        }
    }
}

// Each source line of the sample gives one line of the golden file: the highlighted ranges after
// the reset, as "text"@start:category.
QString describe(const QString& line, const std::vector<FormatRange>& ranges) {
    QStringList parts;
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        const FormatRange& r = ranges[i];
        QString category = QStringLiteral("?");
        const char* names[] = {"DataTypes", "FunctionNames", "StateVars", "TypeQualifiers",
                               "Comment"};
        for (int c = 0; c < kCategoryCount; ++c) {
            const TextFormat& f = tessory::testing::kTestFormats[c];
            if (f.color == r.color && f.effects == r.effects) {
                category = QLatin1StringView(names[c]);
            }
        }
        parts << QStringLiteral("\"%1\"@%2:%3")
                     .arg(line.mid(r.start, r.length))
                     .arg(r.start)
                     .arg(category);
    }
    return parts.join(' ');
}

QString dataPath(const QString& name) {
    return QStringLiteral(TESSORY_TEST_SOURCE_DIR "/data/") + name;
}

QByteArray readData(const QString& name) {
    QFile file(dataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ScanLine, WholeShaderMatchesItsGoldenRanges) {
    const KeywordTable table = filledTable();
    const QByteArray source = readData("scanner_sample.vert");
    ASSERT_FALSE(source.isEmpty());
    QStringList actual;
    for (const QByteArray& bytes : splitTextLines(source)) {
        const QString line = fromWin1252(bytes);
        const std::vector<FormatRange> ranges = scanLine(line, table, kComment, kWhite);
        ASSERT_EQ(ranges.front(), reset(int(line.size())));
        actual << describe(line, ranges);
    }
    const QByteArray golden = readData("scanner_sample.vert.golden");
    if (qEnvironmentVariableIsSet("TESSORY_UPDATE_GOLDEN")) {
        QFile out(dataPath("scanner_sample.vert.golden"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(actual.join('\n').toUtf8() + '\n');
        GTEST_SKIP() << "golden file written";
    }
    const QStringList expected = QString::fromUtf8(golden).split('\n');
    ASSERT_EQ(expected.size(), actual.size() + 1);
    for (qsizetype i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].toStdString(), expected[i].toStdString()) << "line " << i + 1;
    }
}

}  // namespace
