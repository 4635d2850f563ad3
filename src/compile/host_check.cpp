// SPDX-License-Identifier: MIT
#include "compile/host_check.h"

#include "compile/driver_host_protocol.h"
#include "compile/driver_host_server.h"
#include "compile/gl_contexts.h"

#include <memory>
#include <stdexcept>

namespace tessory {
namespace {

QString stagePath(const QString& path, const char* stage) {
    return path.isEmpty() ? QString::fromLatin1(stage) : path;
}

// The place in one of the two files where the message belongs: its own, or the outermost
// #include line in a pane's file that brought its file in.
std::optional<std::pair<PairSide, SourceLocation>> placeOf(const ShaderMessage& message,
                                                           const QString& vertexPath,
                                                           const QString& fragmentPath) {
    const auto sideOf = [&](const QString& path) -> std::optional<PairSide> {
        if (path == vertexPath && message.stage != ShaderStage::Fragment) {
            return PairSide::Vertex;
        }
        if (path == fragmentPath) {
            return PairSide::Fragment;
        }
        return std::nullopt;
    };
    if (const std::optional<PairSide> side = sideOf(message.path)) {
        return std::pair{*side, message.location()};
    }
    for (auto at = message.includedFrom.crbegin(); at != message.includedFrom.crend(); ++at) {
        if (const std::optional<PairSide> side = sideOf(at->path)) {
            return std::pair{*side, *at};
        }
    }
    return std::nullopt;
}

}  // namespace

LiveCheckReply checkPair(const LiveCheckRequest& request, const IncludeResolver& includes,
                         GlContextSource& contexts) {
    const QString vertexPath = stagePath(request.vertexPath, "VertexShader");
    const QString fragmentPath = stagePath(request.fragmentPath, "FragmentShader");
    ProgramRequest program;
    program.stages = {{ShaderStage::Vertex, vertexPath, request.vertex},
                      {ShaderStage::Fragment, fragmentPath, request.fragment}};
    const ProgramResult result = CompileEngine(includes).compile(program, contexts);
    LiveCheckReply reply;
    reply.target = result.target;
    QStringList lines;
    for (const ShaderMessage& message : result.messages) {
        LiveMark mark;
        mark.severity = message.severity;
        mark.text = message.text;
        const auto place = placeOf(message, vertexPath, fragmentPath);
        if (place) {
            mark.side = place->first;
            mark.line = place->second.line ? int(qMax<qint64>(*place->second.line, 1) - 1) : -1;
            mark.column = place->second.column ? int(*place->second.column - 1) : -1;
        } else {
            mark.side =
                message.stage == ShaderStage::Fragment ? PairSide::Fragment : PairSide::Vertex;
        }
        reply.marks.append(mark);
        const QString stage = mark.side == PairSide::Vertex ? QStringLiteral("VertexShader")
                                                            : QStringLiteral("FragmentShader");
        lines << (mark.line >= 0 ? QStringLiteral("%1 (%2): ").arg(stage).arg(mark.line + 1)
                                 : stage + QStringLiteral(": ")) +
                     message.text;
    }
    reply.summary = lines.join(u'\n');
    return reply;
}

void serveChecks(DriverHostServer& server, std::function<GlContextResult()> makeContext) {
    struct State {
        GlContextResult base;
        bool tried = false;
        std::unique_ptr<ThreadContexts> contexts;
        FileIncludeResolver includes;
    };
    auto state = std::make_shared<State>();
    server.handle(HostKind::CheckProgram, [state, makeContext](const QByteArray& payload) {
        if (!state->tried) {
            state->tried = true;
            state->base = makeContext();
            if (state->base.context) {
                state->contexts = std::make_unique<ThreadContexts>(state->base.context.get());
            }
        }
        if (!state->contexts) {
            throw std::runtime_error(state->base.failure.toStdString());
        }
        const LiveCheckReply reply =
            checkPair(decodeLiveCheckRequest(payload), state->includes, *state->contexts);
        state->contexts->release();
        return encodeLiveCheck(reply);
    });
}

}  // namespace tessory
