// SPDX-License-Identifier: MIT
// #include and defines: errors reported where their text was written, and every kind of include
// that cannot be put in place said clearly, without a crash or a wait.
#include "engine_support.h"

#include <QElapsedTimer>

#include <sys/stat.h>

using namespace tessory;
using tessory::testing::EngineTest;

namespace {

const QByteArray kMain =
    "#version 330 core\n"
    "#extension GL_GOOGLE_include_directive : require\n"
    "#include \"lib/light.glsl\"\n"
    "out vec4 color;\n"
    "void main() { color = vec4(shade(vec3(1.0)), fog()); }\n";
const QByteArray kLight =
    "// Lambert\n"
    "#include <common.glsl>\n"
    "vec3 shade(vec3 n) {\n"
    "    return n *   /* gain */ gain(n);\n"
    "}\n";
const QByteArray kCommon = "const float PI = 3.14159;\nfloat half_pi() { return oops(PI); }\n";

class Includes : public EngineTest {
protected:
    void SetUp() override {
        put("water.frag", kMain);
        put("lib/light.glsl", kLight);
        put("inc/common.glsl", kCommon);
    }

    ExpandSettings withInc() const { return {{path("inc")}, {}, {}}; }
};

TEST_F(Includes, ErrorsAreReportedInTheIncludedFileWithTheIncludingOnes) {
    for (const Target target : {Target::GlCore, Target::Vulkan}) {
        SCOPED_TRACE(targetWord(target).toStdString());
        const ProgramResult result =
            compileFiles({{ShaderStage::Fragment, "water.frag"}}, target, withInc());
        const bool gl = target != Target::Vulkan;
        // Mesa's follow-up messages aside, the first message of each file; Mesa gives columns,
        // counted as if the comment were one blank, glslang none.
        QStringList first;
        QList<QList<SourceLocation>> chains;
        for (qsizetype i = 0; i < result.messages.size(); ++i) {
            if (i == 0 || result.messages[i].path != result.messages[i - 1].path) {
                first.append(shown(result)[i]);
                chains.append(result.messages[i].includedFrom);
            }
        }
        // glslang stops at its first error.
        const QStringList expected =
            gl ? QStringList{"inc/common.glsl:2:26: no function with name 'oops'",
                             "lib/light.glsl:4:29: no function with name 'gain'",
                             "water.frag:5:46: no function with name 'fog'"}
               : QStringList{"inc/common.glsl:2: 'oops' : no matching overloaded function found"};
        EXPECT_EQ(first, expected);
        const QList<QList<SourceLocation>> includedFrom = {
            {{path("lib/light.glsl"), 2, 11}, {path("water.frag"), 3, 11}},
            {{path("water.frag"), 3, 11}},
            {}};
        EXPECT_EQ(chains, includedFrom.first(expected.size()));
    }
}

// An editor hands in the text of an open, unsaved file in place of the one on disk.
TEST_F(Includes, TheResolverGivesTheTextOfAnOpenFile) {
    struct Unsaved : IncludeResolver {
        QString open;
        IncludeText read(const QString& file) const override {
            if (file == open) {
                return {IncludeText::Status::Found, "vec3 shade(vec3 n) { return n; }\n", {}};
            }
            return FileIncludeResolver().read(file);
        }
    } unsaved;
    unsaved.open = path("lib/light.glsl");
    ProgramRequest request;
    request.stages = {{ShaderStage::Fragment, path("water.frag"), kMain}};
    request.expand.defines = {{"fog()", "1.0"}};
    const ProgramResult result = CompileEngine(unsaved).compile(request, contexts());
    EXPECT_EQ(shown(result), QStringList());
}

TEST_F(Includes, DefinesReachEveryStageAndKeepTheLines) {
    put("fog.vert",
        "#version 330 core\nvoid main() {\n#if FOG_LEVEL != 2\n    fogless;\n#endif\n"
        "    gl_Position = vec4(FOG_LEVEL);\n    gl_Position.x += late;\n}\n");
    put("fog.frag", "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(FOG_LEVEL); }\n");
    ExpandSettings two;
    two.defines = {{"FOG_LEVEL", "2"}, {"UNUSED", std::nullopt}};
    const ProgramResult result =
        compileFiles({{ShaderStage::Vertex, "fog.vert"}, {ShaderStage::Fragment, "fog.frag"}},
                     std::nullopt, two);
    EXPECT_EQ(shown(result).value(0), "fog.vert:7:22: `late' undeclared");
    ExpandSettings one;
    one.defines = {{"FOG_LEVEL", "1"}};
    const ProgramResult other =
        compileFiles({{ShaderStage::Vertex, "fog.vert"}, {ShaderStage::Fragment, "fog.frag"}},
                     std::nullopt, one);
    EXPECT_EQ(shown(other).value(0), "fog.vert:4:5: `fogless' undeclared");

    ExpandSettings broken;
    broken.defines = {{"A", "1\n#error"}, {"2B", std::nullopt}};
    const ProgramResult refused =
        compileFiles({{ShaderStage::Fragment, "fog.frag"}}, std::nullopt, broken);
    EXPECT_FALSE(refused.compiled);
    EXPECT_EQ(shown(refused), (QStringList{"fog.frag: the define A holds a line break",
                                           "fog.frag: '2B' is not a macro name"}));
}

// What no include can do: each is said at its #include line, and nothing waits or overflows.
TEST_F(Includes, BadIncludesAreNamedAtTheirLine) {
    put("cycle/a.glsl", "#include \"b.glsl\"\n");
    put("cycle/b.glsl", "\n#include \"a.glsl\"\n");
    QDir().mkpath(path("folder.glsl"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.glsl")).constData(), 0600), 0);
    put("outside/inner/x.frag", "");
    const struct {
        QByteArray line;
        QString expected;
    } cases[] = {
        {"#include \"nowhere.glsl\"",
         "bad.frag:2:11: cannot include nowhere.glsl: no such file in " + root() + ", " +
             path("inc")},
        {"#include <nowhere.glsl>",
         "bad.frag:2:11: cannot include nowhere.glsl: no such file in " + path("inc")},
        {"#include \"cycle/a.glsl\"",
         "cycle/b.glsl:2:11: cannot include a.glsl: it includes itself (" + path("cycle/a.glsl") +
             " -> " + path("cycle/b.glsl") + " -> " + path("cycle/a.glsl") + ")"},
        {"#include \"folder.glsl\"", "bad.frag:2:11: cannot include folder.glsl: " +
                                         path("folder.glsl") + ": Is a directory, not a file."},
        {"#include \"pipe.glsl\"", "bad.frag:2:11: cannot include pipe.glsl: " + path("pipe.glsl") +
                                       ": Is not a regular file (a pipe, socket or device)."},
        {"#include \"/dev/zero\"",
         "bad.frag:2:11: cannot include /dev/zero: /dev/zero is outside the include directories "
         "and the root " +
             root()},
        {"#include \"../escape.glsl\"", "bad.frag:2:11: cannot include ../escape.glsl: " +
                                            QDir::cleanPath(path("../escape.glsl")) +
                                            " is outside the include directories and the root " +
                                            root()},
        {"#include lighting",
         "bad.frag:2:1: #include wants a file name in quotes or angle brackets"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        ProgramRequest request;
        request.stages = {{ShaderStage::Fragment, path("bad.frag"),
                           "#version 330 core\n" + c.line + "\nvoid main() {}\n"}};
        request.expand = withInc();
        const ProgramResult result = compile(request);
        EXPECT_FALSE(result.compiled);
        EXPECT_EQ(shown(result).join('\n'), c.expected);
        for (const ShaderMessage& m : result.messages) {
            EXPECT_EQ(m.origin, MessageOrigin::Include);
        }
    }
    // /dev/zero is never read, even where the root allows it.
    ProgramRequest device;
    device.stages = {{ShaderStage::Fragment, path("bad.frag"), "#include \"/dev/zero\"\n"}};
    device.expand.root = QStringLiteral("/");
    EXPECT_TRUE(shown(compile(device)).value(0).contains("Is not a regular file"));
}

TEST_F(Includes, ATenThousandDeepChainStopsAtTheLimit) {
    for (int i = 0; i < 10000; ++i) {
        put(QStringLiteral("chain/%1.glsl").arg(i),
            QStringLiteral("#include \"%1.glsl\"\n").arg(i + 1).toUtf8());
    }
    QElapsedTimer timer;
    timer.start();
    ProgramRequest request;
    request.stages = {{ShaderStage::Fragment, path("chain/top.frag"), "#include \"0.glsl\"\n"}};
    const ProgramResult result = compile(request);
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_EQ(result.messages.size(), 1);
    EXPECT_EQ(result.messages[0].location(), (SourceLocation{path("chain/199.glsl"), 1, 11}));
    EXPECT_EQ(result.messages[0].text,
              "cannot include 200.glsl: includes nest deeper than 200 files");
    EXPECT_EQ(result.messages[0].includedFrom.size(), 200);
}

// A missing file inside an #if block counts only where the driver's preprocessor goes in.
TEST_F(Includes, MissingFilesInsideIfBlocksCountWhenTheBlockIsTaken) {
    const QByteArray source =
        "#version 330 core\n"
        "#ifdef MOBILE\n"
        "  #include \"mobile_only.glsl\"\n"
        "#endif\n"
        "/*\n#include \"commented_out.glsl\"\n*/\n"
        "layout(location = 0) out vec4 c;\nvoid main() { c = vec4(1.0); }\n";
    ProgramRequest request;
    request.stages = {{ShaderStage::Fragment, path("m.frag"), source}};
    for (const Target target : {Target::GlCore, Target::Vulkan}) {
        request.target = target;
        request.expand.defines.clear();
        EXPECT_EQ(shown(compile(request)), QStringList());
        request.expand.defines = {{"MOBILE", std::nullopt}};
        const ProgramResult result = compile(request);
        ASSERT_EQ(result.messages.size(), 1) << shown(result).join('\n').toStdString();
        EXPECT_EQ(result.messages[0].origin, MessageOrigin::Include);
        EXPECT_TRUE(shown(result)[0].startsWith(
            "m.frag:3:13: cannot include mobile_only.glsl: no such file in "))
            << shown(result)[0].toStdString();
    }
}

}  // namespace
