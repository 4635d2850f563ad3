// SPDX-License-Identifier: MIT
#include "editor/glsl_completion.h"
#include "editor/glsl_context.h"
#include "glsl_test_support.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using namespace tessory::glsl;
using namespace tessory::glsl::testing;

namespace {

struct ContextCase {
    const char* source;
    Target target;
    Stage stage;
    int version;
    Profile profile;
};

class DetectContext : public ::testing::TestWithParam<ContextCase> {};

TEST_P(DetectContext, ReadsTheVersionLineWithTheFrontEndsRules) {
    const ContextCase& c = GetParam();
    const LanguageContext context = detectContext(QByteArrayView(c.source), c.target, c.stage);
    EXPECT_EQ(context.version, c.version) << c.source;
    EXPECT_EQ(context.profile, c.profile) << c.source;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DetectContext,
    ::testing::Values(
        ContextCase{"void main() {}", Target::GlCompatibility, Stage::Fragment, 110, Profile::None},
        ContextCase{"void main() {}", Target::Gles, Stage::Fragment, 100, Profile::Es},
        ContextCase{"// a comment first\n#version 300 es\n", Target::Gles, Stage::Vertex, 300,
                    Profile::Es},
        ContextCase{"#version 330\n", Target::GlCore, Stage::Fragment, 330, Profile::Core},
        ContextCase{"#version 150 compatibility\n", Target::GlCompatibility, Stage::Vertex, 150,
                    Profile::Compatibility},
        ContextCase{"#version 120\n", Target::GlCompatibility, Stage::Compute, 420, Profile::Core},
        ContextCase{"#version 333\n", Target::GlCore, Stage::Fragment, 450, Profile::Core}));

TEST(Completion, BuiltinsFollowTheVersionAndTheStage) {
    const QString body = QStringLiteral("\nvoid main() { t| }");
    const QStringList old =
        labels(completeAt(QStringLiteral("#version 120") + body, Stage::Fragment));
    const QStringList core =
        labels(completeAt(QStringLiteral("#version 330 core") + body, Stage::Fragment));
    EXPECT_TRUE(old.contains(u"texture2D"));
    EXPECT_FALSE(core.contains(u"texture2D"));
    EXPECT_TRUE(core.contains(u"texture"));
    EXPECT_FALSE(old.contains(u"texture"));  // from 1.30 on
    EXPECT_TRUE(core.contains(u"true"));     // a keyword of both
    EXPECT_TRUE(old.contains(u"true"));

    const QString glBody = QStringLiteral("#version 330 core\nvoid main() { gl_| }");
    const QStringList fragment = labels(completeAt(glBody, Stage::Fragment));
    const QStringList vertex = labels(completeAt(glBody, Stage::Vertex));
    EXPECT_TRUE(fragment.contains(u"gl_FragCoord"));
    EXPECT_FALSE(vertex.contains(u"gl_FragCoord"));
    EXPECT_TRUE(vertex.contains(u"gl_VertexID"));
    EXPECT_FALSE(fragment.contains(u"gl_VertexID"));
}

TEST(Completion, ACoreProfileLeavesOutTheCompatibilityProfilesNames) {
    const QString body = QStringLiteral("\nvoid main() { gl_FragC| }");
    const QStringList core =
        labels(completeAt(QStringLiteral("#version 330 core") + body, Stage::Fragment));
    const QStringList compatibility =
        labels(completeAt(QStringLiteral("#version 330 compatibility") + body, Stage::Fragment));
    EXPECT_TRUE(core.contains(u"gl_FragCoord") && compatibility.contains(u"gl_FragCoord"));
    EXPECT_FALSE(core.contains(u"gl_FragColor"));
    EXPECT_TRUE(compatibility.contains(u"gl_FragColor"));
    const Completion lights =
        completeAt(u"#version 120\nvoid main() { gl_MaxLi| }"_qs, Stage::Vertex);
    ASSERT_FALSE(lights.items.isEmpty());
    EXPECT_EQ(lights.items[0].label, u"gl_MaxLights");
    EXPECT_EQ(lights.items[0].kind, CompletionKind::Constant);
    // The front end's default limits give its value.
    EXPECT_TRUE(QRegularExpression(u"^const int = [1-9][0-9]*$"_qs)
                    .match(lights.items[0].detail)
                    .hasMatch())
        << lights.items[0].detail.toStdString();
}

TEST(Completion, BuiltinBlocksAndTheStagesOfVulkan) {
    const QStringList geometry = labels(completeAt(
        u"#version 330 core\nlayout(triangles) in;\nlayout(points, max_vertices = 1) out;\n"
        "void main() { gl_in[0].|"_qs,
        Stage::Geometry));
    EXPECT_TRUE(geometry.contains(u"gl_Position"));
    const Marked ray =
        marked(u"#version 460\n#extension GL_EXT_ray_tracing : require\nvoid main() { trace| }"_qs);
    auto raysIn = [&](Stage stage) {
        const Program p{parseDocument(detectContext(QStringView(ray.text), Target::Vulkan, stage),
                                      u"r"_qs, ray.text)};
        return labels(complete(p, 0, ray.text, ray.caret));
    };
    EXPECT_TRUE(raysIn(Stage::RayGen).contains(u"traceRayEXT"));
    EXPECT_FALSE(raysIn(Stage::Fragment).contains(u"traceRayEXT"));
}

TEST(Completion, KeywordsAndTypesAreTheScannersForTheVersion) {
    const QStringList es =
        labels(completeAt(u"#version 300 es\nvoid main() { |"_qs, Stage::Fragment));
    const QStringList desktop =
        labels(completeAt(u"#version 460\nvoid main() { |"_qs, Stage::Fragment));
    EXPECT_TRUE(es.contains(u"highp"));
    EXPECT_TRUE(desktop.contains(u"dvec3"));
    EXPECT_FALSE(es.contains(u"dvec3"));  // reserved in ES
    EXPECT_FALSE(es.contains(u"attribute"));
    EXPECT_TRUE(desktop.contains(u"sampler2DMSArray"));
}

TEST(Completion, ExtensionFunctionsNeedTheirExtension) {
    const QString plain = QStringLiteral("#version 100\nvoid main() { texture2DL| }");
    const QString enabled = QStringLiteral(
        "#version 100\n#extension GL_EXT_shader_texture_lod : enable\nvoid main() { "
        "texture2DL| }");
    EXPECT_FALSE(labels(completeAt(plain, Stage::Fragment)).contains(u"texture2DLodEXT"));
    EXPECT_TRUE(labels(completeAt(enabled, Stage::Fragment)).contains(u"texture2DLodEXT"));
}

TEST(Completion, PrefixMatchesComeFirstThenOtherCaseThenSubsequence) {
    const Completion c = completeAt(
        u"#version 330 core\nuniform float NormalScale;\nvoid main() {\n    vec3 normalDir;\n"
        "    float enormous;\n    norm|\n}"_qs,
        Stage::Fragment);
    const QStringList l = labels(c);
    EXPECT_EQ(c.prefix, u"norm");
    EXPECT_EQ(c.replaceFrom, (TextPosition{5, 4}));
    // The local before the builtin of the same match, the other letter case after both, and
    // the letters in order but not at the start last.
    ASSERT_TRUE(l.contains(u"normalDir") && l.contains(u"enormous"));
    EXPECT_LT(l.indexOf(u"normalDir"), l.indexOf(u"normalize"));
    EXPECT_LT(l.indexOf(u"normalize"), l.indexOf(u"NormalScale"));
    EXPECT_LT(l.indexOf(u"NormalScale"), l.indexOf(u"enormous"));
    EXPECT_FALSE(l.contains(u"inverse"));
    for (const CompletionItem& i : c.items) {
        if (i.label == u"normalize")
            EXPECT_EQ(i.kind, CompletionKind::Function);
        if (i.label == u"normalize")
            EXPECT_TRUE(i.detail.contains(u"normalize("));
        if (i.label == u"normalDir")
            EXPECT_EQ(i.kind, CompletionKind::Variable);
    }
}

TEST(Completion, LocalsOfOtherFunctionsAndOfClosedBlocksAreNotOffered) {
    const QStringList l =
        labels(completeAt(u"#version 330 core\n"
                          "float helper(float weight) { float inner; return weight; }\n"
                          "void main() {\n"
                          "    { float gone; }\n"
                          "    float here;\n"
                          "    |\n"
                          "}"_qs,
                          Stage::Fragment));
    EXPECT_TRUE(l.contains(u"here"));
    EXPECT_TRUE(l.contains(u"helper"));
    EXPECT_FALSE(l.contains(u"inner"));
    EXPECT_FALSE(l.contains(u"weight"));
    EXPECT_FALSE(l.contains(u"gone"));
}

TEST(Completion, MembersOfStructsAndBlocks) {
    const QString declarations = QStringLiteral(
        "#version 330 core\n"
        "struct Light { vec3 position; vec3 colour; float range; };\n"
        "uniform Light lights[4];\n"
        "uniform Camera { mat4 view; vec3 eye; } camera;\n"
        "layout(std140) uniform Frame { float time; vec2 resolution; };\n"
        "void main() {\n");
    const QStringList light =
        labels(completeAt(declarations + QStringLiteral("lights[1].|"), Stage::Fragment));
    EXPECT_EQ(light, (QStringList{u"range"_qs, u"colour"_qs, u"position"_qs}));
    const QStringList block =
        labels(completeAt(declarations + QStringLiteral("camera.vi|"), Stage::Fragment));
    EXPECT_EQ(block, QStringList{u"view"_qs});
    // The members of a block without an instance name are names of their own.
    EXPECT_TRUE(labels(completeAt(declarations + QStringLiteral("reso|"), Stage::Fragment))
                    .contains(u"resolution"));
    // An array has its length(), not the members of its elements.
    EXPECT_EQ(labels(completeAt(declarations + QStringLiteral("lights.|"), Stage::Fragment)),
              QStringList{u"length"_qs});
}

TEST(Completion, SwizzlesFollowTheVectorsSize) {
    const QString declarations = QStringLiteral(
        "#version 330 core\nstruct Light { vec3 position; };\nuniform Light light;\n"
        "void main() {\n vec2 uv; vec4 colour;\n");
    const QStringList two =
        labels(completeAt(declarations + QStringLiteral("uv.|"), Stage::Fragment));
    EXPECT_TRUE(two.contains(u"x") && two.contains(u"xy") && two.contains(u"t"));
    EXPECT_FALSE(two.contains(u"z") || two.contains(u"xyz") || two.contains(u"b"));
    const QStringList three =
        labels(completeAt(declarations + QStringLiteral("light.position.|"), Stage::Fragment));
    EXPECT_TRUE(three.contains(u"z") && three.contains(u"rgb"));
    EXPECT_FALSE(three.contains(u"w") || three.contains(u"rgba"));
    const Completion four =
        completeAt(declarations + QStringLiteral("colour.rgb|"), Stage::Fragment);
    ASSERT_EQ(four.items.size(), 2);
    EXPECT_EQ(four.items[0].label, u"rgb");
    EXPECT_EQ(four.items[0].kind, CompletionKind::Swizzle);
    EXPECT_EQ(four.items[0].detail, u"vec3");
    EXPECT_EQ(four.items[1].label, u"rgba");
    EXPECT_EQ(four.items[1].detail, u"vec4");
}

TEST(Completion, NothingInCommentsOrAfterAStrayDot) {
    EXPECT_TRUE(completeAt(u"#version 330 core\n// nor|"_qs, Stage::Fragment).items.isEmpty());
    EXPECT_TRUE(completeAt(u"#version 330 core\n/* nor|"_qs, Stage::Fragment).items.isEmpty());
    EXPECT_TRUE(completeAt(u"#version 330 core\nvoid main() { unknown.|"_qs, Stage::Fragment)
                    .items.isEmpty());
}

TEST(Completion, OtherDocumentsDeclarationsButNotTheirFunctions) {
    const QString vertex = QStringLiteral(
        "#version 330 core\nuniform mat4 modelViewProjection;\nout vec3 worldNormal;\n"
        "vec3 vertexOnly() { return vec3(0.0); }\nvoid main() {}\n");
    const Marked fragment = marked(u"#version 330 core\nvoid main() { |"_qs);
    const Program program{parse(vertex, Stage::Vertex, u"a.vert"_qs),
                          parse(fragment.text, Stage::Fragment, u"a.frag"_qs)};
    const QStringList l = labels(complete(program, 1, fragment.text, fragment.caret));
    EXPECT_TRUE(l.contains(u"modelViewProjection"));
    EXPECT_TRUE(l.contains(u"worldNormal"));
    EXPECT_FALSE(l.contains(u"vertexOnly"));
}

}  // namespace
