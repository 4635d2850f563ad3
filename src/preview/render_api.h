// SPDX-License-Identifier: MIT
#pragma once

// Prototypes only, for decltype: nothing here calls a linked OpenGL function.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <QStringList>

namespace tessory {

// The OpenGL entry points the preview draws with, each looked up through EGL: the program links
// no OpenGL library, so that it starts where OpenGL cannot be used.
#define TESSORY_RENDER_FUNCTIONS(X) \
    X(glClear)                      \
    X(glClearColor)                 \
    X(glViewport)                   \
    X(glReadPixels)                 \
    X(glPixelStorei)                \
    X(glEnable)                     \
    X(glDisable)                    \
    X(glFinish)                     \
    X(glGetIntegerv)                \
    X(glMatrixMode)                 \
    X(glLoadMatrixf)                \
    X(glLoadIdentity)               \
    X(glLightfv)                    \
    X(glMaterialfv)                 \
    X(glMaterialf)                  \
    X(glEnableClientState)          \
    X(glDisableClientState)         \
    X(glVertexPointer)              \
    X(glNormalPointer)              \
    X(glColorPointer)               \
    X(glTexCoordPointer)            \
    X(glClientActiveTexture)        \
    X(glDrawElements)               \
    X(glGenTextures)                \
    X(glDeleteTextures)             \
    X(glBindTexture)                \
    X(glTexImage2D)                 \
    X(glTexParameteri)              \
    X(glActiveTexture)              \
    X(glGenFramebuffers)            \
    X(glDeleteFramebuffers)         \
    X(glBindFramebuffer)            \
    X(glFramebufferRenderbuffer)    \
    X(glCheckFramebufferStatus)     \
    X(glGenRenderbuffers)           \
    X(glDeleteRenderbuffers)        \
    X(glBindRenderbuffer)           \
    X(glRenderbufferStorage)        \
    X(glCreateShader)               \
    X(glDeleteShader)               \
    X(glShaderSource)               \
    X(glCompileShader)              \
    X(glGetShaderiv)                \
    X(glGetShaderInfoLog)           \
    X(glCreateProgram)              \
    X(glDeleteProgram)              \
    X(glAttachShader)               \
    X(glLinkProgram)                \
    X(glGetProgramiv)               \
    X(glGetProgramInfoLog)          \
    X(glUseProgram)                 \
    X(glGetActiveUniform)           \
    X(glGetUniformLocation)         \
    X(glGetUniformfv)               \
    X(glGetUniformiv)               \
    X(glUniform1fv)                 \
    X(glUniform2fv)                 \
    X(glUniform3fv)                 \
    X(glUniform4fv)                 \
    X(glUniform1i)                  \
    X(glUniformMatrix3fv)           \
    X(glUniformMatrix4fv)           \
    X(glGetAttribLocation)          \
    X(glVertexAttribPointer)        \
    X(glEnableVertexAttribArray)    \
    X(glDisableVertexAttribArray)

struct RenderApi {
#define TESSORY_DECLARE(name) decltype(&::name) name = nullptr;
    TESSORY_RENDER_FUNCTIONS(TESSORY_DECLARE)
#undef TESSORY_DECLARE
};

// Looks every entry point up on the current context; returns the names it could not find.
QStringList resolveRenderApi(RenderApi& gl);

}  // namespace tessory
