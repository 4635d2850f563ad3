// SPDX-License-Identifier: MIT
#include "compile/program_context.h"

#include "compile/host_check.h"
#include "editor/pair_document.h"
#include "options/app_settings.h"
#include "texts/engine_texts.h"
#include "texts/win1252.h"
#include "workspace/shader_file.h"
#include "workspace/workspace_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace tessory {
namespace {

bool sameSetup(const ProgramSetup& a, const ProgramSetup& b) {
    return a.target == b.target && a.source == b.source && a.vulkan == b.vulkan &&
           a.expand.includeDirs == b.expand.includeDirs && a.expand.defines == b.expand.defines &&
           a.projectFile == b.projectFile && a.projectProblem == b.projectProblem;
}

// The driver's own compile knows no #include: a stage that has one goes to the engine.
bool includesFiles(const QList<LiveStage>& stages) {
    static const QRegularExpression include(QStringLiteral("(^|\\n)[ \\t]*#[ \\t]*include\\b"));
    return std::any_of(stages.cbegin(), stages.cend(), [](const LiveStage& stage) {
        return stage.bytes.contains("include") &&
               include.match(QString::fromLatin1(stage.bytes)).hasMatch();
    });
}

// The #version line is the first one that is not a comment, and only it and the stages decide
// the target: the text's start is enough, and much cheaper than the whole text each frame.
QByteArray headOf(const ShaderDocument& document) {
    constexpr qsizetype kHeadCharacters = 8192;
    QString head;
    for (int line = 0; line < document.lineCount() && head.size() < kHeadCharacters; ++line) {
        head += document.lineText(line) + u'\n';
    }
    return toWin1252Lossy(head);
}

}  // namespace

ProgramContext::ProgramContext(const PairDocument& documents, const WorkspaceController& workspace,
                               AppSettings& settings, QObject* parent)
    : QObject(parent), documents_(documents), workspace_(workspace), settings_(settings) {}

void ProgramContext::setGerman(bool german) {
    project_.setTexts(engineTexts(german));
}

QList<LiveStage> ProgramContext::documentStages(Text text) const {
    const auto bytes = [text](const ShaderDocument& document) {
        return text == Text::Whole ? document.source() : headOf(document);
    };
    QList<LiveStage> stages;
    for (const PairSide side : kProgramSides) {
        if (documents_.hasStage(side)) {
            const ShaderDocument& document = documents_.document(side);
            stages.append({side, document.stamp().path(), bytes(document)});
        }
    }
    if (stages.isEmpty()) {
        // No program open: the two empty panes, named after their tabs.
        for (const PairSide side : kPairSides) {
            stages.append({side, QString(), bytes(documents_.document(side))});
        }
    }
    return stages;
}

ProgramSetup ProgramContext::setupFor(const QList<LiveStage>& stages, const QString& name) {
    const QString& directory = workspace_.openPair().directory();
    const ProjectFileResult* project =
        directory.isEmpty() ? nullptr : project_.lookup(QDir::cleanPath(directory));
    const std::optional<Target> chosen =
        TargetChoices::fromText(settings_.values().ProgramTargets).chosen(directory, name);
    return programSetup(project, chosen, engineStages(stages));
}

ProgramSetup ProgramContext::setup() {
    return setupOf(documentStages(Text::Head));
}

ProgramSetup ProgramContext::setupOf(const QList<LiveStage>& stages) {
    const ProgramSetup now = setupFor(stages, workspace_.openPair().name());
    if (!last_ || !sameSetup(*last_, now)) {
        last_ = now;
        emit setupChanged(now);
    }
    return now;
}

ProgramJob ProgramContext::jobFor(QList<LiveStage> stages, const ProgramSetup& setup) {
    ProgramJob job;
    job.classic = setup.target == Target::Gl && !setup.projectFile && stages.size() == 2 &&
                  stages[0].side == PairSide::Vertex && stages[1].side == PairSide::Fragment &&
                  !includesFiles(stages);
    job.request.stages = std::move(stages);
    job.request.target = setup.target;
    job.request.vulkan = setup.vulkan;
    job.request.expand = setup.expand;
    job.projectProblem = setup.projectProblem;
    return job;
}

ProgramJob ProgramContext::job() {
    QList<LiveStage> stages = documentStages(Text::Whole);
    const ProgramSetup current = setupOf(stages);
    ProgramJob job = jobFor(std::move(stages), current);
    // An included file open in its tab is compiled as it stands there, saved or not.
    if (documents_.hasStage(PairSide::Included)) {
        const ShaderDocument& included = documents_.document(PairSide::Included);
        job.request.openFiles.append(
            {PairSide::Included, included.stamp().path(), included.source()});
    }
    return job;
}

ProgramJob ProgramContext::jobForFiles(const ProgramPaths& paths, const QString& name) {
    QList<LiveStage> stages;
    for (const PairSide side : kProgramSides) {
        if (!paths[int(side)].isEmpty()) {
            stages.append({side, paths[int(side)], readShaderFile(paths[int(side)])});
        }
    }
    const ProgramSetup setup = setupFor(stages, name);
    return jobFor(std::move(stages), setup);
}

QString ProgramContext::resolveInclude(const QString& name, const QString& from) {
    QStringList directories;
    if (QFileInfo(from).isAbsolute()) {
        directories << QFileInfo(from).absolutePath();
    }
    directories << setup().expand.includeDirs;
    for (const QString& directory : directories) {
        const QFileInfo candidate(QDir(directory), name);
        if (candidate.exists()) {
            return QDir::cleanPath(candidate.absoluteFilePath());
        }
    }
    return {};
}

std::optional<Target> ProgramContext::chosenTarget() const {
    return TargetChoices::fromText(settings_.values().ProgramTargets)
        .chosen(workspace_.openPair().directory(), workspace_.openPair().name());
}

void ProgramContext::chooseTarget(std::optional<Target> target) {
    TargetChoices choices = TargetChoices::fromText(settings_.values().ProgramTargets);
    choices.choose(workspace_.openPair().directory(), workspace_.openPair().name(), target);
    settings_.setProgramTargets(choices.toText());
    setup();
}

}  // namespace tessory
