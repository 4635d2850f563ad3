// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/name_rules.h"

#include <QString>
#include <QStringList>

namespace tessory {

enum class CheckAction { Check, Extract, Help, Version };
enum class OutputFormat { Text, Json };

// What one command line asks for.
struct CheckOptions {
    CheckAction action = CheckAction::Check;
    // The editor's defaults, never its stored settings: a build must not depend on who runs it.
    PairExtensions extensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
    OutputFormat format = OutputFormat::Text;
    // Check: the WorkSpace directories as given, each ending in "/".
    QStringList directories;
    // Check: where to write the archive of the one WorkSpace; empty for none.
    QString archiveOut;
    // Extract: the archive, the pair's base name and the folder for its two files.
    QString extractArchive;
    QString extractName;
    QString extractDir;
};

// The options, or the reason the command line cannot be run (a usage error).
struct ParsedOptions {
    CheckOptions options;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// Reads the arguments (the program name first, as QCoreApplication::arguments() gives them).
// Checks everything that can be checked before any work: the option values, the number of
// arguments, that every DIR is an existing directory and that the extracted name is a valid base
// name.
ParsedOptions parseCheckArguments(const QStringList& arguments);

// The --help text: usage, options, exit status and examples.
QString checkHelpText();

}  // namespace tessory
