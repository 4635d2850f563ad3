// SPDX-License-Identifier: MIT
#include "options/settings.h"

#include <QMap>
#include <QRect>
#include <QStringList>

#include <utility>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

const QSize kScreen(1280, 1024);

// A store of named values, as the settings file holds them (every value as text).
SettingsLookup storeOf(const QMap<QString, QVariant>& values) {
    return [values](const QString& name) -> std::optional<QVariant> {
        const auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<QVariant>(*it);
    };
}

QMap<QString, QVariant> completeStore() {
    TCFG cfg = defaultSettings(QStringLiteral("/ws/"));
    cfg.main_pos_left = 20;
    cfg.main_pos_top = 30;
    cfg.main_size_width = 800;
    cfg.main_size_height = 600;
    cfg.main_size_maximized = true;
    cfg.CurrentFileName = QStringLiteral("Water");
    cfg.FileExtVertex = QStringLiteral(".vs");
    cfg.FileExtFragment = QStringLiteral(".fs");
    cfg.FontColor_Comment = 0x00123456;
    cfg.TextEffects_Comment = EffectItalic;
    cfg.AutoSaveOnChange = true;
    cfg.EditorZoom = 3;
    QMap<QString, QVariant> values;
    for (const auto& [name, value] : storedValues(cfg)) {
        values.insert(name, value.toString());
    }
    return values;
}

TEST(ReadSettings, TakesEveryStoredValue) {
    const QMap<QString, QVariant> store = completeStore();
    TCFG cfg = defaultSettings(QStringLiteral("/program/"));
    readSettings(storeOf(store), cfg, kScreen);
    for (const auto& [name, value] : storedValues(cfg)) {
        EXPECT_EQ(value.toString(), store[name].toString()) << name.toStdString();
    }
}

TEST(ReadSettings, GeometryWithoutTheMaximizedFlagKeepsTheRestAtDefaults) {
    TCFG cfg = defaultSettings(QStringLiteral("/program/"));
    readSettings(storeOf({{"main_pos_left", "5"},
                          {"main_size_width", "700"},
                          {"main_pos_top", "6"},
                          {"main_size_height", "500"},
                          {"main_size_maximized", "x"}}),
                 cfg, kScreen);
    EXPECT_FALSE(cfg.main_size_maximized);
    EXPECT_EQ(QRect(cfg.main_pos_left, cfg.main_pos_top, cfg.main_size_width, cfg.main_size_height),
              QRect(5, 6, 700, 500));
    const TCFG defaults = defaultSettings(QStringLiteral("/program/"));
    EXPECT_EQ(cfg.CurrentDir, defaults.CurrentDir);
    EXPECT_EQ(cfg.FileExtVertex, defaults.FileExtVertex);
    EXPECT_EQ(cfg.TextEffects_StateVars, defaults.TextEffects_StateVars);
}

struct GeometryCase {
    const char* left;
    const char* width;
    bool taken;
};

class ReadSettingsGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ReadSettingsGeometry, TakesPositionAndSizeOnlyWhenTheyFitTheScreen) {
    TCFG cfg;
    auto values = completeStore();
    values["main_pos_left"] = GetParam().left;
    values["main_size_width"] = GetParam().width;
    readSettings(storeOf(values), cfg, kScreen);
    if (GetParam().taken) {
        EXPECT_EQ(cfg.main_pos_left, QByteArray(GetParam().left).toInt());
        EXPECT_EQ(cfg.main_size_width, QByteArray(GetParam().width).toInt());
    } else {
        EXPECT_EQ(cfg.main_pos_left, TCFG().main_pos_left);
        EXPECT_EQ(cfg.main_size_width, TCFG().main_size_width);
    }
    // The reading goes on after a pair that was not taken.
    EXPECT_EQ(cfg.main_pos_top, 30);
}

