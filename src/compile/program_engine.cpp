// SPDX-License-Identifier: MIT
#include "compile/program_engine.h"

#include "compile/gl_program.h"
#include "compile/vulkan_compile.h"

#include <QRegularExpression>

#include <vector>

namespace tessory {
namespace {

// What glslang adds to its own messages: a count and a note that it stopped.
bool isFrontEndSummary(const QString& text) {
    static const QRegularExpression count(QStringLiteral("^\\d+ compilation (errors|warnings)"));
    return count.match(text).hasMatch() || text == u"'' : compilation terminated";
}

// The stage a glslang link message names ("Linking fragment stage: ..."), if any.
std::optional<ShaderStage> linkedStageNamed(const QString& text) {
    static const QRegularExpression linking(QStringLiteral("^Linking ([a-z -]+) stage:"));
    const QRegularExpressionMatch found = linking.match(text);
    if (!found.hasMatch()) {
        return std::nullopt;
    }
    for (const ShaderStage stage : kAllStages) {
        if (stageName(stage) == found.captured(1)) {
            return stage;
        }
    }
    return std::nullopt;
}

std::optional<int> deferredIndex(const QString& text) {
    static const QRegularExpression marker(QStringLiteral("TESSORY_INCLUDE_PROBLEM_(\\d+)"));
    const QRegularExpressionMatch found = marker.match(text);
    return found.hasMatch() ? std::optional<int>(found.captured(1).toInt()) : std::nullopt;
}

class ProgramRun {
public:
    ProgramRun(const ProgramRequest& request, const IncludeResolver& resolver,
               const EngineTexts& texts)
        : request_(request), resolver_(resolver), texts_(texts) {
        result_.target = chooseTarget(request.target, request.stages);
    }

    ProgramResult run(GlContextSource& contexts) {
        if (!definesUsable() || !stagesExistForTarget() || !expand()) {
            result_.compiled = false;
            return std::move(result_);
        }
        QList<StageText> texts;
        for (qsizetype i = 0; i < request_.stages.size(); ++i) {
            texts.append({request_.stages[i].stage, expanded_[std::size_t(i)].text});
        }
        if (result_.target == Target::Vulkan) {
            takeVulkan(runVulkanProgram(texts, request_.vulkan));
        } else {
            runGl(texts, contexts);
        }
        return std::move(result_);
    }

private:
    void add(ShaderMessage message) {
        message.target = result_.target;
        if (!result_.messages.contains(message)) {
            result_.messages.append(std::move(message));
        }
    }

    const QString& firstPath() const { return request_.stages.first().path; }

    void setup(const QString& text) {
        add(messageAt({firstPath(), {}, {}}, MessageSeverity::Error, text, MessageOrigin::Setup));
    }

    bool definesUsable() {
        bool usable = true;
        for (const Define& define : request_.expand.defines) {
            if (const QString problem = defineProblem(define, texts_); !problem.isEmpty()) {
                add(messageAt({firstPath(), {}, {}}, MessageSeverity::Error, problem,
                              MessageOrigin::Include));
                usable = false;
            }
        }
        return usable;
    }

    bool stagesExistForTarget() {
        bool exist = true;
        for (const StageSource& stage : request_.stages) {
            if (result_.target != Target::Vulkan && isVulkanOnly(stage.stage)) {
                add(messageAt({stage.path, {}, {}}, MessageSeverity::Error,
                              texts_.stageNotForTarget.arg(stageName(stage.stage),
                                                           targetTitle(result_.target)),
                              MessageOrigin::Setup, stage.stage));
                exist = false;
            }
        }
        return exist;
    }

    bool expand() {
        expanded_.reserve(std::size_t(request_.stages.size()));
        bool usable = true;
        for (const StageSource& stage : request_.stages) {
            expanded_.push_back(
                expandSource(stage.path, stage.bytes, request_.expand, resolver_, texts_));
            const ExpandedSource& source = expanded_.back();
            for (const IncludeProblem& problem : source.problems) {
                add(messageAt(problem.at, MessageSeverity::Error, problem.text,
                              MessageOrigin::Include, stage.stage,
                              source.includeChain(problem.unit)));
                usable = false;
            }
        }
        return usable;
    }

    // A driver's message about the text of stage `index`, at its file, line and column; false
    // when it is an include problem the driver reached, after which its log says no more of use.
    bool addMapped(const ShaderMessage& driver, qsizetype index, bool compile) {
        const ExpandedSource& source = expanded_[std::size_t(index)];
        if (const std::optional<int> n =
                source.deferred.isEmpty() ? std::nullopt : deferredIndex(driver.text);
            n && *n < source.deferred.size()) {
            const IncludeProblem& problem = source.deferred[*n];
            add(messageAt(problem.at, MessageSeverity::Error, problem.text, MessageOrigin::Include,
                          request_.stages[index].stage, source.includeChain(problem.unit)));
            result_.compiled = false;
            return false;
        }
        const ShaderStage stage = request_.stages[index].stage;
        SourceLocation at{request_.stages[index].path, {}, {}};
        QList<SourceLocation> includedFrom;
        if (driver.line) {
            // Mesa counts compile columns in its preprocessed line; the link's stay as given.
            at = source.locate(*driver.line, compile ? driver.column : std::nullopt, &includedFrom);
            if (!compile) {
                at.column = driver.column;
            }
        }
        add(messageAt(at, driver.severity, driver.text,
                      compile ? compileOrigin(stage) : MessageOrigin::Link,
                      compile ? std::optional(stage) : std::nullopt, std::move(includedFrom)));
        return true;
    }

