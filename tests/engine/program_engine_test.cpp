// SPDX-License-Identifier: MIT
// Programs of every stage and target on the real driver and through glslang: what links only
// whole, the built-in vertex stage of a lone fragment shader, and shaders that are right for one
// target alone.
#include "engine_support.h"

using namespace tessory;
using tessory::testing::EngineTest;

namespace {

const QByteArray kVertex =
    "#version 330 core\n"
    "layout(location = 0) in vec3 position;\n"
    "out vec3 vsColor;\n"
    "void main() {\n"
    "    vsColor = position;\n"
    "    gl_Position = vec4(position, 1.0);\n"
    "}\n";
const QByteArray kGeometry =
    "#version 330 core\n"
    "layout(triangles) in;\n"
    "layout(triangle_strip, max_vertices = 3) out;\n"
    "in vec3 vsColor[];\n"
    "out vec3 gsColor;\n"
    "void main() {\n"
    "    for (int i = 0; i < 3; ++i) {\n"
    "        gsColor = vsColor[i];\n"
    "        gl_Position = gl_in[i].gl_Position;\n"
    "        EmitVertex();\n"
    "    }\n"
    "}\n";
const QByteArray kFragment =
    "#version 330 core\n"
    "in vec3 gsColor;\n"
    "out vec4 color;\n"
    "void main() { color = vec4(gsColor, 1.0); }\n";

using Programs = EngineTest;

TEST_F(Programs, GeometryStagePassesOnlyWhenLinkedWhole) {
    put("glow.vert", kVertex);
    put("glow.geom", kGeometry);
    put("glow.frag", kFragment);
    const ProgramResult pair = compileFiles(
        {{ShaderStage::Vertex, "glow.vert"}, {ShaderStage::Fragment, "glow.frag"}}, std::nullopt);
    EXPECT_EQ(pair.target, Target::GlCore);
    ASSERT_EQ(pair.messages.size(), 1);
    EXPECT_EQ(pair.messages[0].origin, MessageOrigin::Link);
    EXPECT_TRUE(pair.messages[0].text.contains("gsColor")) << pair.messages[0].text.toStdString();
    EXPECT_EQ(pair.messages[0].path, path("glow.vert"));

    const ProgramResult whole = compileFiles({{ShaderStage::Vertex, "glow.vert"},
                                              {ShaderStage::Fragment, "glow.frag"},
                                              {ShaderStage::Geometry, "glow.geom"}},
                                             std::nullopt);
    EXPECT_EQ(shown(whole), QStringList());
    EXPECT_EQ(whole.logs.size(), 3);
    EXPECT_TRUE(whole.compiled);
}

// The live-coding convention: no vertex shader; the fragment shader's inputs are written by the
// built-in stage, whatever their kind, and only what is really wrong is reported.
TEST_F(Programs, LoneFragmentLinksWithTheBuiltInVertexStage) {
    const QByteArray book =
        "#ifdef GL_ES\nprecision mediump float;\n#endif\n"
        "uniform vec2 u_resolution;\nuniform float u_time;\n"
        "varying vec2 v_texcoord;\n"
        "void main() {\n"
        "    vec2 st = gl_FragCoord.xy / u_resolution;\n"
        "    gl_FragColor = vec4(st * v_texcoord, sin(u_time), 1.0);\n"
        "}\n";
    const QByteArray modern =
        "#version 410 core\n"
        "in VS_OUT { vec3 normal; vec2 uv[2]; } fs_in;\n"
        "flat in int id;\nnoperspective in float depth;\n"
        "layout(location = 5) in vec4 tint;\n"
        "out vec4 color;\n"
        "void main() {\n"
        "    color = vec4(fs_in.normal, float(id) + depth) + tint +\n"
        "            vec4(fs_in.uv[1], 0.0, 0.0);\n"
        "}\n";
    const QByteArray es =
        "#version 300 es\nprecision mediump float;\n"
        "in vec2 uv;\nflat in uint layer;\nout vec4 color;\n"
        "void main() { color = vec4(uv, float(layer), 1.0); }\n";
    // More samplers than the driver has units: a link error of the fragment shader itself.
    const QByteArray tooMany =
        "#version 400 core\nuniform sampler2D maps[40];\nin vec2 uv;\n"
        "out vec4 color;\n"
        "void main() {\n    color = vec4(0.0);\n"
        "    for (int i = 0; i < 40; ++i) color += texture(maps[i], uv);\n"
        "}\n";
    for (const QByteArray& source : {book, modern, es, tooMany}) {
        ProgramRequest request;
        request.stages = {{ShaderStage::Fragment, path("lone.frag"), source}};
        request.builtInVertex = true;
        const ProgramResult result = compile(request);
        SCOPED_TRACE(source.toStdString());
        if (source == tooMany) {
            ASSERT_EQ(result.messages.size(), 1) << shown(result).join('\n').toStdString();
            EXPECT_EQ(result.messages[0].origin, MessageOrigin::Link)
                << shown(result)[0].toStdString();
            EXPECT_TRUE(result.messages[0].text.contains("sampler"))
                << shown(result)[0].toStdString();
        } else {
            EXPECT_EQ(shown(result), QStringList());
            EXPECT_TRUE(result.compiled);
        }
    }
    // Without the vertex stage an input that nothing writes is no error either: nothing is
    // linked.
    ProgramRequest alone;
    alone.stages = {{ShaderStage::Fragment, path("lone.frag"), es}};
    EXPECT_EQ(shown(compile(alone)), QStringList());
}

struct TargetCase {
    Target target;
    ShaderStage stage;
    QByteArray source;
};

// Each shader is right for one target and wrong for the three others.
TEST_F(Programs, EachTargetHasAShaderOnlyItTakes) {
    const TargetCase cases[] = {
        {Target::Gl, ShaderStage::Vertex,
         "#version 150 compatibility\nvoid main() { gl_Position = ftransform(); }\n"},
        {Target::GlCore, ShaderStage::Fragment,
         "#version 450 core\n#extension GL_AMD_gpu_shader_int64 : require\n"
         "uniform float scale;\nout vec4 color;\n"
         "void main() { int64_t big = int64_t(1) << 40; color = vec4(float(big) * scale); }\n"},
        {Target::Gles, ShaderStage::Fragment,
         "precision mediump float;\nvoid main() { gl_FragColor = vec4(1.0); }\n"},
        {Target::Vulkan, ShaderStage::Fragment,
         "#version 450\nlayout(set = 0, binding = 1) uniform Light { vec4 color; } light;\n"
         "layout(push_constant) uniform Push { float scale; } push;\n"
         "layout(location = 0) out vec4 color;\n"
         "void main() { color = light.color * push.scale; }\n"},
    };
    for (const TargetCase& shader : cases) {
        for (const Target target : {Target::Gl, Target::GlCore, Target::Gles, Target::Vulkan}) {
            SCOPED_TRACE(targetWord(shader.target).toStdString() + " shader for " +
                         targetWord(target).toStdString());
            ProgramRequest request;
            request.stages = {{shader.stage, path("shader"), shader.source}};
            request.target = target;
            const ProgramResult result = compile(request);
            EXPECT_EQ(result.target, target);
            EXPECT_EQ(result.messages.isEmpty(), target == shader.target)
                << shown(result).join('\n').toStdString();
            for (const ShaderMessage& message : result.messages) {
                EXPECT_EQ(message.target, target);
            }
        }
    }
}

TEST_F(Programs, AutoReadsTheVersionAndVulkanOnlyStages) {
    const std::pair<QByteArray, Target> versions[] = {
        {"void main() {}", Target::Gl},
        {"// a comment first\n#version 120\nvoid main() {}", Target::Gl},
        {"#version 150 compatibility\nvoid main() {}", Target::Gl},
        {"#version 140\nvoid main() {}", Target::GlCore},
        {"/* banner */ #version 330 core\nvoid main() {}", Target::GlCore},
        {"#version 300 es\nvoid main() {}", Target::Gles},
        {"#version 450\nvoid main() {}", Target::GlCore},
    };
    for (const auto& [source, target] : versions) {
        EXPECT_EQ(chooseTarget(std::nullopt, {{ShaderStage::Vertex, "a.vert", source}}), target)
            << source.toStdString();
    }
    EXPECT_EQ(chooseTarget(std::nullopt, {{ShaderStage::RayGeneration, "a.rgen", "#version 460"}}),
              Target::Vulkan);
    EXPECT_EQ(chooseTarget(Target::Gles, {{ShaderStage::Vertex, "a.vert", "#version 450"}}),
              Target::Gles);
}

// The validator sees what glslang lets through: here two push constants that overlap.
TEST_F(Programs, SpirvTheValidatorRejectsIsReportedAtTheStageFile) {
    ProgramRequest request;
    request.stages = {
        {ShaderStage::Fragment, path("overlap.frag"),
         "#version 450\n"
         "layout(push_constant) uniform P { layout(offset = 0) vec4 a; layout(offset = 4) float b; "
         "} "
         "pc;\nlayout(location = 0) out vec4 color;\nvoid main() { color = pc.a * pc.b; }\n"}};
    request.target = Target::Vulkan;
    request.vulkan = VulkanVersion::V1_0;
    const ProgramResult result = compile(request);
    ASSERT_EQ(result.messages.size(), 1) << shown(result).join('\n').toStdString();
    EXPECT_EQ(result.messages[0].origin, MessageOrigin::Validate);
    EXPECT_EQ(result.messages[0].location(), (SourceLocation{path("overlap.frag"), {}, {}}));
    EXPECT_TRUE(result.messages[0].text.contains("overlaps")) << shown(result)[0].toStdString();
}

TEST_F(Programs, VulkanMessagesCarryTheirLines) {
    ProgramRequest request;
    request.stages = {
        {ShaderStage::Vertex, path("v.vert"),
         "#version 450\nvoid main() {\n    gl_Position = vec4(gl_VertexIndex);\n"
         "    gl_Position.x += missing;\n}\n"},
        {ShaderStage::Fragment, path("v.frag"),
         "#version 450\nlayout(location = 0) out vec4 c;\nvoid main() { c = vec4(1); }\n"}};
    request.target = Target::Vulkan;
    const ProgramResult result = compile(request);
    ASSERT_FALSE(result.messages.isEmpty());
    EXPECT_EQ(shown(result).first(), "v.vert:4: 'missing' : undeclared identifier");
    EXPECT_EQ(result.messages.first().stage, ShaderStage::Vertex);
}

}  // namespace
