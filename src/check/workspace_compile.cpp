// SPDX-License-Identifier: MIT
#include "check/workspace_check.h"

namespace tessory {
namespace {

ProgramRequest requestFor(const CompileChoice& choice) {
    ProgramRequest request;
    request.target = choice.target;
    request.vulkan = choice.vulkan;
    request.expand = ExpandSettings{choice.includeDirs, choice.defines, choice.root};
    return request;
}

// The engine's result as the report has it.
CompileOutcome outcomeOf(const ProgramResult& result, const QString& variant) {
    CompileOutcome outcome;
    outcome.target = result.target;
    for (ShaderMessage message : result.messages) {
        if (message.origin == MessageOrigin::Setup) {
            outcome.checked = false;
            message.origin = MessageOrigin::Workspace;
            message.text.prepend(QStringLiteral("not checked: "));
        }
        message.target = result.target;
        message.variant = variant;
        outcome.messages.append(std::move(message));
    }
    for (const StageLog& log : result.logs) {
        outcome.logs.append(log.log);
    }
    outcome.linkLog = result.linkLog;
    return outcome;
}

}  // namespace

CompileOutcome compilePair(const CompileApis& gl, const PairCheck& pair) {
    QList<ShaderMessage> problems;
    const std::optional<PairSources>& read = pair.sources;
    const std::optional<QByteArray> vertex =
        shaderBytes(pair.vertexPath, read ? &read->vertex : nullptr, problems);
    const std::optional<QByteArray> fragment =
        shaderBytes(pair.fragmentPath, read ? &read->fragment : nullptr, problems);
    ProgramRequest request = requestFor(pair.choice);
    request.stages = {{pair.vertexStage, pair.vertexPath, vertex.value_or(QByteArray())},
                      {ShaderStage::Fragment, pair.fragmentPath, fragment.value_or(QByteArray())}};
    for (qsizetype i = 0; i < pair.otherStages.size(); ++i) {
        const StageFile& stage = pair.otherStages[i];
        const std::optional<QByteArray> bytes = shaderBytes(
            stage.path, read && i < read->other.size() ? &read->other[i] : nullptr, problems);
        request.stages.append({stage.stage, stage.path, bytes.value_or(QByteArray())});
    }
    if (!problems.isEmpty()) {
        CompileOutcome outcome;
        outcome.messages = problems;
        outcome.checked = false;
        return outcome;
    }
    return outcomeOf(gl.engine.compile(request, gl.contexts), pair.choice.variant);
}

CompileOutcome compileFile(const CompileApis& gl, const FileCheck& file) {
    CompileOutcome outcome;
    std::optional<QByteArray> bytes =
        shaderBytes(file.path, file.source ? &*file.source : nullptr, outcome.messages);
    if (!bytes) {
        outcome.checked = false;
        return outcome;
    }
    ProgramRequest request = requestFor(file.choice);
    request.stages = {{file.stage, file.path, std::move(*bytes)}};
    request.builtInVertex = file.builtInVertex;
    return outcomeOf(gl.engine.compile(request, gl.contexts), file.choice.variant);
}

void takeOutcome(PairCheck& pair, CompileOutcome&& outcome) {
    pair.sources.reset();
    pair.checked = outcome.checked;
    pair.messages = std::move(outcome.messages);
    pair.target = outcome.target;
    pair.vertexLog = outcome.logs.value(0);
    pair.fragmentLog = outcome.logs.value(1);
    pair.otherLogs = outcome.logs.mid(2);
    pair.linkLog = std::move(outcome.linkLog);
}

void takeOutcome(FileCheck& file, CompileOutcome&& outcome) {
    file.source.reset();
    file.checked = outcome.checked;
    file.messages = std::move(outcome.messages);
    file.target = outcome.target;
    file.log = outcome.logs.value(0);
    file.linkLog = std::move(outcome.linkLog);
}

}  // namespace tessory
