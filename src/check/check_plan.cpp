// SPDX-License-Identifier: MIT
#include "check/check_plan.h"

#include "workspace/shader_file.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

namespace tessory {
namespace {

// Standard input, read whole as a shader file would be, within the same limit.
FileCheck readStandardInput(const CheckInput& input) {
    FileCheck file;
    file.path = input.path;
    file.stage = input.stage;
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            file.messages.append(ShaderMessage{
                input.path, std::nullopt, MessageSeverity::Error,
                QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno)),
                MessageOrigin::File, std::nullopt});
            file.checked = false;
            return file;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
        if (bytes.size() > kMaxShaderFileSize) {
            file.messages.append(ShaderMessage{
                input.path, std::nullopt, MessageSeverity::Error,
                QStringLiteral("cannot be read: longer than %1 MB; shader texts longer than that "
                               "are not read")
                    .arg(kMaxShaderFileSize >> 20),
                MessageOrigin::File, std::nullopt});
            file.checked = false;
            return file;
        }
    }
    file.source = std::move(bytes);
    return file;
}

bool holdsShaders(const WorkspaceCheck& check) {
    return !check.pairs.isEmpty() || !check.files.isEmpty() || !check.problems.isEmpty();
}

// The subdirectories to walk, last name first: hidden ones and links are left out.
QStringList subdirectoriesLastFirst(const QString& directory) {
    QStringList names = QDir(directory).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name | QDir::Reversed);
    for (QString& name : names) {
        name = directory + name + u'/';
    }
    return names;
}

// The WorkSpace at directory, then (recursive) those below it in name order; false with the
// reason when the directory itself cannot be read. One below that cannot be read (no permission,
// a path longer than the system takes) is a problem of its own and the walk goes on: the levels
// above keep their results. The walk keeps its own list, as a tree can be deeper than the stack.
bool planWorkspaceOf(const QString& directory, CheckConfig& config, WorkspaceCheck& check,
                     QString& failure) {
    PlanRules rules;
    rules.config = &config;
    if (!config.rulesFor(directory, rules.directory, failure)) {
        return false;
    }
    check = planWorkspace(directory, rules);
    return true;
}

bool planDirectory(const QString& directory, const CheckOptions& options, CheckConfig& config,
                   CheckPlan& plan) {
    if (QString problem = unreadableDirectory(directory); !problem.isEmpty()) {
        plan.failure = problem;
        return false;
    }
    WorkspaceCheck top;
    if (!planWorkspaceOf(directory, config, top, plan.failure)) {
        return false;
    }
    plan.results.append(std::move(top));
    QStringList pending = options.recursive ? subdirectoriesLastFirst(directory) : QStringList();
    while (!pending.isEmpty()) {
        const QString below = pending.takeLast();
        if (const QString cause = listingError(below); !cause.isEmpty()) {
            WorkspaceCheck check;
            check.directory = below;
            check.problems.append(ShaderMessage{
                below, std::nullopt, MessageSeverity::Error,
                QStringLiteral("not checked: the directory cannot be read: %1").arg(cause),
                MessageOrigin::Workspace, std::nullopt});
            plan.results.append(std::move(check));
            continue;
        }
        WorkspaceCheck check;
        if (!planWorkspaceOf(below, config, check, plan.failure)) {
            return false;
        }
        if (holdsShaders(check)) {
            plan.results.append(std::move(check));
        }
        pending.append(subdirectoriesLastFirst(below));
    }
    return true;
}

template <typename Visit>
void forEachFile(CheckResults& results, Visit visit) {
    for (CheckedArgument& argument : results) {
        if (auto* check = std::get_if<WorkspaceCheck>(&argument)) {
            for (FileCheck& file : check->files) {
                visit(file);
            }
        } else {
            visit(std::get<FileCheck>(argument));
        }
    }
}

}  // namespace

