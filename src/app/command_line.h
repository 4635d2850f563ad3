// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tessory {

// What the editor's command line asks for: `glsl-tessory [DIR]`, `--help`, `--version`.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString workspace;  // DIR as an absolute path ending in "/"; empty when none was given
    QString text;       // what --help or --version prints, or the reason of an error
};

// Reads the arguments, the program's name first, as QCoreApplication::arguments() gives them.
CommandLine parseCommandLine(const QStringList& arguments);

// Prints the help, the version or the error and returns the exit status: 0, or 2 for an error.
int answerWithoutWindow(const CommandLine& commandLine);

// Answers --help, --version and a wrong DIR before the application object exists, so that they
// need no display; nothing when the program is to go on. An unknown option waits for the
// application, which takes its own options (-platform and the like) out of the arguments.
std::optional<int> answerBeforeStart(int argc, char** argv);

}  // namespace tessory
