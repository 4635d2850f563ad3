// SPDX-License-Identifier: MIT
#include "compile/host_compile.h"

#include "compile/compile_and_link.h"
#include "compile/driver_host_protocol.h"
#include "compile/driver_host_server.h"

#include <QDataStream>
#include <QIODevice>

#include <memory>
#include <stdexcept>

namespace tessory {
namespace {

void checked(const QDataStream& in) {
    if (in.status() != QDataStream::Ok) {
        throw std::runtime_error("a compile request or answer the driver host cannot read");
    }
}

}  // namespace

QByteArray encodePairCompile(const PairCompileRequest& request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << request.vertex << request.fragment << request.fromFiles;
    return bytes;
}

PairCompileRequest decodePairCompileRequest(const QByteArray& payload) {
    PairCompileRequest request;
    QDataStream in(payload);
    in >> request.vertex >> request.fragment >> request.fromFiles;
    checked(in);
    return request;
}

QByteArray encodePairCompile(const PairCompileReply& reply) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << reply.vertexLog << reply.fragmentLog << reply.linkLog;
    return bytes;
}

PairCompileReply decodePairCompileReply(const QByteArray& payload) {
    PairCompileReply reply;
    QDataStream in(payload);
    in >> reply.vertexLog >> reply.fragmentLog >> reply.linkLog;
    checked(in);
    return reply;
}

void serveCompiles(DriverHostServer& server, const std::function<GlContextResult()>& makeContext) {
    GlContextResult made = makeContext();
    std::shared_ptr<GlContext> context(std::move(made.context));
    const QString failure = made.failure;
    if (!context) {
        server.setDriverTrouble(failure.toUtf8());
    }
    server.handle(HostKind::CompilePair, [context, failure](const QByteArray& payload) {
        if (!context || !context->makeCurrent()) {
            throw std::runtime_error(
                (context ? QStringLiteral("the OpenGL context cannot be made current") : failure)
                    .toStdString());
        }
        const PairCompileRequest request = decodePairCompileRequest(payload);
        const CompileResult run =
            request.fromFiles
                ? compileAndLinkFileTexts(context->arb(), request.vertex, request.fragment)
                : compileAndLink(context->arb(), request.vertex, request.fragment);
        return encodePairCompile(PairCompileReply{run.vertexLog, run.fragmentLog, run.linkLog});
    });
}

}  // namespace tessory
