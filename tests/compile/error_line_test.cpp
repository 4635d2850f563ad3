// SPDX-License-Identifier: MIT
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using namespace tessory;

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

struct LineCase {
    const char* entry;
    std::optional<qint64> index;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << '"' << c.entry << '"';
}

class ErrorLineIndex : public testing::TestWithParam<LineCase> {};

TEST_P(ErrorLineIndex, ReadsTheLine) {
    EXPECT_EQ(errorListEntry(QString::fromUtf8(GetParam().entry)).lineIndex(), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Parenthesised, ErrorLineIndex,
    testing::Values(LineCase{"(12) : error C1008: undefined variable \"x\"  [FragmentShader]", 11},
                    LineCase{"(12)", 11}, LineCase{"(1)", 0}, LineCase{"(0) : x", 0},
                    LineCase{"(-3) : x  [VertexShader]", -4}, LineCase{"(+7)", 6},
                    LineCase{"( 12 )", 11}, LineCase{"(\t5)", 4},
                    // Never the last character: "(12" reads "1", "(5" reads nothing.
                    LineCase{"(12", 0}, LineCase{"(5", std::nullopt}, LineCase{"(", std::nullopt},
                    LineCase{"()", std::nullopt}, LineCase{"", std::nullopt},
                    LineCase{"(1 2)", std::nullopt}, LineCase{"(12a)", std::nullopt},
                    LineCase{"(abc) : x", std::nullopt}, LineCase{"(0x10)", std::nullopt},
                    LineCase{"(-)", std::nullopt}, LineCase{" (12)", std::nullopt},
                    LineCase{"x(12)", std::nullopt}, LineCase{"(1)(2)", 0},
                    LineCase{"(9223372036854775807)", kMax - 1},
                    LineCase{"(99999999999999999999999999)", kMax - 1},
                    LineCase{"(-99999999999999999999999999)", kMin}));

INSTANTIATE_TEST_SUITE_P(
    DriverForms, ErrorLineIndex,
    testing::Values(LineCase{"0:3(2): error: `x' undeclared  [VertexShader]", 2},
                    LineCase{"  0:12(5): error: x", 11}, LineCase{"1:4(23): error: y", 3},
                    LineCase{"0:0(1): error: z", 0},
                    LineCase{"0:99999999999999999999999(1): error", kMax - 1},
                    LineCase{"0:3: error", std::nullopt}, LineCase{"0:3(2 error", std::nullopt},
                    LineCase{"0:(2): error", std::nullopt},
                    LineCase{"0(12) : error C1008: undefined variable \"x\"", 11},
                    LineCase{"\t0(7) : warning C7011: x", 6}, LineCase{"0(x) : y", std::nullopt},
                    LineCase{"ERROR: 0:4: 'undefinedThing' : undeclared identifier", 3},
                    LineCase{"WARNING: 0:2: '' : #version directive missing", 1},
                    LineCase{" ERROR: 1:10: 'x' : y", 9}, LineCase{"ERROR: 0:4 'x'", std::nullopt},
                    LineCase{"ERROR: x", std::nullopt}, LineCase{"error: 0:4: x", std::nullopt},
                    LineCase{"error: linking with uncompiled/unspecialized shader", std::nullopt},
                    LineCase{"12", std::nullopt}, LineCase{"VertexShader: OK", std::nullopt},
                    LineCase{"Compiling Shader...", std::nullopt}, LineCase{"   ", std::nullopt}));

TEST(ErrorListEntryColumn, ReadsOnlyMesasColumn) {
    EXPECT_EQ(errorListEntry(u"0:3(23): error: `x' undeclared  [VertexShader]").column, 23);
    EXPECT_EQ(errorListEntry(u"  0:12(1): error: x").column, 1);
    // Column 0 places the caret nowhere a column would: the jump goes to the line's start.
    EXPECT_EQ(errorListEntry(u"0:12(0): error: x").column, std::nullopt);
    EXPECT_EQ(errorListEntry(u"0(12) : error C1008: x").column, std::nullopt);
    EXPECT_EQ(errorListEntry(u"ERROR: 0:4: 'x' : undeclared identifier").column, std::nullopt);
    EXPECT_EQ(errorListEntry(u"(12) : error").column, std::nullopt);
    EXPECT_EQ(errorListEntry(u"error: linking with uncompiled/unspecialized shader").column,
              std::nullopt);
}

TEST(ErrorEntryPane, FollowsTheTag) {
    EXPECT_EQ(errorEntryPane(u"(3) x  [VertexShader]"), PairSide::Vertex);
    EXPECT_EQ(errorEntryPane(u"(3) x  [FragmentShader]"), PairSide::Fragment);
    EXPECT_EQ(errorEntryPane(u"[FragmentShader] [VertexShader]"), PairSide::Vertex);
    EXPECT_EQ(errorEntryPane(u"VertexShader: OK"), std::nullopt);
    EXPECT_EQ(errorEntryPane(u"x  [vertexshader]"), std::nullopt);
}

}  // namespace
