// SPDX-License-Identifier: MIT
// The checker on the three kinds of repository it is meant for (repositories/: a tutorial with
// .vs/.fs/.gs/.tcs/.tes/.cs files and programs of several names, Vulkan samples, a book of
// fragment-only shaders), each with its project file: no false problem, and the real ones where
// they are made.
#include "checker_process.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

class Repositories : public CheckerProcess {
protected:
    // A copy of repositories/NAME in the folder, where the checker runs.
    void copy(const QString& name) const {
        const QString from = QStringLiteral(TESSORY_TEST_SOURCE_DIR "/repositories/") + name;
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QFile source(file);
            ASSERT_TRUE(source.open(QIODevice::ReadOnly));
            put(name + file.sliced(from.size()), source.readAll());
        }
    }

    // Replaces the first `before` in the file with `after`.
    void edit(const QString& relative, const QByteArray& before, const QByteArray& after) const {
        QByteArray bytes = read(relative);
        ASSERT_TRUE(bytes.contains(before)) << relative.toStdString();
        put(relative, bytes.replace(bytes.indexOf(before), before.size(), after));
    }
};

TEST_F(Repositories, TutorialProgramsOfEveryStageAndOfOtherNames) {
    copy("tutorial");
    const CheckerRun clean = run({"-r", "tutorial"});
    EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString();
    EXPECT_EQ(
        clean.out,
        "pairs checked: 8, pairs with messages: 0, files checked: 1, files with messages: 0\n");

    // The geometry stage writes a name that the fragment stage does not read: the program
    // linked whole says so, at its first file.
    edit("tutorial/9.geometry/9.normals.gs", "out vec3 lineColor;", "out vec3 lineColour;");
    edit("tutorial/9.geometry/9.normals.gs", "    lineColor =", "    lineColour =");
    // The light box's fragment shader is checked with the vertex shader the project file names.
    edit("tutorial/7.bloom/7.light_box.fs", "vec4(lightColor, 1.0)", "vec4(lightColor, alpha)");
    const CheckerRun broken = run({"-r", "tutorial"});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.outLines(),
              (QStringList{"tutorial/7.bloom/7.light_box.fs:15:34: error: `alpha' undeclared",
                           "tutorial/7.bloom/7.light_box.fs:15:17: error: cannot construct "
                           "`vec4' from a non-numeric data type",
                           "tutorial/7.bloom/7.bloom.vs: error: linking with "
                           "uncompiled/unspecialized shader",
                           "tutorial/9.geometry/9.normals.vs: warning: fragment shader varying "
                           "lineColor not written by geometry shader",
                           "pairs checked: 8, pairs with messages: 2, files checked: 1, files "
                           "with messages: 0"}))
        << broken.out.toStdString();
}

TEST_F(Repositories, VulkanSamplesWithIncludesAndRayTracingStages) {
    copy("vulkan");
    const CheckerRun clean = run({"-r", "vulkan"});
    EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString();
    EXPECT_EQ(
        clean.out,
        "pairs checked: 3, pairs with messages: 0, files checked: 4, files with messages: 0\n");

    edit("vulkan/shaders/base/lighting.glsl", "return color * diffuse", "return colour * diffuse");
    const CheckerRun json = run({"--format=json", "-r", "vulkan"});
    EXPECT_EQ(json.exitCode, 1);
    QJsonObject message;
    for (const QJsonValue& workspace :
         QJsonDocument::fromJson(json.out.toUtf8())["workspaces"].toArray()) {
        for (const QJsonValue& pair : workspace["pairs"].toArray()) {
            if (!pair["messages"].toArray().isEmpty()) {
                message = pair["messages"][0].toObject();
                EXPECT_EQ(pair["target"], "vulkan");
            }
        }
    }
    EXPECT_EQ(message["file"], "vulkan/shaders/base/lighting.glsl");
    EXPECT_EQ(message["line"], 12);
    EXPECT_EQ(message["stage"], "frag");
    EXPECT_EQ(message["target"], "vulkan");
    EXPECT_EQ(
        message["relatedLocations"].toArray(),
        (QJsonArray{QJsonObject{
            {"file", "vulkan/shaders/descriptorsets/cube.frag"}, {"line", 4}, {"column", 11}}}));

    // The OpenGL driver is no judge of Vulkan GLSL; the command line overrides the project file.
    const CheckerRun gl = run({"--target", "gl", "vulkan/shaders/triangle"});
    EXPECT_TRUE(
        gl.out.startsWith("vulkan/shaders/triangle/triangle.vert:6:9: error: "
                          "unrecognized layout identifier `push_constant'"))
        << gl.out.toStdString();
}

TEST_F(Repositories, FragmentOnlyBookWithTheBuiltInVertexStage) {
    copy("book");
    const CheckerRun clean = run({"-r", "book"});
    EXPECT_EQ(clean.exitCode, 0) << clean.out.toStdString();
    EXPECT_EQ(
        clean.out,
        "pairs checked: 0, pairs with messages: 0, files checked: 6, files with messages: 0\n");
    // Each variant of the noise is checked on its own and named.
    edit("book/11/noise.frag", "    for (int i = 0; i < OCTAVES; i++) {",
         "#if OCTAVES > 1\n    dither;\n#endif\n    for (int i = 0; i < OCTAVES; i++) {");
    const CheckerRun variant = run({"book/11"});
    EXPECT_EQ(variant.outLines().value(0),
              "book/11/noise.frag:33:5: error: `dither' undeclared (variant OCTAVES=4)");
    // As the WorkSpace list has it, each file lacks its vertex shader.
    const CheckerRun strict = run({"--lone", "problem", "-r", "book"});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.outLines().filter("Pair not found").size(), 5);
}

}  // namespace
