// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"
#include "compile/project_file.h"
#include "compile/shader_stage.h"
#include "compile/stage_names.h"
#include "compile/target.h"
#include "workspace/name_rules.h"

#include <QString>
#include <QStringList>

namespace tessory {

enum class CheckAction { Check, Extract, Help, Version, Lsp, Merge };
enum class OutputFormat { Text, Json, Sarif, Github };

// One argument to check: a WorkSpace directory, a shader file, or standard input ("-").
struct CheckInput {
    enum class Kind { Directory, File, Stdin };
    Kind kind = Kind::Directory;
    // A directory ends in "/"; for standard input the name it is reported by.
    QString path;
    // Files and standard input: the stage, from --stage or the name's extension.
    ShaderStage stage = ShaderStage::Vertex;
};

// A -D or a -U of the command line.
struct DefineChange {
    Define define;
    bool undefine = false;
};

// What one command line asks for.
struct CheckOptions {
    CheckAction action = CheckAction::Check;
    // The editor's defaults, never its stored settings: a build must not depend on who runs it.
    // The first vertex and fragment extensions of the command line; a project file may set others
    // for its directories.
    PairExtensions extensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
    // The stages whose extensions the command line sets (--ext, --vertex-ext, --fragment-ext).
    QList<std::pair<ShaderStage, QStringList>> extensionsGiven;
    // Check: --target (nothing with targetGiven for "auto"), --target-env, --lone.
    bool targetGiven = false;
    std::optional<Target> target;
    std::optional<VulkanVersion> targetEnv;
    std::optional<LonePolicy> lone;
    // Check: -I in their order, -D and -U in theirs.
    QStringList includeDirs;
    QList<DefineChange> defineChanges;
    // Check: the directory that no include may leave through "..", absolute.
    QString root;
    OutputFormat format = OutputFormat::Text;
    // Check: the arguments in their order.
    QList<CheckInput> inputs;
    // Check: also every subdirectory of each directory (each a WorkSpace of its own).
    bool recursive = false;
    // Check: the lowest severity that fails the check.
    MessageSeverity failAt = MessageSeverity::Warning;
    // Check: only the messages, no summary.
    bool quiet = false;
    // Check: how many threads compile, each with a context of its own.
    int jobs = 1;
    // Check: how long the driver may take on one pair or file.
    double timeoutSeconds = 120;
    // Check: where to write the archive of the one WorkSpace; empty for none.
    QString archiveOut;
    // Extract: the archive, the pair's base name and the folder for its two files.
    QString extractArchive;
    QString extractName;
    QString extractDir;
    // Check: --shard K/N, the K-th (from 1) of N shares of the programs and files; 1/1 is all.
    int shardIndex = 1;
    int shardCount = 1;
    // Merge: the reports of the shards, in any order.
    QStringList mergeReports;
};

// The options, or the reason the command line cannot be run (a usage error).
struct ParsedOptions {
    CheckOptions options;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The stage extensions of the command line: the defaults with those it sets.
StageExtensions commandLineExtensions(const CheckOptions& options);

// Reads the arguments (the program name first, as QCoreApplication::arguments() gives them).
// Checks everything that can be checked before any work: the option values, the number of
// arguments, that every DIR is an existing directory that can be read, that every FILE exists
// and has a stage, and that the extracted name is a valid base name.
ParsedOptions parseCheckArguments(const QStringList& arguments);

// Why the directory cannot be listed ("Permission denied"), or an empty text when it can.
QString listingError(const QString& directory);
// The same as a complaint: "cannot read directory DIR: Permission denied".
QString unreadableDirectory(const QString& directory);

// The --help text: usage, options, exit status and examples.
QString checkHelpText();

}  // namespace tessory
