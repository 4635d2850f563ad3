// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "compile/project_file.h"

#include <QHash>
#include <QString>

#include <map>
#include <memory>

namespace tessory {

// How one program or file is compiled: its target (nothing for auto), includes, defines, and the
// variant they come from.
struct CompileChoice {
    std::optional<Target> target;
    VulkanVersion vulkan = VulkanVersion::V1_3;
    QStringList includeDirs;
    QList<Define> defines;
    QString root;
    // The name of the project file's variant, empty without variants.
    QString variant;
};

// What decides the programs of one directory.
struct DirectoryRules {
    StageExtensions extensions;
    // The project file that applies there, or none.
    const ProjectFile* project = nullptr;
};

// The settings of a check: the command line over the project file nearest to each directory and
// file, read once each.
class CheckConfig {
public:
    explicit CheckConfig(const CheckOptions& options) : options_(options) {}

    // The rules of a directory; false with `problem` ("tessory.json:4: unknown key ...") when its
    // project file cannot be used.
    bool rulesFor(const QString& directory, DirectoryRules& rules, QString& problem);
    // How to compile the program or file whose first stage is `path`, once per variant.
    QList<CompileChoice> choicesFor(const QString& path, const DirectoryRules& rules) const;
    LonePolicy lonePolicyFor(const QString& path, const DirectoryRules& rules) const;

    // The project file for a file given on the command line or for standard input (the working
    // directory's), as rulesFor does.
    bool rulesForFile(const QString& path, DirectoryRules& rules, QString& problem);

private:
    const ProjectFile* project(const QString& path, QString& problem);
    // findProjectFile, remembering the answer for every directory it walks through: -r asks for
    // each directory of a tree, each below the last.
    QString projectFileOf(const QString& directory);

    const CheckOptions& options_;
    std::map<QString, std::unique_ptr<ProjectFile>> projects_;
    QHash<QString, QString> found_;
};

}  // namespace tessory
