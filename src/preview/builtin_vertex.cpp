// SPDX-License-Identifier: MIT
#include "preview/builtin_vertex.h"

#include "compile/fullscreen_vertex.h"
#include "preview/render_api.h"

#include <algorithm>
#include <optional>

namespace tessory {
namespace {

constexpr GlSizei kMaxInputName = 1024;

// The inputs of a separable program of the fragment stage alone.
std::optional<QList<FragmentInput>> inputsOf(const CoreShaderApi& gl, GlUint program) {
    gl.programParameteri(program, GL_PROGRAM_SEPARABLE, GL_TRUE);
    gl.linkProgram(program);
    GlInt linked = GL_FALSE;
    gl.getProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        return std::nullopt;
    }
    GlInt count = 0;
    gl.getProgramInterfaceiv(program, GL_PROGRAM_INPUT, GL_ACTIVE_RESOURCES, &count);
    QList<FragmentInput> inputs;
    for (GlInt i = 0; i < count; ++i) {
        char name[kMaxInputName] = {};
        GlSizei length = 0;
        gl.getProgramResourceName(program, GL_PROGRAM_INPUT, GlUint(i), kMaxInputName, &length,
                                  name);
        const GlEnum properties[] = {GL_TYPE, GL_ARRAY_SIZE, GL_LOCATION};
        GlInt values[3] = {0, 1, -1};
        gl.getProgramResourceiv(program, GL_PROGRAM_INPUT, GlUint(i), 3, properties, 3, nullptr,
                                values);
        inputs.append({QByteArray(name, std::clamp<GlSizei>(length, 0, kMaxInputName - 1)),
                       GlEnum(values[0]), values[1], values[2]});
    }
    return inputs;
}

}  // namespace

QByteArray builtInVertexFor(const CoreShaderApi& gl, const QByteArray& fragment) {
    if (!gl.queriesInputs()) {
        return fullScreenVertexSource(fragment, {});
    }
    const GlUint shader = gl.createShader(GL_FRAGMENT_SHADER);
    const char* text = fragment.constData();
    const GlInt length = GlInt(fragment.size());
    gl.shaderSource(shader, 1, &text, &length);
    gl.compileShader(shader);
    const GlUint program = gl.createProgram();
    gl.attachShader(program, shader);
    gl.deleteShader(shader);
    const std::optional<QList<FragmentInput>> inputs = inputsOf(gl, program);
    gl.deleteProgram(program);
    return fullScreenVertexSource(fragment, inputs.value_or(QList<FragmentInput>()));
}

}  // namespace tessory