INSTANTIATE_TEST_SUITE_P(Screen, ReadSettingsGeometry,
                         ::testing::Values(GeometryCase{"0", "1280", true},
                                           GeometryCase{"1", "1280", false},
                                           GeometryCase{"-1", "100", false},
                                           GeometryCase{"100", "-5", false},
                                           GeometryCase{"2147483647", "2147483647", false},
                                           GeometryCase{"480", "800", true}));

struct DamageCase {
    const char* name;
    QVariant value;   // an invalid QVariant removes the value
    int fieldsTaken;  // how many of the checked fields below kept their stored value
};

class ReadSettingsDamage : public ::testing::TestWithParam<DamageCase> {};

// Fields in reading order, each checked for its stored (not default) value.
int storedFieldsTaken(const TCFG& cfg) {
    const bool taken[] = {cfg.main_pos_left == 20,
                          cfg.main_pos_top == 30,
                          cfg.main_size_maximized,
                          cfg.CurrentFileName == QStringLiteral("Water"),
                          cfg.FontColor_Comment == 0x00123456u,
                          cfg.TextEffects_Comment == EffectItalic,
                          cfg.AutoSaveOnChange};
    int n = 0;
    while (n < int(std::size(taken)) && taken[n]) {
        ++n;
    }
    return n;
}

TEST_P(ReadSettingsDamage, StopsAtTheFirstBadValueAndKeepsWhatWasRead) {
    auto values = completeStore();
    if (GetParam().value.isValid()) {
        values[GetParam().name] = GetParam().value;
    } else {
        values.remove(GetParam().name);
    }
    TCFG cfg;
    readSettings(storeOf(values), cfg, kScreen);
    EXPECT_EQ(storedFieldsTaken(cfg), GetParam().fieldsTaken);
}

INSTANTIATE_TEST_SUITE_P(
    Store, ReadSettingsDamage,
    ::testing::Values(DamageCase{"main_pos_left", QVariant(), 0},
                      DamageCase{"main_pos_top", "ten", 1}, DamageCase{"main_pos_top", " 30", 1},
                      DamageCase{"main_pos_top", QString::fromLatin1("30\0x", 4), 1},
                      DamageCase{"main_pos_top", QString::fromLatin1("30\0", 3), 1},
                      DamageCase{"main_size_maximized", "4294967296", 2},
                      DamageCase{"main_size_maximized", QVariant(), 2},
                      DamageCase{"CurrentFileName", QStringList{"a", "b"}, 3},
                      DamageCase{"FontColor_DataTypes", "0x0000FF", 4},
                      DamageCase{"TextEffects_DataTypes", "", 5},
                      DamageCase{"AutoSaveOnChange", "yes", 6},
                      DamageCase{"FileExtVertex", QVariant(), 7}));

TEST(ReadSettings, AMissingWorkSpaceReadsAsEmpty) {
    auto values = completeStore();
    values.remove("CurrentDir");
    TCFG cfg = defaultSettings(QStringLiteral("/program/"));
    readSettings(storeOf(values), cfg, kScreen);
    EXPECT_EQ(cfg.CurrentDir, QString());
    EXPECT_EQ(cfg.CurrentFileName, QStringLiteral("Water"));
}

TEST(ReadSettings, BooleansAreIntegersAndTextsEndAtTheirFirstNul) {
    auto values = completeStore();
    values["main_size_maximized"] = "2";
    values["AutoSaveOnChange"] = "0";
    values["CurrentFileName"] = QStringLiteral("Wa") + QChar(0) + QStringLiteral("ter");
    TCFG cfg;
    readSettings(storeOf(values), cfg, kScreen);
    EXPECT_TRUE(cfg.main_size_maximized);
    EXPECT_FALSE(cfg.AutoSaveOnChange);
    EXPECT_EQ(cfg.CurrentFileName, QStringLiteral("Wa"));
}

