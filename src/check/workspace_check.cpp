// SPDX-License-Identifier: MIT
#include "check/workspace_check.h"

#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QDir>

namespace tessory {
namespace {

// FileError says "PATH:\ncause"; the report prints the path already.
QString causeOf(const FileError& error) {
    const QString text = QString::fromStdString(error.what());
    const QString prefix = error.path() + QStringLiteral(":\n");
    return text.startsWith(prefix) ? text.sliced(prefix.size()) : text;
}

MessageOrigin compileOrigin(ShaderStage stage) {
    switch (stage) {
        case ShaderStage::Vertex:
            return MessageOrigin::VertexCompile;
        case ShaderStage::Fragment:
            return MessageOrigin::FragmentCompile;
        case ShaderStage::Geometry:
            return MessageOrigin::GeometryCompile;
        case ShaderStage::TessControl:
            return MessageOrigin::TessControlCompile;
        case ShaderStage::TessEvaluation:
            return MessageOrigin::TessEvaluationCompile;
        case ShaderStage::Compute:
            return MessageOrigin::ComputeCompile;
        default:
            break;
    }
    return MessageOrigin::StageCompile;
}

MessageOrigin originOf(const ProgramMessage& message) {
    switch (message.kind) {
        case MessageKind::Compile:
            return compileOrigin(message.stage.value_or(ShaderStage::Vertex));
        case MessageKind::Link:
            return MessageOrigin::Link;
        case MessageKind::Include:
            return MessageOrigin::Include;
        case MessageKind::Validate:
            return MessageOrigin::Validate;
        case MessageKind::Setup:
            break;
    }
    return MessageOrigin::Workspace;
}

CheckMessage unreadable(const FileError& error) {
    return CheckMessage{error.path(),           std::nullopt,
                        MessageSeverity::Error, QStringLiteral("cannot be read: ") + causeOf(error),
                        MessageOrigin::File,    std::nullopt};
}

// Shader text holds no NUL byte; a file that does is something else, and the driver would stop
// reading it there without a word.
std::optional<CheckMessage> binaryProblem(const QString& path, const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0) {
        return std::nullopt;
    }
    return CheckMessage{path,
                        std::nullopt,
                        MessageSeverity::Error,
                        QStringLiteral("not checked: a binary file, not shader text (a NUL byte "
                                       "at offset %1)")
                            .arg(nul),
                        MessageOrigin::File,
                        std::nullopt};
}

// The bytes the driver is given: those read ahead, or the file's now. Nothing, with the reason
// added to the messages, for a file that cannot be read or holds no shader text.
std::optional<QByteArray> shaderBytes(const QString& path, const QByteArray* readAhead,
                                      QList<CheckMessage>& messages) {
    QByteArray bytes;
    try {
        bytes = readAhead ? *readAhead : readShaderFile(path);
    } catch (const FileError& error) {
        messages.append(unreadable(error));
        return std::nullopt;
    }
    if (std::optional<CheckMessage> binary = binaryProblem(path, bytes)) {
        messages.append(std::move(*binary));
        return std::nullopt;
    }
    return bytes;
}

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
    for (const ProgramMessage& message : result.messages) {
        const bool setup = message.kind == MessageKind::Setup;
        outcome.checked = outcome.checked && !setup;
        outcome.messages.append(
            CheckMessage{message.at.path, message.at.line, message.severity,
                         setup ? QStringLiteral("not checked: ") + message.text : message.text,
                         originOf(message), message.at.column, message.stage, result.target,
                         variant, message.includedFrom});
    }
    for (const StageLog& log : result.logs) {
        outcome.logs.append(log.log);
    }
    outcome.linkLog = result.linkLog;
    return outcome;
}

}  // namespace

bool operator==(const CheckMessage& a, const CheckMessage& b) {
    return a.path == b.path && a.line == b.line && a.column == b.column &&
           a.severity == b.severity && a.text == b.text && a.origin == b.origin &&
           a.stage == b.stage && a.target == b.target && a.variant == b.variant &&
           a.includedFrom == b.includedFrom;
}

void readAhead(WorkspaceCheck& check, ReadAheadLimit& limit) {
    for (PairCheck& pair : check.pairs) {
        if (pair.sources) {
            continue;
        }
        if (limit.reached()) {
            return;
        }
        try {
            PairSources sources{
                readShaderFile(pair.vertexPath), readShaderFile(pair.fragmentPath), {}};
            qint64 bytes = sources.vertex.size() + sources.fragment.size();
            for (const StageFile& stage : pair.otherStages) {
                sources.other.append(readShaderFile(stage.path));
                bytes += sources.other.last().size();
            }
            limit.bytes -= bytes;
            pair.sources = std::move(sources);
        } catch (const FileError&) {
            // Read again when compiled, and reported then.
        }
    }
    for (FileCheck& file : check.files) {
        readAhead(file, limit);
    }
}

void readAhead(FileCheck& file, ReadAheadLimit& limit) {
    if (file.source || limit.reached()) {
        return;
    }
    try {
        file.source = readShaderFile(file.path);
        limit.bytes -= file.source->size();
    } catch (const FileError&) {
        // Read again when compiled, and reported then.
    }
}

CompileOutcome compilePair(const CompileApis& gl, const PairCheck& pair) {
    QList<CheckMessage> problems;
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

WorkspaceCheck checkWorkspace(const CompileApis& gl, const QString& directory,
                              const PairExtensions& extensions) {
    WorkspaceCheck check = planWorkspace(directory, extensions);
    ReadAheadLimit limit;
    readAhead(check, limit);
    for (PairCheck& pair : check.pairs) {
        takeOutcome(pair, compilePair(gl, pair));
    }
    for (FileCheck& file : check.files) {
        takeOutcome(file, compileFile(gl, file));
    }
    return check;
}

QString fileErrorText(const std::exception& error) {
    return QString::fromStdString(error.what()).replace(u'\n', u' ');
}

}  // namespace tessory
