// SPDX-License-Identifier: MIT
#include "compile/program_setup.h"

#include <QFileInfo>

namespace tessory {

void ProjectFileCache::setTexts(EngineTexts texts) {
    texts_ = std::move(texts);
    result_.reset();
}

const ProjectFileResult* ProjectFileCache::lookup(const QString& directory) {
    const QString path = findProjectFile(directory);
    if (path.isEmpty()) {
        directory_ = directory;
        path_.clear();
        result_.reset();
        return nullptr;
    }
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    if (!result_ || directory != directory_ || path != path_ || modified != modified_ ||
        info.size() != size_) {
        directory_ = directory;
        path_ = path;
        modified_ = modified;
        size_ = info.size();
        result_ = readProjectFile(path, texts_);
    }
    return &*result_;
}

ProgramSetup programSetup(const ProjectFileResult* project, std::optional<Target> chosen,
                          const QList<StageSource>& stages) {
    ProgramSetup setup;
    ProjectSettings settings;
    if (project != nullptr) {
        setup.projectFile = true;
        if (project->file) {
            settings = project->file->settingsFor(stages.isEmpty() ? project->file->directory
                                                                   : stages.first().path);
            if (settings.variants && !settings.variants->isEmpty()) {
                ProjectSettings first;
                first.defines = settings.variants->first().defines;
                settings.overlay(first);
            }
        } else {
            setup.projectProblem = project->problem();
        }
    }
    if (chosen) {
        setup.source = TargetSource::Chosen;
    } else if (settings.targetGiven && settings.target) {
        setup.source = TargetSource::ProjectFile;
        chosen = settings.target;
    }
    setup.target = chooseTarget(chosen, stages);
    setup.vulkan = settings.targetEnv.value_or(VulkanVersion::V1_3);
    setup.expand.includeDirs = settings.includeDirs.value_or(QStringList());
    setup.expand.defines = settings.defines;
    return setup;
}

}  // namespace tessory
