// SPDX-License-Identifier: MIT
#include "compile/host_check.h"

#include "compile/driver_host_protocol.h"
#include "compile/driver_host_server.h"
#include "compile/gl_contexts.h"
#include "workspace/file_io.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace tessory {
namespace {

// The place in one of the panes' files where the message belongs: its own, or the outermost
// #include line in a pane's file that brought its file in.
std::optional<std::pair<PairSide, SourceLocation>> placeOf(const ShaderMessage& message,
                                                           const QList<LiveStage>& stages) {
    const auto sideOf = [&](const QString& path) -> std::optional<PairSide> {
        // A file two stages share goes to the stage that said it.
        std::optional<PairSide> found;
        for (const LiveStage& stage : stages) {
            if (stage.path == path && (!found || message.stage == sideStage(stage.side))) {
                found = stage.side;
            }
        }
        return found;
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

// The files the editor has open answer for themselves; every other file is read from disk.
class OpenFilesResolver : public IncludeResolver {
public:
    OpenFilesResolver(const QList<LiveStage>& files, const IncludeResolver& disk) : disk_(disk) {
        for (const LiveStage& file : files) {
            open_.insert(absoluteCleanPath(file.path), file.bytes);
        }
    }

    IncludeText read(const QString& path) const override {
        const auto found = open_.constFind(absoluteCleanPath(path));
        if (found == open_.cend()) {
            return disk_.read(path);
        }
        return {IncludeText::Status::Found, *found, {}};
    }

private:
    const IncludeResolver& disk_;
    QHash<QString, QByteArray> open_;
};

// The open file's pane, for a message about a file the editor has open beside the stages.
std::optional<PairSide> openFileSide(const ShaderMessage& message, const QList<LiveStage>& files) {
    for (const LiveStage& file : files) {
        if (!message.path.isEmpty() &&
            absoluteCleanPath(file.path) == absoluteCleanPath(message.path)) {
            return file.side;
        }
    }
    return std::nullopt;
}

}  // namespace

QList<StageSource> engineStages(const QList<LiveStage>& stages) {
    QList<StageSource> sources;
    for (const LiveStage& stage : stages) {
        sources.append({sideStage(stage.side), stage.path, stage.bytes});
    }
    return sources;
}

LiveCheckReply checkProgram(const LiveCheckRequest& request, const IncludeResolver& includes,
                            GlContextSource& contexts) {
    QList<LiveStage> stages = request.stages;
    ProgramRequest program;
    for (LiveStage& stage : stages) {
        if (stage.path.isEmpty()) {
            stage.path = sideName(stage.side);
        }
    }
    program.stages = engineStages(stages);
    // The vertex stage before the fragment stage, the others in the order of their stages.
    std::stable_sort(program.stages.begin(), program.stages.end(),
                     [](const StageSource& a, const StageSource& b) { return a.stage < b.stage; });
    program.target = request.target;
    program.vulkan = request.vulkan;
    program.expand = request.expand;
    program.builtInVertex = stages.size() == 1 && stages.first().side == PairSide::Fragment;
    const OpenFilesResolver withOpenFiles(request.openFiles, includes);
    const ProgramResult result = CompileEngine(withOpenFiles).compile(program, contexts);
    LiveCheckReply reply;
    reply.target = result.target;
    const PairSide first = stages.isEmpty() ? PairSide::Vertex : stages.first().side;
    QStringList lines;
    for (const ShaderMessage& message : result.messages) {
        LiveMark mark;
        mark.severity = message.severity;
        mark.text = message.text;
        const auto place = placeOf(message, stages);
        if (place) {
            mark.side = place->first;
            mark.line = place->second.line ? int(qMax<qint64>(*place->second.line, 1) - 1) : -1;
            mark.column = place->second.column ? int(*place->second.column - 1) : -1;
        } else {
            mark.side = first;
            for (const LiveStage& stage : stages) {
                if (message.stage == sideStage(stage.side)) {
                    mark.side = stage.side;
                }
            }
        }
        // The error list goes by the stage; the mark, where the file is open, goes into it.
        ShaderMessage placed = message;
        placed.pane = mark.side;
        reply.messages.append(placed);
        if (const std::optional<PairSide> open = openFileSide(message, request.openFiles)) {
            mark.side = *open;
            mark.line = message.line ? int(qMax<qint64>(*message.line, 1) - 1) : -1;
            mark.column = message.column ? int(*message.column - 1) : -1;
        }
        reply.marks.append(mark);
        const QString pane = mark.side == PairSide::Included ? QFileInfo(message.path).fileName()
                                                             : sideName(mark.side);
        lines << (mark.line >= 0 ? QStringLiteral("%1 (%2): ").arg(pane).arg(mark.line + 1)
                                 : pane + QStringLiteral(": ")) +
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
            checkProgram(decodeLiveCheckRequest(payload), state->includes, *state->contexts);
        state->contexts->release();
        return encodeLiveCheck(reply);
    });
}

}  // namespace tessory
