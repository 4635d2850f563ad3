// SPDX-License-Identifier: MIT
#include "compile/compile_and_link.h"

#include "texts/text_lines.h"
#include "workspace/shader_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

namespace tessory {
namespace {

struct Shaders {
    GlHandle fragment;
    GlHandle vertex;
};

// The program first, then the fragment and the vertex shader: drivers number them in that order.
std::pair<ProgramObject, Shaders> createObjects(const ArbApi& gl) {
    ProgramObject program(gl, gl.createProgramObjectARB());
    const GlHandle fragment = gl.createShaderObjectARB(kGlFragmentShaderArb);
    const GlHandle vertex = gl.createShaderObjectARB(kGlVertexShaderArb);
    return {std::move(program), Shaders{fragment, vertex}};
}

void giveSource(const ArbApi& gl, GlHandle shader, const QByteArray& source) {
    const char* text = source.constData();
    const GlInt length =
        GlInt(std::min<qsizetype>(source.size(), std::numeric_limits<GlInt>::max()));
    gl.shaderSourceARB(shader, 1, &text, &length);
}

// Empty when the driver reports a log length below 2.
QByteArray infoLog(const ArbApi& gl, GlHandle object) {
    GlInt n = 0;
    gl.getObjectParameterivARB(object, kGlObjectInfoLogLengthArb, &n);
    if (n < 2) {
        return {};
    }
    const auto buffer = std::make_unique<char[]>(std::size_t(n));
    GlSizei written = 0;
    gl.getInfoLogARB(object, n, &written, buffer.get());
    return QByteArray(buffer.get(), qsizetype(strnlen(buffer.get(), std::size_t(n))));
}

// Compiles, reads both compile logs and links. The shaders are only flagged for deletion here;
// they go with the program.
void compileAndAttach(const ArbApi& gl, GlHandle program, const Shaders& shaders,
                      CompileResult& result) {
    giveSource(gl, shaders.vertex, result.vertexSource);
    giveSource(gl, shaders.fragment, result.fragmentSource);
    gl.compileShaderARB(shaders.fragment);
    gl.compileShaderARB(shaders.vertex);
    result.vertexLog = infoLog(gl, shaders.vertex);
    result.fragmentLog = infoLog(gl, shaders.fragment);
    gl.attachObjectARB(program, shaders.fragment);
    gl.attachObjectARB(program, shaders.vertex);
    gl.deleteObjectARB(shaders.fragment);
    gl.deleteObjectARB(shaders.vertex);
    gl.linkProgramARB(program);
}

}  // namespace

ProgramObject::~ProgramObject() {
    release();
}

ProgramObject::ProgramObject(ProgramObject&& other) noexcept
    : gl_(std::exchange(other.gl_, nullptr)), handle_(std::exchange(other.handle_, 0)) {}

ProgramObject& ProgramObject::operator=(ProgramObject&& other) noexcept {
    if (this != &other) {
        release();
        gl_ = std::exchange(other.gl_, nullptr);
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

void ProgramObject::release() {
    if (gl_ != nullptr) {
        gl_->deleteObjectARB(handle_);
        gl_ = nullptr;
        handle_ = 0;
    }
}

CompileResult compileAndLink(const ArbApi& gl, const QByteArray& vertexSource,
                             const QByteArray& fragmentSource) {
    CompileResult result;
    auto [program, shaders] = createObjects(gl);
    result.vertexSource = vertexSource;
    result.fragmentSource = fragmentSource;
    compileAndAttach(gl, program.handle(), shaders, result);
    if (result.vertexLog.isEmpty() && result.fragmentLog.isEmpty()) {
        result.linkLog = infoLog(gl, program.handle());
    }
    result.program = std::move(program);
    return result;
}

CompileResult compileAndLinkFiles(const ArbApi& gl, const QString& vertexPath,
                                  const QString& fragmentPath) {
    const QByteArray fragmentBytes = readShaderFile(fragmentPath);
    return compileAndLinkFileTexts(gl, readShaderFile(vertexPath), fragmentBytes);
}

CompileResult compileAndLinkFileTexts(const ArbApi& gl, QByteArrayView vertexBytes,
                                      QByteArrayView fragmentBytes) {
    QByteArray fragment = withCrLfLineEnds(fragmentBytes);
    return compileAndLinkTexts(gl, withCrLfLineEnds(vertexBytes), std::move(fragment));
}

CompileResult compileAndLinkTexts(const ArbApi& gl, QByteArray vertexSource,
                                  QByteArray fragmentSource) {
    CompileResult result;
    result.fragmentSource = std::move(fragmentSource);
    result.vertexSource = std::move(vertexSource);
    auto [program, shaders] = createObjects(gl);
    compileAndAttach(gl, program.handle(), shaders, result);
    result.linkLog = infoLog(gl, program.handle());
    result.program = std::move(program);
    return result;
}

}  // namespace tessory
