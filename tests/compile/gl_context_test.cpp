// SPDX-License-Identifier: MIT
#include "compile/gl_context.h"

#include "compile/single_compile.h"
#include "driver.h"
#include "run_support.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#include <QStringList>

#include <thread>

using namespace tessory;
using tessory::testing::RealDriver;

namespace {

using GlContextTest = RealDriver;

TEST_F(GlContextTest, IsADesktopCompatibilityContext) {
    EXPECT_FALSE(context().renderer().isEmpty());
    EXPECT_TRUE(context().version().contains(QStringLiteral("Compatibility Profile")))
        << context().version().toStdString();
    EXPECT_TRUE((QStringList{"device", "surfaceless", "default"}).contains(context().platform()));
    EXPECT_NE(eglGetCurrentContext(), EGL_NO_CONTEXT);
    EXPECT_EQ(eglGetCurrentSurface(EGL_DRAW), EGL_NO_SURFACE);
}

// Mesa's llvmpipe offers OpenGL 4.5: every stage, the last four through the core entry points.
TEST_F(GlContextTest, CompilesEveryStageOnItsOwn) {
    // "@" stands for the undeclared v, or for 1.0 in the clean source.
    const std::pair<ShaderStage, QByteArray> cases[] = {
        {ShaderStage::Vertex, "void main() { gl_Position = vec4(@); }"},
        {ShaderStage::Fragment, "void main() { gl_FragColor = vec4(@); }"},
        {ShaderStage::Geometry,
         "#version 150\nlayout(points) in;\nlayout(points, max_vertices = "
         "1) out;\nvoid main() { gl_Position = vec4(@); }"},
        {ShaderStage::TessControl,
         "#version 400\nlayout(vertices = 1) out;\nvoid main() { gl_TessLevelOuter[0] = @; }"},
        {ShaderStage::TessEvaluation,
         "#version 400\nlayout(triangles) in;\nvoid main() { gl_Position = vec4(@); }"},
        {ShaderStage::Compute,
         "#version 430\nlayout(local_size_x = 1) in;\nvoid main() { float f = @; }"},
    };
    for (const auto& [stage, source] : cases) {
        SCOPED_TRACE(stageName(stage).toStdString());
        ASSERT_TRUE(context().supportsStage(stage));
        EXPECT_TRUE(compileAlone(context().arb(), context().core(), stage,
                                 QByteArray(source).replace("@", "v"))
                        .contains("error: `v' undeclared"));
        EXPECT_EQ(compileAlone(context().arb(), context().core(), stage,
                               QByteArray(source).replace("@", "1.0")),
                  QByteArray());
    }
}

// The checker's threads each take a context of their own that another thread made.
TEST_F(GlContextTest, ContextMovesToAnotherThread) {
    GlContextResult second = GlContext::create();
    ASSERT_NE(second.context, nullptr) << second.failure.toStdString();
    second.context->releaseCurrent();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
    QByteArray log;
    std::thread worker([&] {
        if (second.context->makeCurrent()) {
            log = compileAlone(second.context->arb(), second.context->core(), ShaderStage::Compute,
                               "#version 430\nvoid main() { w; }");
            second.context->releaseCurrent();
        }
        GlContext::leaveThread();
    });
    worker.join();
    EXPECT_TRUE(log.contains("`w' undeclared")) << log.constData();
}

// Each checker thread past the first makes its own context while the first compiles.
TEST_F(GlContextTest, SiblingMadeOnAnotherThreadCompilesLikeTheFirst) {
    const EGLContext mine = eglGetCurrentContext();
    QByteArray log;
    bool sameDriver = false;
    bool sameStages = true;
    bool culls = false;
    std::thread worker([&] {
        const std::unique_ptr<GlContext> sibling = context().sibling();
        if (!sibling) {
            GlContext::leaveThread();
            return;
        }
        sameDriver = sibling->renderer() == context().renderer() &&
                     sibling->version() == context().version() &&
                     sibling->platform() == context().platform();
        for (const ShaderStage stage : kAllStages) {
            sameStages =
                sameStages && sibling->supportsStage(stage) == context().supportsStage(stage);
        }
        const auto isEnabled =
            reinterpret_cast<GLboolean (*)(GLenum)>(eglGetProcAddress("glIsEnabled"));
        culls = isEnabled != nullptr && isEnabled(GL_CULL_FACE);
        log = compileAlone(sibling->arb(), sibling->core(), ShaderStage::TessEvaluation,
                           "#version 400\nlayout(triangles) in;\nvoid main() { u; }");
        sibling->releaseCurrent();
        GlContext::leaveThread();
    });
    worker.join();
    EXPECT_TRUE(log.contains("`u' undeclared")) << log.constData();
    EXPECT_TRUE(sameDriver);
    EXPECT_TRUE(sameStages);
    EXPECT_TRUE(culls);
    EXPECT_EQ(eglGetCurrentContext(), mine);
    EXPECT_EQ(compileAlone(gl(), context().core(), ShaderStage::Vertex,
                           "void main() { gl_Position = vec4(1.0); }"),
              QByteArray());
}

// The targets' other contexts come from the same display, current where they are made, and
// take turns with the compatibility context on one thread.
TEST_F(GlContextTest, CoreAndEsContextsOnTheSameDisplay) {
    const int initialised = GlContext::displayInitialisations();
    const auto compiles = [](const GlContext& made, const char* source) {
        const CoreShaderApi& gl = made.core();
        const GlUint shader = gl.createShader(stageGlType(ShaderStage::Vertex));
        gl.shaderSource(shader, 1, &source, nullptr);
        gl.compileShader(shader);
        GlInt length = 0;
        gl.getShaderiv(shader, kGlInfoLogLength, &length);
        gl.deleteShader(shader);
        return length < 2;
    };
    const GlContextResult core = context().otherProfile(GlProfile::Core);
    ASSERT_NE(core.context, nullptr) << core.failure.toStdString();
    EXPECT_EQ(core.context->profile(), GlProfile::Core);
    EXPECT_TRUE(core.context->version().contains("Core Profile"))
        << core.context->version().toStdString();
    EXPECT_TRUE(
        compiles(*core.context, "#version 450 core\nvoid main() { gl_Position = vec4(1); }"));
    EXPECT_FALSE(compiles(
        *core.context, "#version 150 compatibility\nvoid main() { gl_Position = ftransform(); }"));

    const GlContextResult es = context().otherProfile(GlProfile::Es);
    ASSERT_NE(es.context, nullptr) << es.failure.toStdString();
    EXPECT_TRUE(es.context->version().startsWith("OpenGL ES 3.2"))
        << es.context->version().toStdString();
    for (const ShaderStage stage : {ShaderStage::Geometry, ShaderStage::TessControl,
                                    ShaderStage::TessEvaluation, ShaderStage::Compute}) {
        EXPECT_TRUE(es.context->supportsStage(stage)) << stageName(stage).toStdString();
    }
    EXPECT_FALSE(es.context->supportsStage(ShaderStage::RayGeneration));
    EXPECT_TRUE(compiles(*es.context, "#version 320 es\nvoid main() { gl_Position = vec4(1); }"));
    EXPECT_FALSE(compiles(*es.context, "#version 450\nvoid main() { gl_Position = vec4(1); }"));

    ASSERT_TRUE(core.context->makeCurrent());
    EXPECT_TRUE(compiles(*core.context, "#version 450\nvoid main() { gl_Position = vec4(1); }"));
    ASSERT_TRUE(context().makeCurrent());
    EXPECT_EQ(compileAlone(gl(), context().core(), ShaderStage::Vertex,
                           "void main() { gl_Position = ftransform(); }"),
              QByteArray());
    EXPECT_EQ(GlContext::displayInitialisations(), initialised);
}

TEST_F(GlContextTest, SetsTheFixedState) {
    const auto isEnabled =
        reinterpret_cast<GLboolean (*)(GLenum)>(eglGetProcAddress("glIsEnabled"));
    const auto getInteger =
        reinterpret_cast<void (*)(GLenum, GLint*)>(eglGetProcAddress("glGetIntegerv"));
    ASSERT_TRUE(isEnabled && getInteger);
    EXPECT_TRUE(isEnabled(GL_CULL_FACE));
    EXPECT_TRUE(isEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(isEnabled(GL_NORMALIZE));
    GLint value = 0;
    getInteger(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    getInteger(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    getInteger(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
}

TEST_F(GlContextTest, ContextsOnOneDisplayOutliveEachOther) {
    GlContextResult second = GlContext::create();
    ASSERT_NE(second.context, nullptr) << second.failure.toStdString();
    GlContextResult third = GlContext::create();
    ASSERT_NE(third.context, nullptr) << third.failure.toStdString();
    // Releasing a context that is not current must leave the current one alone.
    second.context.reset();
    EXPECT_NE(eglGetCurrentContext(), EGL_NO_CONTEXT);
    QStringList list;
    {
        const CompileResult run =
            compileAndLink(third.context->arb(), "void main() { gl_Position = ftransform(); }\r\n",
                           "void main() { gl_FragColor = vec4(1.0); }\r\n");
        list = tessory::testing::shownEntries(run);
    }
    EXPECT_EQ(list, (QStringList{"VertexShader: OK", "FragmentShader: OK"}));
    third.context.reset();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
}

}  // namespace
