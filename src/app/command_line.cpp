// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace tessory {
namespace {

const QString kProgram = QStringLiteral("glsl-tessory");

CommandLine failure(const QString& reason) {
    return {
        CommandLine::Action::Error,
        {},
        QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(kProgram, reason)};
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("An editor for OpenGL shader pairs: a vertex and a fragment shader of one\n"
                       "base name in one directory, the WorkSpace."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("DIR"),
        QStringLiteral("The WorkSpace to open instead of the last one; it is kept for the next "
                       "start like one chosen with Select Workspace."),
        QStringLiteral("[DIR]"));
    if (!parser.parse(arguments)) {
        return failure(parser.errorText());
    }
    if (parser.isSet(help)) {
        // The parser names the program by the path it was started with, or without an
        // application object not at all; the usage line names the command.
        const QString text = parser.helpText();
        return {CommandLine::Action::Help,
                {},
                QStringLiteral("Usage: %1 [options] [DIR]").arg(kProgram) +
                    text.mid(text.indexOf(QLatin1Char('\n')))};
    }
    if (parser.isSet(version)) {
        return {CommandLine::Action::Version,
                {},
                QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(TESSORY_VERSION))};
    }
    const QStringList directories = parser.positionalArguments();
    if (directories.isEmpty()) {
        return {};
    }
    if (directories.size() > 1) {
        return failure(QStringLiteral("one WorkSpace directory at most, not %1: %2")
                           .arg(directories.size())
                           .arg(directories.join(QLatin1Char(' '))));
    }
    const QFileInfo directory(directories.first());
    if (!directory.isDir()) {
        return failure(directory.exists()
                           ? QStringLiteral("%1 is not a directory").arg(directories.first())
                           : QStringLiteral("%1: no such directory").arg(directories.first()));
    }
    QString workspace = QDir::cleanPath(directory.absoluteFilePath());
    if (!workspace.endsWith(QLatin1Char('/'))) {
        workspace += QLatin1Char('/');
    }
    return {CommandLine::Action::Run, workspace, {}};
}

int answerWithoutWindow(const CommandLine& commandLine) {
    const bool error = commandLine.action == CommandLine::Action::Error;
    std::fputs(commandLine.text.toLocal8Bit().constData(), error ? stderr : stdout);
    return error ? 2 : 0;
}

std::optional<int> answerBeforeStart(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine commandLine = parseCommandLine(arguments);
    // An unknown option may be one of the application's; without any, an error is final too.
    const bool options = std::any_of(arguments.cbegin() + 1, arguments.cend(),
                                     [](const QString& a) { return a.startsWith(u'-'); });
    if (commandLine.action == CommandLine::Action::Run ||
        (commandLine.action == CommandLine::Action::Error && options)) {
        return std::nullopt;
    }
    return answerWithoutWindow(commandLine);
}

}  // namespace tessory
