// SPDX-License-Identifier: MIT
#include "compile/single_compile.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace tessory {
namespace {

const char* sourceText(const QByteArray& source, GlInt& length) {
    length = GlInt(std::min<qsizetype>(source.size(), std::numeric_limits<GlInt>::max()));
    return source.constData();
}

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

}  // namespace

QByteArray compileAlone(const ArbApi& arb, const CoreShaderApi& core, ShaderStage stage,
                        const QByteArray& source) {
    GlInt length = 0;
    const char* text = sourceText(source, length);
    if (stage == ShaderStage::Vertex || stage == ShaderStage::Fragment) {
        const GlHandle shader = arb.createShaderObjectARB(stageGlType(stage));
        arb.shaderSourceARB(shader, 1, &text, &length);
        arb.compileShaderARB(shader);
        QByteArray log = readLog(
            [&](GlInt* n) { arb.getObjectParameterivARB(shader, kGlObjectInfoLogLengthArb, n); },
            [&](GlInt n, GlSizei* w, char* b) { arb.getInfoLogARB(shader, n, w, b); });
        arb.deleteObjectARB(shader);
        return log;
    }
    const GlUint shader = core.createShader(stageGlType(stage));
    core.shaderSource(shader, 1, &text, &length);
    core.compileShader(shader);
    QByteArray log =
        readLog([&](GlInt* n) { core.getShaderiv(shader, kGlInfoLogLength, n); },
                [&](GlInt n, GlSizei* w, char* b) { core.getShaderInfoLog(shader, n, w, b); });
    core.deleteShader(shader);
    return log;
}

}  // namespace tessory