    void takeCompileLogs(const QList<QByteArray>& logs, bool frontEnd) {
        for (qsizetype i = 0; i < logs.size(); ++i) {
            result_.logs.append({request_.stages[i].stage, logs[i]});
            for (const ShaderMessage& driver : compileLogMessages(logs[i], PairSide::Vertex)) {
                if ((!frontEnd || !isFrontEndSummary(driver.text)) && !addMapped(driver, i, true)) {
                    break;
                }
            }
        }
    }

    qsizetype indexOfStage(ShaderStage stage) const {
        for (qsizetype i = 0; i < request_.stages.size(); ++i) {
            if (request_.stages[i].stage == stage) {
                return i;
            }
        }
        return -1;
    }

    void runGl(const QList<StageText>& texts, GlContextSource& contexts) {
        QString why;
        GlProfile profile = profileOf(result_.target);
        const GlContext* context = contexts.current(profile, why);
        if (context == nullptr && !request_.target && result_.target == Target::GlCore) {
            // A driver without a core profile compiles the same GLSL in its compatibility one.
            result_.target = Target::Gl;
            profile = GlProfile::Compatibility;
            context = contexts.current(profile, why);
        }
        if (context == nullptr) {
            setup(texts_.noContext.arg(profileName(profile), why));
            result_.compiled = false;
            return;
        }
        for (const StageSource& stage : request_.stages) {
            if (!context->supportsStage(stage.stage)) {
                setup(texts_.stageNotForTarget.arg(
                    stageName(stage.stage),
                    QStringLiteral("%1 (%2, OpenGL %3)")
                        .arg(profileName(profile), context->renderer(), context->version())));
                result_.compiled = false;
                return;
            }
        }
        const bool builtIn = request_.builtInVertex && texts.size() == 1 &&
                             texts[0].stage == ShaderStage::Fragment &&
                             context->core().queriesInputs();
        const GlRun run = builtIn ? runGlFragmentWithBuiltInVertex(*context, texts[0].text)
                                  : runGlProgram(*context, texts);
        takeCompileLogs(run.logs, false);
        if (!result_.compiled) {
            return;
        }
        result_.linkLog = run.linkLog;
        if (!run.builtInVertexLog.isEmpty()) {
            for (const ShaderMessage& driver :
                 compileLogMessages(run.builtInVertexLog, PairSide::Vertex)) {
                add(messageAt({firstPath(), {}, {}}, driver.severity, driver.text, MessageOrigin::Link));
            }
        }
        if (!run.linkLog.isEmpty()) {
            for (const ShaderMessage& driver : linkLogMessages(run.linkLog)) {
                const qsizetype index =
                    builtIn || driver.pane != PairSide::Fragment
                        ? 0
                        : std::max<qsizetype>(0, indexOfStage(ShaderStage::Fragment));
                addMapped(driver, index, false);
            }
        }
    }

    void takeVulkan(const VulkanRun& run) {
        takeCompileLogs(run.logs, true);
        if (!result_.compiled) {
            return;
        }
        result_.linkLog = run.linkLog;
        for (const ShaderMessage& driver : linkLogMessages(run.linkLog)) {
            const std::optional<ShaderStage> named = linkedStageNamed(driver.text);
            const qsizetype index = named ? std::max<qsizetype>(0, indexOfStage(*named)) : 0;
            addMapped(driver, index, false);
        }
        for (qsizetype i = 0; i < run.validation.size(); ++i) {
            const StageSource& stage = request_.stages[i];
            if (run.linked && !run.generated[i]) {
                add(messageAt({stage.path, {}, {}}, MessageSeverity::Error,
                              texts_.spirvNotMade.arg(stageName(stage.stage)),
                              MessageOrigin::Validate, stage.stage));
            }
            for (const QString& problem : run.validation[i]) {
                add(messageAt({stage.path, {}, {}}, MessageSeverity::Error,
                              texts_.spirvRejected.arg(problem.simplified()),
                              MessageOrigin::Validate, stage.stage));
            }
        }
    }

    const ProgramRequest& request_;
    const IncludeResolver& resolver_;
    const EngineTexts& texts_;
    std::vector<ExpandedSource> expanded_;
    ProgramResult result_;
};

}  // namespace

Target chooseTarget(const std::optional<Target>& chosen, const QList<StageSource>& stages) {
    if (chosen) {
        return *chosen;
    }
    for (const StageSource& stage : stages) {
        if (isVulkanOnly(stage.stage)) {
            return Target::Vulkan;
        }
    }
    return stages.isEmpty() ? Target::Gl : autoTarget(readGlslVersion(stages.first().bytes));
}

GlProfile profileOf(Target target) {
    switch (target) {
        case Target::GlCore:
            return GlProfile::Core;
        case Target::Gles:
            return GlProfile::Es;
        case Target::Gl:
        case Target::Vulkan:
            break;
    }
    return GlProfile::Compatibility;
}

ProgramResult CompileEngine::compile(const ProgramRequest& request,
                                     GlContextSource& contexts) const {
    if (request.stages.isEmpty()) {
        return {};
    }
    return ProgramRun(request, resolver_, texts_).run(contexts);
}

}  // namespace tessory