CheckPlan planCheck(const CheckOptions& options, CheckConfig& config) {
    CheckPlan plan;
    for (const CheckInput& input : options.inputs) {
        if (input.kind == CheckInput::Kind::Directory) {
            if (!planDirectory(input.path, options, config, plan)) {
                return plan;
            }
            continue;
        }
        // Standard input takes the project file of the working directory.
        const bool fromStandardInput = input.kind == CheckInput::Kind::Stdin;
        const QString where = fromStandardInput ? QStringLiteral("./-") : input.path;
        DirectoryRules rules;
        if (!config.rulesForFile(where, rules, plan.failure)) {
            return plan;
        }
        FileCheck file;
        if (fromStandardInput) {
            file = readStandardInput(input);
        } else {
            file.path = input.path;
            file.stage = input.stage;
        }
        for (const CompileChoice& choice : config.choicesFor(where, rules)) {
            file.choice = choice;
            plan.results.append(file);
        }
    }
    return plan;
}

QString archiveTargetProblem(const QString& archiveOut, const WorkspaceCheck& check) {
    struct stat target {};
    if (::stat(QFile::encodeName(archiveOut).constData(), &target) != 0) {
        return {};
    }
    QStringList inputs;
    for (const PairCheck& pair : check.pairs) {
        inputs << pair.vertexPath << pair.fragmentPath;
    }
    for (const FileCheck& file : check.files) {
        inputs << file.path;
    }
    for (const QString& input : inputs) {
        struct stat source {};
        if (::stat(QFile::encodeName(input).constData(), &source) == 0 &&
            source.st_dev == target.st_dev && source.st_ino == target.st_ino) {
            return QStringLiteral(
                       "--archive %1 is the shader file %2 of the WorkSpace; the "
                       "archive would replace it")
                .arg(archiveOut, input);
        }
    }
    return {};
}

void readAhead(CheckResults& results, ReadAheadLimit limit) {
    for (CheckedArgument& argument : results) {
        std::visit([&limit](auto& check) { readAhead(check, limit); }, argument);
    }
}

DriverStages driverStages(const GlContext& context) {
    DriverStages driver{context.renderer(), context.version(), {}};
    for (const ShaderStage stage : kAllStages) {
        if (context.supportsStage(stage)) {
            driver.supported.append(stage);
        }
    }
    return driver;
}

void setAsideUnsupportedStages(CheckResults& results, const DriverStages& driver) {
    std::map<ShaderStage, int> count;
    forEachFile(results, [&](FileCheck& file) {
        // The other targets' contexts, and glslang, say so for themselves.
        const bool compatibility = !file.choice.target || *file.choice.target == Target::Gl;
        if (!compatibility || isVulkanOnly(file.stage) || driver.supported.contains(file.stage) ||
            !file.messages.isEmpty()) {
            return;
        }
        const QString text =
            QStringLiteral("not checked: the driver (%1, OpenGL %2) cannot compile %3 shaders")
                .arg(driver.renderer, driver.version, stageName(file.stage));
        file.checked = false;
        file.messages = {ShaderMessage{file.path, std::nullopt, MessageSeverity::Error, text,
                                       MessageOrigin::Workspace, std::nullopt}};
        ++count[file.stage];
    });
    // Within WorkSpaces the first file of each stage becomes the one problem that says so, with
    // the count; the others leave the report.
    std::set<ShaderStage> said;
    for (CheckedArgument& argument : results) {
        auto* check = std::get_if<WorkspaceCheck>(&argument);
        if (!check) {
            continue;
        }
        QList<FileCheck> kept;
        for (FileCheck& file : check->files) {
            if (file.checked) {
                kept.append(std::move(file));
            } else if (said.insert(file.stage).second) {
                ShaderMessage problem = file.messages.first();
                if (count[file.stage] > 1) {
                    problem.text +=
                        QStringLiteral(" (%1 files of this stage)").arg(count[file.stage]);
                }
                check->problems.append(problem);
            }
        }
        check->files = std::move(kept);
    }
}

QList<CompileTask> compileTasks(CheckResults& results) {
    QList<CompileTask> tasks;
    for (CheckedArgument& argument : results) {
        if (auto* check = std::get_if<WorkspaceCheck>(&argument)) {
            for (PairCheck& pair : check->pairs) {
                tasks.append(CompileTask{&pair, nullptr});
            }
            for (FileCheck& file : check->files) {
                if (file.checked && file.messages.isEmpty()) {
                    tasks.append(CompileTask{nullptr, &file});
                }
            }
        } else if (auto& file = std::get<FileCheck>(argument);
                   file.checked && file.messages.isEmpty()) {
            tasks.append(CompileTask{nullptr, &file});
        }
    }
    return tasks;
}

}  // namespace tessory
