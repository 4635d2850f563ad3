// SPDX-License-Identifier: MIT
#include "compile/shader_mod.h"

#include "compile/info_log.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"
#include "workspace/shader_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace tessory {
namespace {

// Shader files reach the driver with CR LF line ends, whatever the file itself uses.
QByteArray readSource(const QString& path) {
    return withCrLfLineEnds(readShaderFile(path));
}

void giveSource(const ArbApi& gl, GlHandle shader, const QByteArray& source) {
    const char* text = source.constData();
    const GlInt length =
        GlInt(std::min<qsizetype>(source.size(), std::numeric_limits<GlInt>::max()));
    gl.shaderSourceARB(shader, 1, &text, &length);
}

}  // namespace

TShaderMod::TShaderMod(const ArbApi& gl, const QByteArray& vertexSource,
                       const QByteArray& fragmentSource, QStringList& errorList)
    : gl_(gl) {
    ProgramObject = CompileFromEditors(vertexSource, fragmentSource, errorList);
}

TShaderMod::TShaderMod(const ArbApi& gl, const QString& vertexPath, const QString& fragmentPath)
    : gl_(gl) {
    ProgramObject = CompileFromFiles(vertexPath, fragmentPath);
}

TShaderMod::~TShaderMod() {
    gl_.deleteObjectARB(ProgramObject);
}

TShaderMod::Objects TShaderMod::createObjects() const {
    const GlHandle program = gl_.createProgramObjectARB();
    const GlHandle fragment = gl_.createShaderObjectARB(kGlFragmentShaderArb);
    const GlHandle vertex = gl_.createShaderObjectARB(kGlVertexShaderArb);
    return {program, fragment, vertex};
}

void TShaderMod::compile(const Objects& objects, const QByteArray& vertexSource,
                         const QByteArray& fragmentSource) const {
    giveSource(gl_, objects.vertex, vertexSource);
    giveSource(gl_, objects.fragment, fragmentSource);
    gl_.compileShaderARB(objects.fragment);
    gl_.compileShaderARB(objects.vertex);
}

// The shaders are only flagged for deletion here; they go with the program.
void TShaderMod::attachAndLink(const Objects& objects) const {
    gl_.attachObjectARB(objects.program, objects.fragment);
    gl_.attachObjectARB(objects.program, objects.vertex);
    gl_.deleteObjectARB(objects.fragment);
    gl_.deleteObjectARB(objects.vertex);
    gl_.linkProgramARB(objects.program);
}

void TShaderMod::GetInfoLog(GlHandle object, QByteArray& text) const {
    GlInt n = 0;
    gl_.getObjectParameterivARB(object, kGlObjectInfoLogLengthArb, &n);
    if (n < 2) {
        return;
    }
    const auto buffer = std::make_unique<char[]>(std::size_t(n));
    GlSizei written = 0;
    gl_.getInfoLogARB(object, n, &written, buffer.get());
    text = QByteArray(buffer.get(), qsizetype(strnlen(buffer.get(), std::size_t(n))));
}

GlHandle TShaderMod::CompileFromEditors(const QByteArray& vertexSource,
                                        const QByteArray& fragmentSource, QStringList& errorList) {
    const Objects objects = createObjects();
    compile(objects, vertexSource, fragmentSource);
    GetInfoLog(objects.vertex, vertexLog_);
    GetInfoLog(objects.fragment, fragmentLog_);
    attachAndLink(objects);
    if (vertexLog_.isEmpty() && fragmentLog_.isEmpty()) {
        GetInfoLog(objects.program, linkLog_);
    }
    const ErrorListReport report = composeErrorList(vertexLog_, fragmentLog_, linkLog_);
    HasLog = report.hasLog;
    errorList.clear();
    errorList.reserve(report.entries.size());
    for (const QByteArray& entry : report.entries) {
        errorList.append(fromWin1252(entry));
    }
    return objects.program;
}

GlHandle TShaderMod::CompileFromFiles(const QString& vertexPath, const QString& fragmentPath) {
    const Objects objects = createObjects();
    try {
        fragmentSource_ = readSource(fragmentPath);
        vertexSource_ = readSource(vertexPath);
    } catch (...) {
        gl_.deleteObjectARB(objects.vertex);
        gl_.deleteObjectARB(objects.fragment);
        gl_.deleteObjectARB(objects.program);
        throw;
    }
    compile(objects, vertexSource_, fragmentSource_);
    GetInfoLog(objects.vertex, vertexLog_);
    HasLog = !vertexLog_.isEmpty();
    GetInfoLog(objects.fragment, fragmentLog_);
    HasLog = HasLog || !fragmentLog_.isEmpty();
    attachAndLink(objects);
    GetInfoLog(objects.program, linkLog_);
    HasLog = HasLog || !linkLog_.isEmpty();
    return objects.program;
}

}  // namespace tessory
