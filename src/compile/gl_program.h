// SPDX-License-Identifier: MIT
#pragma once

#include "compile/fullscreen_vertex.h"
#include "compile/gl_context.h"
#include "compile/shader_stage.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace tessory {

// One stage's text as the driver is given it.
struct StageText {
    ShaderStage stage = ShaderStage::Vertex;
    QByteArray text;
};

// What the driver said about a program.
struct GlRun {
    QList<QByteArray> logs;  // one compile log per stage, in the order given
    QByteArray linkLog;
    // The vertex stage made for a fragment shader alone, and what the driver said about it
    // (nothing, unless the fragment shader's text defeats it).
    QByteArray builtInVertex;
    QByteArray builtInVertexLog;
};

// Compiles the stages on the current context, and links them when there are several. In the
// compatibility profile one stage, and a vertex and fragment pair, go through the entry points
// the editor uses (the ARB shader objects for those two stages); everything else, and everything
// in the core and ES profiles, through the core ones. The caller has checked that the context
// has every stage.
GlRun runGlProgram(const GlContext& context, const QList<StageText>& stages);

// A compiled fragment shader's inputs, read from a separable program of that stage alone (which
// needs the interface queries of OpenGL 4.3, ES 3.1); nothing when that program does not link,
// whose log then tells why.
std::optional<QList<FragmentInput>> fragmentInputs(const CoreShaderApi& gl, GlUint fragment,
                                                   QByteArray& linkLog);

// A fragment shader alone, linked with a vertex stage that writes every input it declares
// (fullScreenVertexSource); when it does not compile, only its compile log. Needs the core
// program entry points and their interface queries (OpenGL 4.3, ES 3.1).
GlRun runGlFragmentWithBuiltInVertex(const GlContext& context, const QByteArray& fragment);

}  // namespace tessory
