// SPDX-License-Identifier: MIT
#include "workspace/name_rules.h"

#include "temp_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string_view>

using namespace tessory;
using namespace std::string_view_literals;

struct NameCase {
    std::u16string_view name;  // a view, so that a NUL inside a name counts
    bool valid;
};

class ShaderNameCheck : public ::testing::TestWithParam<NameCase> {};

TEST_P(ShaderNameCheck, AcceptsOnlyNamesThatStayInTheWorkspace) {
    const QString name = QString::fromUtf16(GetParam().name.data(), GetParam().name.size());
    EXPECT_EQ(isValidShaderName(name), GetParam().valid) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShaderNameCheck,
    ::testing::Values(NameCase{u"", false}, NameCase{u".", false}, NameCase{u"..", false},
                      NameCase{u"a/b", false}, NameCase{u"a\\b", false}, NameCase{u"/", false},
                      NameCase{u"tab\there", false}, NameCase{u"line\nbreak", false},
                      NameCase{u"\x1f", false}, NameCase{u"del\x7f", false},
                      NameCase{u"\0"sv, false}, NameCase{u"a\0b"sv, false},
                      NameCase{u"water", true}, NameCase{u"x.y", true}, NameCase{u"...", true},
                      NameCase{u".hidden", true}, NameCase{u" spaced ", true},
                      NameCase{u"Wasser\u00e4\u20ac", true}, NameCase{u"a\u00a0b", true}));

TEST(NameComparison, FoldsOnlyTheAsciiLetters) {
    EXPECT_TRUE(sameNameIgnoringAsciiCase(u"Water_01", u"wATER_01"));
    EXPECT_TRUE(sameNameIgnoringAsciiCase(u"", u""));
    EXPECT_FALSE(sameNameIgnoringAsciiCase(u"water", u"water "));
    EXPECT_FALSE(sameNameIgnoringAsciiCase(u"\u00e4", u"\u00c4"));
    // '@' and '`' sit next to the letters; '[' and '{' differ by 0x20 like a letter pair.
    EXPECT_FALSE(sameNameIgnoringAsciiCase(u"@", u"`"));
    EXPECT_FALSE(sameNameIgnoringAsciiCase(u"[", u"{"));
    EXPECT_EQ(foldAsciiCase(u"aZz\u00e4{"), QString::fromUtf16(u"AZZ\u00e4{"));
}

TEST(PairFileExists, SeesEitherFileOrAnythingInItsPlace) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    const PairExtensions extensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
    test_files::writeBytes(dir + "a.vert", "");
    test_files::writeBytes(dir + "b.frag", "");
    ASSERT_TRUE(QDir(dir).mkdir("c.frag"));
    ASSERT_TRUE(QFile::link(dir + "nowhere", dir + "d.vert"));

    EXPECT_TRUE(pairFileExists(dir, "a", extensions));
    EXPECT_TRUE(pairFileExists(dir, "b", extensions));
    EXPECT_TRUE(pairFileExists(dir, "c", extensions));
    EXPECT_TRUE(pairFileExists(dir, "d", extensions));
    EXPECT_FALSE(pairFileExists(dir, "e", extensions));
    // A pair of name A would find a.vert as its vertex file.
    EXPECT_TRUE(pairFileExists(dir, "A", extensions));
    EXPECT_EQ(pairFilePath(dir, "a", ".vert"), dir + "a.vert");
}
