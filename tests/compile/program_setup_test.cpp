// SPDX-License-Identifier: MIT
// What a program is compiled with: the target the user chose over the project file's over the one
// its #version asks for, the project file's includes and defines, and the choices kept as text.
#include "compile/program_setup.h"
#include "compile/target_choices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

QList<StageSource> pairWithVersion(const QByteArray& version) {
    return {{ShaderStage::Vertex, QStringLiteral("/ws/p.vert"), version + "\nvoid main() {}\n"},
            {ShaderStage::Fragment, QStringLiteral("/ws/p.frag"), version + "\nvoid main() {}\n"}};
}

TEST(ProgramSetup, TheChosenTargetBeatsTheProjectFilesWhichBeatsTheVersionLine) {
    QTemporaryDir temp;
    QFile project(temp.filePath(QStringLiteral("tessory.json")));
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write(R"({"target": "gles", "includeDirs": ["lib"], "defines": {"FOG": 1},
                      "variants": [{"SHADOWS": 1}, {"SHADOWS": 0}]})");
    project.close();
    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("lib")));

    const ProgramSetup none = programSetup(nullptr, std::nullopt, pairWithVersion("#version 330"));
    EXPECT_EQ(none.target, Target::GlCore);
    EXPECT_EQ(none.source, TargetSource::Auto);
    EXPECT_FALSE(none.projectFile);

    ProjectFileCache cache;
    const ProjectFileResult* read = cache.lookup(temp.path());
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->file) << read->error.toStdString();
    const ProgramSetup fromProject =
        programSetup(read, std::nullopt, pairWithVersion("#version 330"));
    EXPECT_EQ(fromProject.target, Target::Gles);
    EXPECT_EQ(fromProject.source, TargetSource::ProjectFile);
    EXPECT_EQ(fromProject.expand.includeDirs, QStringList({temp.filePath(QStringLiteral("lib"))}));
    // The first variant's defines join the file's own.
    QStringList defines;
    for (const Define& define : fromProject.expand.defines) {
        defines << define.name + u'=' + define.value.value_or(QString());
    }
    EXPECT_EQ(defines, QStringList({"FOG=1", "SHADOWS=1"}));

    const ProgramSetup chosen = programSetup(read, Target::Vulkan, pairWithVersion("#version 330"));
    EXPECT_EQ(chosen.target, Target::Vulkan);
    EXPECT_EQ(chosen.source, TargetSource::Chosen);
}

TEST(ProgramSetup, AProjectFileBrokenLaterIsReadAgainAndNamed) {
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("tessory.json"));
    ProjectFileCache cache;
    EXPECT_EQ(cache.lookup(temp.path()), nullptr);
    QFile project(path);
    ASSERT_TRUE(project.open(QIODevice::WriteOnly));
    project.write("{\"target\": \"gl-core\"}");
    project.close();
    ASSERT_NE(cache.lookup(temp.path()), nullptr);
    EXPECT_TRUE(cache.lookup(temp.path())->file);

    ASSERT_TRUE(project.open(QIODevice::WriteOnly | QIODevice::Truncate));
    project.write("{\"target\": \"nothing-known\"\n}");
    project.close();
    const ProjectFileResult* broken = cache.lookup(temp.path());
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->file);
    const ProgramSetup setup = programSetup(broken, std::nullopt, pairWithVersion("#version 120"));
    EXPECT_TRUE(setup.projectProblem.contains("tessory.json"))
        << setup.projectProblem.toStdString();
    EXPECT_EQ(setup.target, Target::Gl);
}

TEST(TargetChoices, AreKeptPerWorkSpaceAndNameIgnoringCaseAndSurviveTheirText) {
    TargetChoices choices;
    choices.choose(QStringLiteral("/a/"), QStringLiteral("Water"), Target::Vulkan);
    choices.choose(QStringLiteral("/b/"), QStringLiteral("water"), Target::Gles);
    choices.choose(QStringLiteral("/a/"), QStringLiteral("fire"), Target::GlCore);
    choices.choose(QStringLiteral("/a/"), QStringLiteral("FIRE"), std::nullopt);
    const TargetChoices read = TargetChoices::fromText(
        choices.toText() + QStringLiteral("\nbroken line\n/c/\tx\tnot-a-target\n"));
    EXPECT_EQ(read.chosen(QStringLiteral("/a/"), QStringLiteral("WATER")), Target::Vulkan);
    EXPECT_EQ(read.chosen(QStringLiteral("/b/"), QStringLiteral("Water")), Target::Gles);
    EXPECT_EQ(read.chosen(QStringLiteral("/a/"), QStringLiteral("fire")), std::nullopt);
    EXPECT_EQ(read.chosen(QStringLiteral("/c/"), QStringLiteral("x")), std::nullopt);
    EXPECT_EQ(read.toText(), choices.toText());
}

}  // namespace
