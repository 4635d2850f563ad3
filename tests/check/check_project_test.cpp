// SPDX-License-Identifier: MIT
// The project file and the options beside it: found like .editorconfig, overridden by the command
// line, refused with the key and line when it is wrong; stage names, targets, defines, and bad
// input of every kind the checker is given.
#include "checker_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
// Compiles only where QUALITY is 3.
const QByteArray kQualityFragment =
    "#if QUALITY != 3\n#error QUALITY is not 3\n#endif\nvoid main() { gl_FragColor = vec4(1.0); "
    "}\n";

using Project = CheckerProcess;

TEST_F(Project, BadProjectFilesNameTheKeyAndLine) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    const struct {
        QByteArray json;
        const char* error;
    } cases[] = {
        {"{\n  \"target\": \"gl\",\n  \"lone\": \n}\n", "ws/tessory.json:4: not JSON: "},
        {"{\n  \"target\": \"gl\",\n  \"tagret\": \"gl\"\n}\n",
         "ws/tessory.json:3: unknown key \"tagret\" (known: target, targetEnv, extensions, "
         "includeDirs, defines, lone, variants, programs, overrides)"},
        {"{\"includeDirs\": 5}",
         "ws/tessory.json:1: \"includeDirs\" wants a string or a list of "
         "strings"},
        {"{\n\"target\": \"metal\"}",
         "ws/tessory.json:2: \"target\" is auto, gl, gl-core, gles, vulkan, not \"metal\""},
        {"{\"programs\": [\n  {\"name\": \"x\",\n   \"vert\": \"a.vert\",\n   \"frag\": "
         "\"b.fs\"}]}",
         "ws/tessory.json:4: \"programs[0].frag\" names ws/b.fs, which does not exist"},
        {"{\"includeDirs\": [\"lib\"]}",
         "ws/tessory.json:1: \"includeDirs\" names the directory ws/lib, which does not exist"},
        {"{\"overrides\": [{\"glob\": \"*.frag\",\n \"programs\": []}]}",
         "ws/tessory.json:2: \"programs\" does not belong in \"overrides\""},
        {"{\"defines\": {\"A\": \"1\\n2\"}}", "ws/tessory.json:1: the define A holds a line break"},
        {"[1, 2]", "ws/tessory.json:1: the project file must hold one JSON object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.toStdString());
        put("ws/tessory.json", c.json);
        const CheckerRun r = run({"ws"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("glsl-tessory-check: " + QString::fromUtf8(c.error)))
            << r.err.toStdString();
        EXPECT_EQ(r.out, QString());
    }
    // Not a file: a directory, a FIFO (never waited on).
    QFile::remove(path("ws/tessory.json"));
    QDir().mkpath(path("ws/tessory.json"));
    EXPECT_TRUE(run({"ws"}).err.contains("ws/tessory.json: cannot be read: Is a directory"));
    QDir(path("ws/tessory.json")).removeRecursively();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("ws/tessory.json")).constData(), 0600), 0);
    const CheckerRun fifo = run({"ws"});
    EXPECT_EQ(fifo.exitCode, 2);
    EXPECT_TRUE(fifo.err.contains("ws/tessory.json: cannot be read: Is not a regular file"));
}

TEST_F(Project, NearestProjectFileWinsAndTheCommandLineOverridesIt) {
    put("repo/tessory.json", "{\"lone\": \"ok\", \"defines\": {\"QUALITY\": 3}}");
    put("repo/fx/glow.frag", kQualityFragment);
    put("repo/legacy/tessory.json",
        "{\"extensions\": {\"vert\": \".vsh\", \"frag\": \".fsh\"},\n"
        " \"overrides\": [{\"glob\": \"old/**\", \"defines\": {\"QUALITY\": 3}}]}");
    put("repo/legacy/old/a.vsh", kVertex);
    put("repo/legacy/old/a.fsh", kQualityFragment);
    put("repo/legacy/b.fsh", kQualityFragment);
    const CheckerRun r = run({"-r", "repo"});
    // legacy/ has a project file of its own: no lone files there, and its own extensions.
    EXPECT_EQ(
        r.outLines(),
        (QStringList{"repo/legacy/b.fsh: error: Vertex-/ Fragment Shader Pair not found: no "
                     "file b.vsh beside it",
                     "repo/legacy/b.fsh:2:1: error: preprocessor error: #error QUALITY is not 3",
                     "pairs checked: 1, pairs with messages: 0, files checked: 2, files with "
                     "messages: 1, WorkSpace problems: 1"}))
        << r.out.toStdString();
    // -D replaces the project's define, -U takes it away.
    const CheckerRun defined = run({"-D", "QUALITY=3", "--lone", "ok", "repo/legacy"});
    EXPECT_EQ(defined.exitCode, 0) << defined.out.toStdString();
    const CheckerRun undefined = run({"-UQUALITY", "repo/fx"});
    EXPECT_EQ(undefined.outLines().value(0),
              "repo/fx/glow.frag:2:1: error: preprocessor error: #error QUALITY is not 3");
}

