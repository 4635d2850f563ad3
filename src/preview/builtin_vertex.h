// SPDX-License-Identifier: MIT
#pragma once

#include "compile/core_api.h"

#include <QByteArray>

namespace tessory {

// The vertex stage a fragment shader alone is drawn with: the compile engine's full-screen
// triangle, writing every input the driver finds in the fragment shader. Without the interface
// queries (before OpenGL 4.3), or when the fragment shader does not link alone, it writes none:
// a shader that reads no inputs still draws, and the preview's own link names what is missing.
QByteArray builtInVertexFor(const CoreShaderApi& gl, const QByteArray& fragment);

}  // namespace tessory
