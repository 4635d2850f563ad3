// SPDX-License-Identifier: MIT
// The project file as the engine reads it: found like .editorconfig, paths from its own
// directory, overrides by glob, and the line of every key it refuses.
#include "compile/project_file.h"
#include "compile/json_lines.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

class ProjectFileTest : public ::testing::Test {
protected:
    QString put(const QString& relative, const QByteArray& bytes) const {
        const QString full = dir_.filePath(relative);
        QDir().mkpath(full.section(u'/', 0, -2));
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return full;
    }

    ProjectFile read(const QByteArray& json) const {
        const ProjectFileResult result =
            readProjectFile(put("repo/tessory.json", json), engineTexts(false));
        EXPECT_TRUE(result.file.has_value())
            << result.errorLine << ": " << result.error.toStdString();
        return result.file.value_or(ProjectFile());
    }

    QString at(const QString& relative) const { return dir_.filePath(relative); }

    QTemporaryDir dir_;
};

TEST_F(ProjectFileTest, TheNearestOneWins) {
    put("repo/tessory.json", "{}");
    put("repo/a/tessory.json", "{}");
    QDir().mkpath(at("repo/a/b/c"));
    QDir().mkpath(at("repo/d"));
    EXPECT_EQ(QFileInfo(findProjectFile(at("repo/a/b/c"))).absoluteFilePath(),
              at("repo/a/tessory.json"));
    EXPECT_EQ(QFileInfo(findProjectFile(at("repo/d"))).absoluteFilePath(), at("repo/tessory.json"));
    EXPECT_EQ(findProjectFile(at("")), QString());
}

TEST_F(ProjectFileTest, PathsComeFromItsOwnDirectory) {
    put("repo/shaders/a.vs", "");
    put("repo/shaders/b.fs", "");
    QDir().mkpath(at("repo/include"));
    const ProjectFile file = read(
        "{\"includeDirs\": \"include\", \"programs\": [{\"vert\": \"shaders/a.vs\", "
        "\"frag\": \"shaders/b.fs\"}], \"defines\": {\"ON\": true, \"N\": 2.5, \"E\": null}}");
    ASSERT_EQ(file.programs.size(), 1);
    EXPECT_EQ(file.programs[0].name, "a");
    EXPECT_EQ(file.programs[0].stages, (QList<std::pair<ShaderStage, QString>>{
                                           {ShaderStage::Vertex, at("repo/shaders/a.vs")},
                                           {ShaderStage::Fragment, at("repo/shaders/b.fs")}}));
    EXPECT_EQ(file.settings.includeDirs, QStringList{at("repo/include")});
    EXPECT_EQ(file.settings.defines,
              (QList<Define>{{"E", std::nullopt}, {"N", "2.5"}, {"ON", "1"}}));
}

// Overrides match paths relative to the project file: "*" within a name, "**" across folders, a
// glob without "/" at any depth; defines add up name by name, the other keys replace.
TEST_F(ProjectFileTest, OverridesApplyToTheFilesTheirGlobMatches) {
    const ProjectFile file = read(
        "{\"target\": \"gl\", \"defines\": {\"A\": \"1\", \"B\": \"1\"},\n"
        " \"overrides\": [\n"
        "  {\"glob\": \"vulkan/**\", \"target\": \"vulkan\", \"extensions\": {\"geom\": "
        "\".gs\"}},\n"
        "  {\"glob\": \"*.{vk,spv}.frag\", \"defines\": {\"B\": \"2\"}},\n"
        "  {\"glob\": \"fx/?.frag\", \"target\": \"auto\", \"lone\": \"ok\"}]}");
    const auto settings = [&](const char* relative) {
        return file.settingsFor(at(QStringLiteral("repo/") + relative));
    };
    EXPECT_EQ(settings("water.frag").target, Target::Gl);
    EXPECT_EQ(settings("vulkan/deep/sky.frag").target, Target::Vulkan);
    EXPECT_EQ(settings("a/b/c.vk.frag").defines, (QList<Define>{{"A", "1"}, {"B", "2"}}));
    EXPECT_EQ(settings("c.spv.frag").defines, (QList<Define>{{"A", "1"}, {"B", "2"}}));
    EXPECT_EQ(settings("c.gl.frag").defines, (QList<Define>{{"A", "1"}, {"B", "1"}}));
    EXPECT_TRUE(settings("fx/a.frag").targetGiven);
    EXPECT_EQ(settings("fx/a.frag").target, std::nullopt);
    EXPECT_EQ(settings("fx/a.frag").lone, LonePolicy::Ok);
    EXPECT_EQ(settings("fx/ab.frag").lone, std::nullopt);
    // A directory takes the extensions of the overrides that reach its files.
    EXPECT_EQ(file.settingsForDirectory(at("repo/vulkan/deep")).extensions.size(), 1);
    EXPECT_TRUE(file.settingsForDirectory(at("repo/fx")).extensions.isEmpty());
}

