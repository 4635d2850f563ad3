// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

#include <QByteArray>
#include <QList>

namespace tessory {

// One input of a fragment shader as the driver lists it: "uv", "weights[0]" (with its array
// size), or "VS_OUT.normal" for a member of an input block.
struct FragmentInput {
    QByteArray name;
    GlEnum type = 0;  // GL_FLOAT_VEC2 and the like
    GlInt arraySize = 1;
    GlInt location = -1;  // -1 without an explicit location
};

// The vertex stage that fragment-only shaders are drawn with: a triangle that covers the screen,
// from gl_VertexID (GLSL 1.30 and ES 3.00 on) or from one attribute, in the fragment shader's
// GLSL version, writing zero to every input the fragment shader declares, with the same
// interpolation, location and, for blocks, the same members as there (copied from its text).
// Inputs the text does not let it declare (of a struct type, of a type it does not know) are left
// out, and the link says so.
QByteArray fullScreenVertexSource(const QByteArray& fragmentText,
                                  const QList<FragmentInput>& inputs);

}  // namespace tessory
