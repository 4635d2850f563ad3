// SPDX-License-Identifier: MIT
#pragma once

#include "compile/program_engine.h"
#include "compile/project_file.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace tessory {

// Where the target of a program comes from.
enum class TargetSource { Auto, ProjectFile, Chosen };

// How the editor compiles the open program: for which target, with which includes and defines.
struct ProgramSetup {
    Target target = Target::Gl;
    TargetSource source = TargetSource::Auto;
    VulkanVersion vulkan = VulkanVersion::V1_3;
    ExpandSettings expand;
    // A project file applies to the program's directory; when it cannot be used, why, naming
    // the file and the line.
    bool projectFile = false;
    QString projectProblem;
};

// The project file of a directory, read again whenever it was changed, replaced or removed
// since the last look, so that an edit made while the editor runs counts at the next compile.
class ProjectFileCache {
public:
    explicit ProjectFileCache(EngineTexts texts = engineTexts(false)) : texts_(std::move(texts)) {}
    void setTexts(EngineTexts texts);

    // The result for the project file that applies to the directory; nothing without one.
    const ProjectFileResult* lookup(const QString& directory);

private:
    EngineTexts texts_;
    QString directory_;
    QString path_;
    QDateTime modified_;
    qint64 size_ = -1;
    std::optional<ProjectFileResult> result_;
};

// The setup of a program: the target the user chose, else the project file's, else the one
// "auto" gives its stages; the include directories and defines of the project file (with its
// first variant's), searched from the stage's directory first.
ProgramSetup programSetup(const ProjectFileResult* project, std::optional<Target> chosen,
                          const QList<StageSource>& stages);

}  // namespace tessory