TEST_F(ProjectFileTest, EveryKeyItRefusesIsNamedWithItsLine) {
    const struct {
        QByteArray json;
        int line;
        const char* error;
    } cases[] = {
        {"{\"overrides\": [\n{\"glob\": \"a\"},\n{\"glob\": \"b\",\n \"lone\": 1}]}", 4,
         "\"overrides[1].lone\" wants a string"},
        {"{\"extensions\": {\n\"pixel\": \".px\"}}", 2,
         "unknown key \"pixel\" (known: vert, frag, geom, tesc, tese, comp, rgen, rint, rahit, "
         "rchit, rmiss, rcall, mesh, task)"},
        {"{\"extensions\": {\"geom\": [\".gs\",\n \"gs\"]}}", 1,
         "\"extensions.geom\": 'gs' is no extension (a dot and at least one more character, no "
         "'/')"},
        {"{\"variants\": [{\"A\": 1},\n {\"B\": [1]}]}", 2,
         "\"variants[1].B\" wants a string, a number, true, false or null"},
        {"{\"targetEnv\": \"vulkan9\"}", 1,
         "\"targetEnv\" is vulkan1.0, vulkan1.1, vulkan1.2, vulkan1.3, not \"vulkan9\""},
        {"{\"overrides\": [{\"target\": \"gl\"}]}", 1, "\"overrides[0].glob\" wants a string"},
        {"{\"programs\": [{\"name\": \"x\",\n \"geom\": \"tessory.json\", \"comp\": "
         "\"tessory.json\"}]}",
         1,
         "a program wants a vertex and a fragment shader, a compute shader or shaders for "
         "Vulkan only"},
        {"{\"lone\": \"ok\",\n\"a\\u002fb\": 2}", 2, "unknown key \"a/b\""},
        {"\xEF\xBB\xBF{\"lone\": \"ok\",}", 1, "not JSON: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.toStdString());
        const ProjectFileResult result =
            readProjectFile(put("repo/tessory.json", c.json), engineTexts(false));
        EXPECT_FALSE(result.file.has_value());
        EXPECT_EQ(result.errorLine, c.line);
        EXPECT_TRUE(result.error.startsWith(QString::fromUtf8(c.error)))
            << result.error.toStdString();
    }
}

TEST_F(ProjectFileTest, JsonPointerLinesFollowNestingAndEscapes) {
    const QByteArray text =
        "{\n  \"a\": [\n    1,\n    {\"b\\\"c\": {\n      \"d/e\": 2}}],\n"
        "  \"f\": \"[{\"\n}\n";
    const QHash<QString, int> lines = jsonPointerLines(text);
    EXPECT_EQ(lines.value("/a"), 2);
    EXPECT_EQ(lines.value("/a/0"), 3);
    EXPECT_EQ(lines.value("/a/1"), 4);
    EXPECT_EQ(lines.value("/a/1/b\"c"), 4);
    EXPECT_EQ(lines.value("/a/1/b\"c/d~1e"), 5);
    EXPECT_EQ(lines.value("/f"), 6);
    EXPECT_EQ(lines.size(), 7);
    // Nesting as deep as a document may hold is followed only so far, and never overflows.
    const QByteArray deep = QByteArray(100000, '[') + QByteArray(100000, ']');
    EXPECT_LT(jsonPointerLines(deep).size(), 1000);
}

}  // namespace
