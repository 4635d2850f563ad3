// SPDX-License-Identifier: MIT
#include "options/config_rules.h"

#include "support/qt_printers.h"

#include <array>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

struct NormaliseCase {
    QString typed;
    QString taken;
};

class NormaliseExtension : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseExtension, LowersAsciiLettersAndStripsBlanksAndControls) {
    EXPECT_EQ(normalizeExtension(GetParam().typed), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, NormaliseExtension,
    ::testing::Values(NormaliseCase{" .VERT ", ".vert"}, NormaliseCase{"\t.Frag\r\n", ".frag"},
                      NormaliseCase{".glsl", ".glsl"}, NormaliseCase{"  ", ""},
                      NormaliseCase{"\x01\x1f", ""}, NormaliseCase{". v s", ". v s"},
                      // Only A to Z are lowered; other capitals stay as typed.
                      NormaliseCase{QStringLiteral(".ÄSV"), QStringLiteral(".Äsv")},
                      // A no-break space is not a blank.
                      NormaliseCase{QStringLiteral("\u00a0.vs"), QStringLiteral("\u00a0.vs")}));

struct ExtensionCase {
    const char* name;
    QString vertexField;
    QString fragmentField;
    ExtensionCheck verdict;
};

class CheckExtensions : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(CheckExtensions, GivesTheFirstFaultOrWhetherAnythingChanged) {
    const ExtensionCase& c = GetParam();
    const CheckedExtensions checked =
        checkExtensions(c.vertexField, c.fragmentField, ".vert", ".frag");
    EXPECT_EQ(checked.verdict, c.verdict);
    EXPECT_EQ(checked.vertex, normalizeExtension(c.vertexField));
    EXPECT_EQ(checked.fragment, normalizeExtension(c.fragmentField));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CheckExtensions,
    ::testing::Values(
        ExtensionCase{"BothEmpty", "", "", ExtensionCheck::InvalidVertex},
        ExtensionCase{"VertexBlank", " \t ", ".frag", ExtensionCheck::InvalidVertex},
        ExtensionCase{"FragmentBlank", ".vs", "\r\n", ExtensionCheck::InvalidFragment},
        ExtensionCase{"SameText", ".frag", ".frag", ExtensionCheck::NotDifferent},
        ExtensionCase{"SameOnceNormalised", ".FS ", " .fs", ExtensionCheck::NotDifferent},
        ExtensionCase{"Current", ".vert", ".frag", ExtensionCheck::Unchanged},
        ExtensionCase{"CurrentInOtherCase", " .VERT ", ".Frag", ExtensionCheck::Unchanged},
        ExtensionCase{"VertexChanged", ".vs", ".frag", ExtensionCheck::Changed},
        ExtensionCase{"FragmentChanged", ".vert", ".fs", ExtensionCheck::Changed},
        ExtensionCase{"Swapped", ".frag", ".vert", ExtensionCheck::Changed},
        ExtensionCase{"VertexLeavesTheFolder", "/../../evilV.vert", ".frag",
                      ExtensionCheck::InvalidVertex},
        ExtensionCase{"FragmentWithBackslash", ".vert", "\\x.frag",
                      ExtensionCheck::InvalidFragment},
        ExtensionCase{"FragmentWithControl", ".vert", ".fr\tag", ExtensionCheck::InvalidFragment}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckExtensionsAgainstCurrent, ComparesTheCurrentExtensionsWithLetterCase) {
    // Extensions stored in capitals are not what lower-cased fields give.
    EXPECT_EQ(checkExtensions(".VERT", ".FRAG", ".VERT", ".FRAG").verdict, ExtensionCheck::Changed);
}

const PairExtensions kCurrent = stageExtensions(TCFG());

PairExtensions fieldsWith(PairSide side, const QString& text) {
    PairExtensions fields = kCurrent;
    const std::array<QString*, kSideCount> fieldOf = {&fields.vertex,   &fields.fragment,
                                                      &fields.geometry, &fields.tessControl,
                                                      &fields.tessEval, &fields.compute};
    *fieldOf[int(side)] = text;
    return fields;
}

class InvalidStageField : public ::testing::TestWithParam<PairSide> {};

TEST_P(InvalidStageField, IsNamedWhenEmptyOrUnsafe) {
    for (const char* bad : {" \t", "", "/x.geom", ".g\\s", ".g\x01s"}) {
        const CheckedStageExtensions checked =
            checkStageExtensions(fieldsWith(GetParam(), QString::fromLatin1(bad)), kCurrent);
        EXPECT_EQ(checked.verdict, ExtensionCheck::InvalidStage) << bad;
        EXPECT_EQ(checked.stage, GetParam()) << bad;
    }
}

INSTANTIATE_TEST_SUITE_P(Stages, InvalidStageField,
                         ::testing::Values(PairSide::Geometry, PairSide::TessControl,
                                           PairSide::TessEval, PairSide::Compute));

struct SharedCase {
    PairSide side;
    const char* typed;
    PairSide first;
    PairSide second;
};

class SharedStageExtension : public ::testing::TestWithParam<SharedCase> {};

TEST_P(SharedStageExtension, NamesBothStagesOnceNormalised) {
    const SharedCase& c = GetParam();
    const CheckedStageExtensions checked =
        checkStageExtensions(fieldsWith(c.side, QString::fromLatin1(c.typed)), kCurrent);
    EXPECT_EQ(checked.verdict, ExtensionCheck::SharedExtension);
    EXPECT_EQ(checked.stage, c.first);
    EXPECT_EQ(checked.otherStage, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SharedStageExtension,
    ::testing::Values(
        SharedCase{PairSide::Geometry, ".vert", PairSide::Vertex, PairSide::Geometry},
        SharedCase{PairSide::Compute, " .FRAG", PairSide::Fragment, PairSide::Compute},
        SharedCase{PairSide::TessEval, ".tesc", PairSide::TessControl, PairSide::TessEval},
        SharedCase{PairSide::Vertex, ".Comp", PairSide::Vertex, PairSide::Compute}));

TEST(CheckStageExtensions, IsUnchangedOnlyWhenAllSixAreTheCurrentOnes) {
    const CheckedStageExtensions same =
        checkStageExtensions(fieldsWith(PairSide::TessControl, " .TESC\t"), kCurrent);
    EXPECT_EQ(same.verdict, ExtensionCheck::Unchanged);
    EXPECT_EQ(same.extensions.tessControl, QStringLiteral(".tesc"));

    const CheckedStageExtensions changed =
        checkStageExtensions(fieldsWith(PairSide::Compute, ".CS "), kCurrent);
    EXPECT_EQ(changed.verdict, ExtensionCheck::Changed);
    const QStringList expected = {".vert", ".frag", ".geom", ".tesc", ".tese", ".cs"};
    for (int i = 0; i < kSideCount; ++i) {
        EXPECT_EQ(changed.extensions.of(kProgramSides[i]), expected[i]) << i;
    }
}

TEST(FormatBackup, RestoresColoursEffectsAndAutoSaveOnly) {
    TCFG cfg = defaultSettings("/program/");
    cfg.AutoSaveOnChange = true;
    const FormatBackup backup = takeFormatBackup(cfg);
    const TCFG before = cfg;

    for (int i = 0; i < kCategoryCount; ++i) {
        fontColor(cfg, Category(i)) = 0x00123456 + i;
        textEffects(cfg, Category(i)) = 7 - i;
    }
    cfg.AutoSaveOnChange = false;
    cfg.CurrentDir = "/elsewhere/";
    cfg.CurrentFileName = "other";
    cfg.main_pos_left = 99;
    cfg.main_size_maximized = true;
    cfg.FileExtVertex = ".vs";

    restoreFormatBackup(cfg, backup);
    EXPECT_EQ(categoryFormats(cfg), categoryFormats(before));
    EXPECT_TRUE(cfg.AutoSaveOnChange);
    EXPECT_EQ(cfg.CurrentDir, QStringLiteral("/elsewhere/"));
    EXPECT_EQ(cfg.CurrentFileName, QStringLiteral("other"));
    EXPECT_EQ(cfg.main_pos_left, 99);
    EXPECT_TRUE(cfg.main_size_maximized);
    EXPECT_EQ(cfg.FileExtVertex, QStringLiteral(".vs"));
}

TEST(FromQColor, PutsRedInTheLowestByte) {
    EXPECT_EQ(fromQColor(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(fromQColor(QColor(255, 0, 0, 10)), 0x000000FFu);
    EXPECT_EQ(fromQColor(QColor::fromHsv(240, 255, 255)), 0x00FF0000u);
}

TEST(WithEffect, SetsOrClearsOneBitAndKeepsTheOthers) {
    EXPECT_EQ(withEffect(EffectUnderline, EffectBold, true), EffectBold | EffectUnderline);
    EXPECT_EQ(withEffect(EffectBold | EffectItalic, EffectItalic, false), EffectBold);
    EXPECT_EQ(withEffect(EffectBold, EffectBold, true), EffectBold);
    EXPECT_EQ(withEffect(EffectUnderline, EffectItalic, false), EffectUnderline);
}

}  // namespace
