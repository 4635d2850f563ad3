// SPDX-License-Identifier: MIT
#include "compile/gl_program.h"

#include "compile/compile_and_link.h"
#include "compile/fullscreen_vertex.h"
#include "compile/single_compile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

namespace tessory {
namespace {

constexpr GlEnum kCompileStatus = 0x8B81;
constexpr GlEnum kLinkStatus = 0x8B82;
constexpr GlEnum kProgramSeparable = 0x8258;
constexpr GlEnum kProgramInput = 0x92E3;
constexpr GlEnum kActiveResources = 0x92F5;
constexpr GlEnum kTypeProperty = 0x92FA;
constexpr GlEnum kArraySizeProperty = 0x92FB;
constexpr GlEnum kLocationProperty = 0x930E;
constexpr GlSizei kMaxInputName = 1024;

template <typename GetLength, typename GetLog>
QByteArray readLog(GetLength getLength, GetLog getLog) {
    GlInt n = 0;
    getLength(&n);
    if (n < 2) {
        return {};
    }
    const auto buffer = std::make_unique<char[]>(std::size_t(n));
    GlSizei written = 0;
    getLog(n, &written, buffer.get());
    return QByteArray(buffer.get(), qsizetype(strnlen(buffer.get(), std::size_t(n))));
}

QByteArray shaderLog(const CoreShaderApi& gl, GlUint shader) {
    return readLog([&](GlInt* n) { gl.getShaderiv(shader, kGlInfoLogLength, n); },
                   [&](GlInt n, GlSizei* w, char* b) { gl.getShaderInfoLog(shader, n, w, b); });
}

QByteArray programLog(const CoreShaderApi& gl, GlUint program) {
    return readLog([&](GlInt* n) { gl.getProgramiv(program, kGlInfoLogLength, n); },
                   [&](GlInt n, GlSizei* w, char* b) { gl.getProgramInfoLog(program, n, w, b); });
}

GlUint compiledShader(const CoreShaderApi& gl, ShaderStage stage, const QByteArray& text,
                      QByteArray& log) {
    const GlUint shader = gl.createShader(stageGlType(stage));
    const char* source = text.constData();
    const GlInt length = GlInt(std::min<qsizetype>(text.size(), std::numeric_limits<GlInt>::max()));
    gl.shaderSource(shader, 1, &source, &length);
    gl.compileShader(shader);
    log = shaderLog(gl, shader);
    return shader;
}

// Every stage through the core entry points; the shaders go with the program.
GlRun runCore(const CoreShaderApi& gl, const QList<StageText>& stages) {
    GlRun run;
    const GlUint program = gl.createProgram();
    for (const StageText& stage : stages) {
        QByteArray log;
        const GlUint shader = compiledShader(gl, stage.stage, stage.text, log);
        run.logs.append(log);
        gl.attachShader(program, shader);
        gl.deleteShader(shader);
    }
    gl.linkProgram(program);
    run.linkLog = programLog(gl, program);
    gl.deleteProgram(program);
    return run;
}

}  // namespace

std::optional<QList<FragmentInput>> fragmentInputs(const CoreShaderApi& gl, GlUint fragment,
                                                   QByteArray& linkLog) {
    const GlUint program = gl.createProgram();
    gl.programParameteri(program, kProgramSeparable, 1);
    gl.attachShader(program, fragment);
    gl.linkProgram(program);
    linkLog = programLog(gl, program);
    GlInt linked = 0;
    gl.getProgramiv(program, kLinkStatus, &linked);
    if (linked == 0) {
        gl.deleteProgram(program);
        return std::nullopt;
    }
    GlInt count = 0;
    gl.getProgramInterfaceiv(program, kProgramInput, kActiveResources, &count);
    QList<FragmentInput> inputs;
    for (GlInt i = 0; i < count; ++i) {
        char name[kMaxInputName] = {};
        GlSizei length = 0;
        gl.getProgramResourceName(program, kProgramInput, GlUint(i), kMaxInputName, &length, name);
        const GlEnum properties[] = {kTypeProperty, kArraySizeProperty, kLocationProperty};
        GlInt values[3] = {0, 1, -1};
        gl.getProgramResourceiv(program, kProgramInput, GlUint(i), 3, properties, 3, nullptr,
                                values);
        inputs.append({QByteArray(name, std::clamp<GlSizei>(length, 0, kMaxInputName - 1)),
                       GlEnum(values[0]), values[1], values[2]});
    }
    gl.deleteProgram(program);
    return inputs;
}

GlRun runGlProgram(const GlContext& context, const QList<StageText>& stages) {
    const bool compatibility = context.profile() == GlProfile::Compatibility;
    if (compatibility && stages.size() == 1) {
        GlRun run;
        run.logs.append(
            compileAlone(context.arb(), context.core(), stages[0].stage, stages[0].text));
        return run;
    }
    if (compatibility && stages.size() == 2 && stages[0].stage == ShaderStage::Vertex &&
        stages[1].stage == ShaderStage::Fragment) {
        const CompileResult pair =
            compileAndLinkTexts(context.arb(), stages[0].text, stages[1].text);
        return GlRun{{pair.vertexLog, pair.fragmentLog}, pair.linkLog, {}, {}};
    }
    if (stages.size() == 1) {
        GlRun run;
        QByteArray log;
        context.core().deleteShader(
            compiledShader(context.core(), stages[0].stage, stages[0].text, log));
        run.logs.append(log);
        return run;
    }
    return runCore(context.core(), stages);
}

GlRun runGlFragmentWithBuiltInVertex(const GlContext& context, const QByteArray& fragment) {
    const CoreShaderApi& gl = context.core();
    GlRun run;
    QByteArray log;
    const GlUint shader = compiledShader(gl, ShaderStage::Fragment, fragment, log);
    run.logs.append(log);
    GlInt compiled = 0;
    gl.getShaderiv(shader, kCompileStatus, &compiled);
    if (compiled == 0) {
        gl.deleteShader(shader);
        return run;
    }
    const std::optional<QList<FragmentInput>> inputs = fragmentInputs(gl, shader, run.linkLog);
    if (!inputs) {
        gl.deleteShader(shader);
        return run;
    }
    run.builtInVertex = fullScreenVertexSource(fragment, *inputs);
    const GlUint vertex =
        compiledShader(gl, ShaderStage::Vertex, run.builtInVertex, run.builtInVertexLog);
    const GlUint program = gl.createProgram();
    gl.attachShader(program, vertex);
    gl.attachShader(program, shader);
    gl.deleteShader(vertex);
    gl.deleteShader(shader);
    gl.linkProgram(program);
    run.linkLog = programLog(gl, program);
    gl.deleteProgram(program);
    return run;
}

}  // namespace tessory
