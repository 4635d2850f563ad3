// SPDX-License-Identifier: MIT
#pragma once

#include "compile/source_expand.h"
#include "compile/stage_names.h"
#include "compile/target.h"
#include "texts/engine_texts.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace tessory {

inline constexpr QStringView kProjectFileName = u"tessory.json";

// Whether a vertex or fragment file without its partner is a problem of the WorkSpace (as the
// WorkSpace list has it), or a shader of its own.
enum class LonePolicy { Problem, Ok };

// One set of defines that every program is checked with.
struct Variant {
    // "USE_FOG=1,SHADOWS": the defines as written, for the report.
    QString name;
    QList<Define> defines;
};

// The settings of the project file's top level or of one override; each only when given.
struct ProjectSettings {
    bool targetGiven = false;
    std::optional<Target> target;  // nothing for "auto"
    std::optional<VulkanVersion> targetEnv;
    QList<std::pair<ShaderStage, QStringList>> extensions;
    std::optional<QStringList> includeDirs;  // directories as the working directory reaches them
    QList<Define> defines;
    std::optional<LonePolicy> lone;
    std::optional<QList<Variant>> variants;

    // Takes every setting the other gives: its defines name by name, the rest whole.
    void overlay(const ProjectSettings& other);
};

// A combination of stage files that the project file names, beyond those that share a base name.
struct ProjectProgram {
    QString name;
    QList<std::pair<ShaderStage, QString>> stages;  // paths as the working directory reaches them
};

struct ProjectOverride {
    QString glob;
    QRegularExpression pattern;  // matches paths relative to the project file's directory
    ProjectSettings settings;
};

// tessory.json as read: every path in it taken from its own directory.
struct ProjectFile {
    QString path;
    QString directory;  // absolute, without a final "/"
    ProjectSettings settings;
    QList<ProjectProgram> programs;
    QList<ProjectOverride> overrides;

    // The top level with every override whose glob matches the file.
    ProjectSettings settingsFor(const QString& filePath) const;
    // The top level with every override whose glob can match a file in the directory: what
    // decides the directory's extensions.
    ProjectSettings settingsForDirectory(const QString& directory) const;
};

// A project file, or what is wrong with it: "the file:line: text" in parts (line 0 for none).
struct ProjectFileResult {
    std::optional<ProjectFile> file;
    QString errorPath;
    int errorLine = 0;
    QString error;

    // What is wrong in one line: "file:line: text", or "file: text" without a line.
    QString problem() const;
};

// The project file that applies to a directory: tessory.json there or in the nearest directory
// above it that has one, like .editorconfig; empty when there is none.
QString findProjectFile(const QString& directory);

// Reads and checks a project file: JSON, known keys with values of the right type, the files and
// directories it names there.
ProjectFileResult readProjectFile(const QString& path, const EngineTexts& texts);
// The same on the file's text, read before (an editor's unsaved document).
ProjectFileResult parseProjectFile(const QByteArray& text, const QString& path,
                                   const EngineTexts& texts);

// The path as messages show it: relative to the working directory when inside it.
QString shownPath(const QString& absolutePath);

}  // namespace tessory