TEST_F(Project, StageNamesByExtensionDoubleExtensionAndPragma) {
    put("ws/water.vert.glsl",
        "varying vec3 n;\nvoid main() { n = gl_Normal; gl_Position = ftransform(); }\n");
    put("ws/water.frag.glsl",
        "varying vec3 n;\nvarying float depth;\nvoid main() { gl_FragColor = vec4(n, depth); }\n");
    put("ws/sky.glsl",
        "#pragma shader_stage(fragment)\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    put("ws/lib.glsl", "float helper() { return 1.0; }\n");  // included by others: not a stage
    put("ws/wave.gs",
        "#version 150\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\n"
        "void main() { EmitVertex(); }\n");
    const CheckerRun r = run({"--ext", "geom=.gs", "ws"});
    EXPECT_EQ(r.outLines(),
              (QStringList{"ws/sky.glsl: error: Vertex-/ Fragment Shader Pair not found: no file "
                           "sky.vert beside it",
                           "ws/water.vert.glsl: error: fragment shader varying depth not written "
                           "by vertex shader",
                           "pairs checked: 1, pairs with messages: 1, files checked: 2, files "
                           "with messages: 0, WorkSpace problems: 1"}))
        << r.out.toStdString();
}

TEST_F(Project, BadOptionValuesAreUsageErrors) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{"--ext", "pixel=.px", "ws"}, "--ext wants STAGE=.EXT[,.EXT...] with STAGE one of vert,"},
        {{"--ext", "geom=gs", "ws"},
         "--ext wants an extension that starts with a dot, such as .geom"},
        {{"--ext", "geom=.frag", "ws"}, "the extension '.frag' is given to both frag and geom"},
        {{"--target", "metal", "ws"}, "--target is auto, gl, gl-core, gles or vulkan, not 'metal'"},
        {{"--target-env", "vulkan2.0", "ws"}, "--target-env is vulkan1.0, vulkan1.1, vulkan1.2"},
        {{"--lone", "maybe", "ws"}, "--lone is ok or problem, not 'maybe'"},
        {{"-I", "nowhere", "ws"}, "-I names no directory: nowhere"},
        {{"--root", "nowhere", "ws"}, "--root names no directory: nowhere"},
        {{"-D", "A=1\n#error", "ws"}, "-D: the define A holds a line break"},
        {{"-D", "2B", "ws"}, "-D: '2B' is not a macro name"},
    };
    for (const auto& c : cases) {
        const CheckerRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
        EXPECT_EQ(r.out, QString());
    }
}

// What no include and no module can be: said with its file and line, exit 1, nothing hangs.
TEST_F(Project, BadIncludesAndRejectedSpirvFailTheCheck) {
    put("ws/cycle.frag", "#include \"cycle.glsl\"\nvoid main() {}\n");
    put("ws/cycle.glsl", "\n#include \"cycle.frag\"\n");
    put("ws/pipe.frag", "void main() {}\n#include \"pipe.glsl\"\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("ws/pipe.glsl")).constData(), 0600), 0);
    put("ws/zero.frag", "#include \"/dev/zero\"\n");
    put("ws/overlap.frag",
        "#version 450\nlayout(push_constant) uniform P { layout(offset = 0) vec4 a;\n"
        "layout(offset = 4) float b; } pc;\nlayout(location = 0) out vec4 c;\n"
        "void main() { c = pc.a * pc.b; }\n");
    const CheckerRun r =
        run({"--lone", "ok", "--root", "/", "ws/cycle.frag", "ws/pipe.frag", "ws/zero.frag"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.outLines().value(0),
        "ws/cycle.glsl:2:11: error: cannot include cycle.frag: it includes itself (ws/cycle.frag "
        "-> ws/cycle.glsl -> ws/cycle.frag)");
    EXPECT_TRUE(r.outLines().value(1).startsWith(
        "ws/pipe.frag:2:11: error: cannot include pipe.glsl: ws/pipe.glsl: Is not a regular file"));
    EXPECT_TRUE(r.outLines().value(2).startsWith(
        "ws/zero.frag:1:11: error: cannot include /dev/zero: /dev/zero: Is not a regular file"));

    const CheckerRun spirv = run(
        {"--format=sarif", "--target", "vulkan", "--target-env", "vulkan1.0", "ws/overlap.frag"});
    EXPECT_EQ(spirv.exitCode, 1);
    const QJsonObject result =
        QJsonDocument::fromJson(spirv.out.toUtf8())["runs"][0]["results"][0].toObject();
    EXPECT_EQ(result["ruleId"], "spirv");
    EXPECT_TRUE(result["message"]["text"].toString().contains("overlaps"))
        << spirv.out.toStdString();
    EXPECT_EQ(result["properties"]["target"], "vulkan");
    EXPECT_EQ(result["properties"]["stage"], "frag");
}

// SARIF carries the including file of a message in an included one.
TEST_F(Project, SarifNamesTheIncludingFile) {
    put("ws/lit.frag",
        "#version 330 core\n#include \"lib/shade.glsl\"\nout vec4 c;\n"
        "void main() { c = shade(); }\n");
    put("ws/lib/shade.glsl", "vec4 shade() {\n    return vec4(gain);\n}\n");
    const CheckerRun r = run({"--format=sarif", "--lone", "ok", "ws"});
    const QJsonObject result =
        QJsonDocument::fromJson(r.out.toUtf8())["runs"][0]["results"][0].toObject();
    const QJsonObject at = result["locations"][0]["physicalLocation"].toObject();
    EXPECT_EQ(at["artifactLocation"]["uri"], "ws/lib/shade.glsl");
    EXPECT_EQ(at["region"]["startLine"], 2);
    EXPECT_EQ(at["region"]["startColumn"], 17);
    const QJsonObject related = result["relatedLocations"][0].toObject();
    EXPECT_EQ(related["physicalLocation"]["artifactLocation"]["uri"], "ws/lit.frag");
    EXPECT_EQ(related["physicalLocation"]["region"]["startLine"], 2);
    EXPECT_EQ(related["message"]["text"], "included from here");
    EXPECT_EQ(result["properties"]["target"], "gl-core");
}

}  // namespace
