// SPDX-License-Identifier: MIT
#include "compile/gl_context.h"

#include "compile/shader_mod.h"
#include "driver.h"

#include <EGL/egl.h>
#include <GL/gl.h>

#include <QStringList>

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
        TShaderMod mod(third.context->arb(), "void main() { gl_Position = ftransform(); }\r\n",
                       "void main() { gl_FragColor = vec4(1.0); }\r\n", list);
    }
    EXPECT_EQ(list, (QStringList{"VertexShader: OK", "FragmentShader: OK"}));
    third.context.reset();
    EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
}

}  // namespace
