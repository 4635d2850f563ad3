// SPDX-License-Identifier: MIT
#include "preview/builtin_vertex.h"

#include "compile/fullscreen_vertex.h"
#include "compile/gl_program.h"
#include "preview/render_api.h"

#include <optional>

namespace tessory {

QByteArray builtInVertexFor(const CoreShaderApi& gl, const QByteArray& fragment) {
    if (!gl.queriesInputs()) {
        return fullScreenVertexSource(fragment, {});
    }
    const GlUint shader = gl.createShader(GL_FRAGMENT_SHADER);
    const char* text = fragment.constData();
    const GlInt length = GlInt(fragment.size());
    gl.shaderSource(shader, 1, &text, &length);
    gl.compileShader(shader);
    // The preview's own link says what is wrong with the shader: this log is not shown.
    QByteArray linkLog;
    const std::optional<QList<FragmentInput>> inputs = fragmentInputs(gl, shader, linkLog);
    gl.deleteShader(shader);
    return fullScreenVertexSource(fragment, inputs.value_or(QList<FragmentInput>()));
}

}  // namespace tessory