TEST(TrimExtensions, StripsBlanksAndFallsBackToTheDefaults) {
    TCFG cfg;
    cfg.FileExtVertex = QStringLiteral(" \t.glslv\r\n");
    cfg.FileExtFragment = QStringLiteral("   ");
    trimExtensions(cfg);
    EXPECT_EQ(cfg.FileExtVertex, QStringLiteral(".glslv"));
    EXPECT_EQ(cfg.FileExtFragment, QStringLiteral(".frag"));
    cfg.FileExtVertex.clear();
    trimExtensions(cfg);
    EXPECT_EQ(cfg.FileExtVertex, QStringLiteral(".vert"));
}

TEST(TrimExtensions, ExtensionsThatCouldNameOtherFilesFallBackToTheDefaults) {
    for (const char* unsafe : {"/../../evilV.vert", "\\x.vert", ".v\x01t", ".v\x7Ft"}) {
        TCFG cfg;
        cfg.FileExtVertex = QString::fromLatin1(unsafe);
        cfg.FileExtFragment = QString::fromLatin1(unsafe);
        trimExtensions(cfg);
        EXPECT_EQ(cfg.FileExtVertex, QStringLiteral(".vert")) << unsafe;
        EXPECT_EQ(cfg.FileExtFragment, QStringLiteral(".frag")) << unsafe;
    }
}

TEST(CheckWorkspace, OnlyAnAbsoluteWorkSpaceIsTaken) {
    for (const auto& [stored, taken] : {std::pair("", "/program/"), std::pair("ws/", "/program/"),
                                        std::pair(".", "/program/"), std::pair("/ws/", "/ws/")}) {
        TCFG cfg;
        cfg.CurrentDir = QString::fromLatin1(stored);
        checkWorkspace(cfg, QStringLiteral("/program"));
        EXPECT_EQ(cfg.CurrentDir, QString::fromLatin1(taken)) << stored;
    }
}

struct FitCase {
    QRect stored;
    QRect fitted;
};

