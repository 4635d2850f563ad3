// SPDX-License-Identifier: MIT
#include "texts/text_lines.h"

#include <gtest/gtest.h>

using namespace tessory;

namespace {

struct SplitCase {
    QByteArray text;
    QList<QByteArray> lines;
};

class SplitTextLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextLines, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(splitTextLines(GetParam().text), GetParam().lines);
}

// The one-pass form gives the driver the same bytes as splitting and joining.
TEST_P(SplitTextLines, WithCrLfLineEndsEqualsSplitAndJoin) {
    EXPECT_EQ(withCrLfLineEnds(GetParam().text), joinLinesCrLf(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitTextLines,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\n", {"a"}},
                      SplitCase{"a\r\nb", {"a", "b"}}, SplitCase{"a\rb\n", {"a", "b"}},
                      SplitCase{"\n\n", {"", ""}}, SplitCase{"a\n\r\nb", {"a", "", "b"}},
                      SplitCase{"a\n\rb", {"a", "", "b"}},
                      SplitCase{QByteArray("ab\0cd\ne", 7), {"ab"}},
                      SplitCase{QByteArray("\0x", 2), {}},
                      SplitCase{"\r\r\n\n\rx", {"", "", "", "", "x"}}, SplitCase{"a\r", {"a"}},
                      SplitCase{"\x80\xff\r\n\xe9\x01", {"\x80\xff", "\xe9\x01"}}));

}  // namespace

TEST(JoinLinesCrLf, EndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLinesCrLf({}), QByteArray());
    EXPECT_EQ(joinLinesCrLf({"a", "", "b"}), QByteArray("a\r\n\r\nb\r\n"));
}
