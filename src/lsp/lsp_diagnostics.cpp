// SPDX-License-Identifier: MIT
#include "lsp/lsp_diagnostics.h"

#include "check/check_config.h"
#include "check/check_plan.h"
#include "check/isolated_run.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

namespace tessory {
namespace {

// A hung driver holds up the diagnostics of every document, so an editor waits less for one
// than a build does.
constexpr double kLspTimeoutSeconds = 20;

QJsonObject position(qint64 line, qint64 character) {
    return QJsonObject{{QStringLiteral("line"), double(line)},
                       {QStringLiteral("character"), double(character)}};
}

bool ofProgram(const PairCheck& pair, const QString& path) {
    if (pair.vertexPath == path || pair.fragmentPath == path) {
        return true;
    }
    return std::any_of(pair.otherStages.begin(), pair.otherStages.end(),
                       [&](const StageFile& stage) { return stage.path == path; });
}

}  // namespace

QJsonObject lspDiagnostic(const ShaderMessage& message) {
    const qint64 line = std::max<qint64>(0, message.line.value_or(1) - 1);
    QJsonObject start = position(line, 0);
    QJsonObject end = position(line + 1, 0);
    if (message.line && message.column) {
        const qint64 column = std::max<qint64>(0, *message.column - 1);
        start = position(line, column);
        end = position(line, column + 1);
    }
    const QString variant = message.variant.isEmpty()
                                ? QString()
                                : QStringLiteral(" (variant %1)").arg(message.variant);
    return QJsonObject{
        {QStringLiteral("range"),
         QJsonObject{{QStringLiteral("start"), start}, {QStringLiteral("end"), end}}},
        {QStringLiteral("severity"), message.severity == MessageSeverity::Warning ? 2 : 1},
        {QStringLiteral("source"), QStringLiteral("glsl-tessory-check")},
        {QStringLiteral("message"), message.text + variant},
    };
}

QList<FileDiagnostics> checkDocument(const QString& path, const LspDocuments& documents,
                                     const CheckOptions& options) {
    CheckOptions run = options;
    run.jobs = 1;
    run.timeoutSeconds = std::min(run.timeoutSeconds, kLspTimeoutSeconds);
    CheckConfig config(run);
    const QString directory = QFileInfo(path).absolutePath() + u'/';
    std::map<QString, QList<ShaderMessage>> byFile{{path, {}}};
    PlanRules rules;
    rules.config = &config;
    QString problem;
    if (!config.rulesFor(directory, rules.directory, problem)) {
        byFile[path].append(ShaderMessage{path, std::nullopt, MessageSeverity::Error, problem,
                                         MessageOrigin::Workspace, std::nullopt});
    } else {
        WorkspaceCheck whole = planWorkspace(directory, rules);
        WorkspaceCheck mine = whole;
        mine.pairs.clear();
        mine.files.clear();
        mine.problems.clear();
        for (PairCheck& pair : whole.pairs) {
            if (!ofProgram(pair, path)) {
                continue;
            }
            const auto vertex = documents.bytes(pair.vertexPath);
            const auto fragment = documents.bytes(pair.fragmentPath);
            PairSources sources{vertex.value_or(QByteArray()), fragment.value_or(QByteArray()), {}};
            bool all = vertex && fragment;
            for (const StageFile& stage : pair.otherStages) {
                const auto other = documents.bytes(stage.path);
                all = all && other;
                sources.other.append(other.value_or(QByteArray()));
                byFile[stage.path];
            }
            // A file that cannot be read is left to the compile, which says why.
            if (all) {
                pair.sources = std::move(sources);
            }
            byFile[pair.vertexPath];
            byFile[pair.fragmentPath];
            mine.pairs.append(std::move(pair));
        }
        for (FileCheck& file : whole.files) {
            if (file.path == path) {
                file.source = documents.bytes(path);
                mine.files.append(std::move(file));
            }
        }
        for (const ShaderMessage& message : whole.problems) {
            if (message.path == path) {
                mine.problems.append(message);
            }
        }
        // A file of no program, such as an include, has only its WorkSpace problems.
        const bool compiles = !mine.pairs.isEmpty() || !mine.files.isEmpty();
        CheckResults results{std::move(mine)};
        const IsolatedRun outcome = compiles ? compileIsolated(results, run) : IsolatedRun{};
        if (!outcome.failure.isEmpty()) {
            byFile[path].append(ShaderMessage{path, std::nullopt, MessageSeverity::Error,
                                             outcome.failure, MessageOrigin::File, std::nullopt});
        }
        for (const ShaderMessage& message : allMessages(results)) {
            byFile[message.path].append(message);
        }
    }
    QList<FileDiagnostics> answer;
    for (const auto& [file, messages] : byFile) {
        if (!documents.inFolders(file)) {
            continue;
        }
        FileDiagnostics diagnostics{file, {}};
        for (const ShaderMessage& message : messages) {
            diagnostics.diagnostics.append(lspDiagnostic(message));
        }
        answer.append(diagnostics);
    }
    return answer;
}

}  // namespace tessory
