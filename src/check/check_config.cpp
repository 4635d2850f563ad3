// SPDX-License-Identifier: MIT
#include "check/check_config.h"

#include <QDir>
#include <QFileInfo>

namespace tessory {

const ProjectFile* CheckConfig::project(const QString& path, QString& problem) {
    const auto kept = projects_.find(path);
    if (kept != projects_.end()) {
        return kept->second.get();
    }
    ProjectFileResult read = readProjectFile(path, engineTexts(false));
    if (!read.file) {
        problem = read.problem();
        return nullptr;
    }
    return projects_.emplace(path, std::make_unique<ProjectFile>(std::move(*read.file)))
        .first->second.get();
}

QString CheckConfig::projectFileOf(const QString& directory) {
    QStringList walked;
    QString found;
    for (QString dir = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());;) {
        if (const auto known = found_.constFind(dir); known != found_.cend()) {
            found = *known;
            break;
        }
        walked.append(dir);
        const QString candidate = dir + (dir.endsWith(u'/') ? QString() : QStringLiteral("/")) +
                                  kProjectFileName.toString();
        const QFileInfo info(candidate);
        if (info.exists() || info.isSymLink()) {
            found = shownPath(candidate);
            break;
        }
        const QString parent = QFileInfo(dir).path();
        if (parent == dir) {
            break;
        }
        dir = parent;
    }
    for (const QString& dir : walked) {
        found_.insert(dir, found);
    }
    return found;
}

bool CheckConfig::rulesFor(const QString& directory, DirectoryRules& rules, QString& problem) {
    rules = DirectoryRules();
    const QString found = projectFileOf(directory);
    if (!found.isEmpty()) {
        rules.project = project(found, problem);
        if (rules.project == nullptr) {
            return false;
        }
        for (const auto& [stage, list] :
             rules.project->settingsForDirectory(directory).extensions) {
            rules.extensions.set(stage, list);
        }
    }
    for (const auto& [stage, list] : options_.extensionsGiven) {
        rules.extensions.set(stage, list);
    }
    return true;
}

bool CheckConfig::rulesForFile(const QString& path, DirectoryRules& rules, QString& problem) {
    return rulesFor(QFileInfo(path).absolutePath(), rules, problem);
}

QList<CompileChoice> CheckConfig::choicesFor(const QString& path,
                                             const DirectoryRules& rules) const {
    const ProjectSettings project =
        rules.project ? rules.project->settingsFor(path) : ProjectSettings();
    CompileChoice base;
    base.target = options_.targetGiven ? options_.target : project.target;
    base.vulkan = options_.targetEnv  ? *options_.targetEnv
                  : project.targetEnv ? *project.targetEnv
                                      : VulkanVersion::V1_3;
    base.includeDirs = options_.includeDirs + project.includeDirs.value_or(QStringList());
    base.root = options_.root;
    const auto withDefines = [&](QList<Define> defines, const QString& variant) {
        const auto set = [&defines](const Define& define, bool undefine) {
            defines.removeIf([&](const Define& d) {
                return d.name.section(u'(', 0, 0) == define.name.section(u'(', 0, 0);
            });
            if (!undefine) {
                defines.append(define);
            }
        };
        for (const DefineChange& change : options_.defineChanges) {
            set(change.define, change.undefine);
        }
        CompileChoice choice = base;
        choice.defines = defines;
        choice.variant = variant;
        return choice;
    };
    if (!project.variants || project.variants->isEmpty()) {
        return {withDefines(project.defines, {})};
    }
    QList<CompileChoice> choices;
    for (const Variant& variant : *project.variants) {
        ProjectSettings merged = project;
        ProjectSettings extra;
        extra.defines = variant.defines;
        merged.overlay(extra);
        choices.append(withDefines(merged.defines, variant.name));
    }
    return choices;
}

LonePolicy CheckConfig::lonePolicyFor(const QString& path, const DirectoryRules& rules) const {
    if (options_.lone) {
        return *options_.lone;
    }
    if (rules.project) {
        if (const std::optional<LonePolicy> lone = rules.project->settingsFor(path).lone) {
            return *lone;
        }
    }
    return LonePolicy::Problem;
}

}  // namespace tessory