class FitToScreen : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitToScreen, MovesToTheEdgeAndCutsOnlyWhatIsTooLarge) {
    TCFG cfg;
    const QRect r = GetParam().stored;
    cfg.main_pos_left = r.x();
    cfg.main_pos_top = r.y();
    cfg.main_size_width = r.width();
    cfg.main_size_height = r.height();
    fitToScreen(cfg, QSize(1024, 768));
    EXPECT_EQ(QRect(cfg.main_pos_left, cfg.main_pos_top, cfg.main_size_width, cfg.main_size_height),
              GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(Screen, FitToScreen,
                         ::testing::Values(FitCase{{10, 10, 860, 660}, {10, 10, 860, 660}},
                                           FitCase{{200, 10, 860, 660}, {0, 10, 860, 660}},
                                           FitCase{{10, 200, 860, 660}, {10, 0, 860, 660}},
                                           FitCase{{10, 10, 2000, 1000}, {0, 0, 1024, 768}},
                                           FitCase{{164, 108, 860, 660}, {164, 108, 860, 660}}));

// The names are those of the files earlier runs have left.
TEST(StoredValues, WritesEveryStoredFieldOnceInItsOrder) {
    QStringList names;
    for (const auto& [name, value] : storedValues(TCFG())) {
        names.append(name);
    }
    EXPECT_EQ(
        names.join(' '),
        "main_pos_left main_pos_top main_size_width main_size_height main_size_maximized "
        "CurrentDir CurrentFileName FileExtVertex FileExtFragment FontColor_DataTypes "
        "FontColor_FunctionNames FontColor_StateVars FontColor_TypeQualifiers "
        "FontColor_Comment TextEffects_DataTypes TextEffects_FunctionNames "
        "TextEffects_StateVars TextEffects_TypeQualifiers TextEffects_Comment "
        "AutoSaveOnChange PreviewVisible PreviewWidth PreviewHeight EditorZoom CompileTimeLimit "
        "FrameTimeLimit FileExtGeometry FileExtTessControl FileExtTessEval FileExtCompute "
        "ProgramTargets");
}

// The extensions of the stages beyond the pair, each unlike its default.
TCFG withStageExtensions() {
    TCFG cfg = defaultSettings(QStringLiteral("/ws/"));
    cfg.FileExtGeometry = QStringLiteral(".gs");
    cfg.FileExtTessControl = QStringLiteral(".tcs");
    cfg.FileExtTessEval = QStringLiteral(".tes");
    cfg.FileExtCompute = QStringLiteral(".cs");
    return cfg;
}

// The values of cfg as the settings file holds them.
QMap<QString, QVariant> valuesOf(const TCFG& cfg) {
    QMap<QString, QVariant> values;
    for (const auto& [name, value] : storedValues(cfg)) {
        values.insert(name, value.toString());
    }
    return values;
}

TEST(StageExtensions, AreWrittenLastAndReadBack) {
    const TCFG written = withStageExtensions();
    const auto values = storedValues(written);
    ASSERT_GE(values.size(), 4);
    const auto last = values.mid(values.size() - 5, 4);
    EXPECT_EQ(last[0], std::pair(QStringLiteral("FileExtGeometry"), QVariant(".gs")));
    EXPECT_EQ(last[1], std::pair(QStringLiteral("FileExtTessControl"), QVariant(".tcs")));
    EXPECT_EQ(last[2], std::pair(QStringLiteral("FileExtTessEval"), QVariant(".tes")));
    EXPECT_EQ(last[3], std::pair(QStringLiteral("FileExtCompute"), QVariant(".cs")));

    TCFG read;
    readSettings(storeOf(valuesOf(written)), read, kScreen);
    EXPECT_EQ(read.FileExtGeometry, QStringLiteral(".gs"));
    EXPECT_EQ(read.FileExtTessControl, QStringLiteral(".tcs"));
    EXPECT_EQ(read.FileExtTessEval, QStringLiteral(".tes"));
    EXPECT_EQ(read.FileExtCompute, QStringLiteral(".cs"));
}

TEST(StageExtensions, AStoreWithoutThemReadsAsBeforeAndGetsTheDefaults) {
    auto values = valuesOf(withStageExtensions());
    for (const char* name :
         {"FileExtGeometry", "FileExtTessControl", "FileExtTessEval", "FileExtCompute"}) {
        values.remove(name);
    }
    values["FrameTimeLimit"] = "7";
    TCFG cfg;
    readSettings(storeOf(values), cfg, kScreen);
    trimExtensions(cfg);
    EXPECT_EQ(cfg.FrameTimeLimit, 7);
    const TCFG defaults;
    EXPECT_EQ(cfg.FileExtGeometry, defaults.FileExtGeometry);
    EXPECT_EQ(cfg.FileExtTessControl, defaults.FileExtTessControl);
    EXPECT_EQ(cfg.FileExtTessEval, defaults.FileExtTessEval);
    EXPECT_EQ(cfg.FileExtCompute, defaults.FileExtCompute);
}

TEST(TrimExtensions, TreatsEveryStageAlike) {
    TCFG cfg;
    cfg.FileExtGeometry = QStringLiteral(" .gs\t");
    cfg.FileExtTessControl = QStringLiteral("\r\n");
    cfg.FileExtTessEval = QStringLiteral("../x.tese");
    cfg.FileExtCompute = QStringLiteral("\t.cs ");
    trimExtensions(cfg);
    EXPECT_EQ(cfg.FileExtGeometry, QStringLiteral(".gs"));
    EXPECT_EQ(cfg.FileExtTessControl, QStringLiteral(".tesc"));
    EXPECT_EQ(cfg.FileExtTessEval, QStringLiteral(".tese"));
    EXPECT_EQ(cfg.FileExtCompute, QStringLiteral(".cs"));
    cfg.FileExtCompute = QStringLiteral(".c\x01s");
    trimExtensions(cfg);
    EXPECT_EQ(cfg.FileExtCompute, QStringLiteral(".comp"));
}

}  // namespace
