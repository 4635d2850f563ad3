// SPDX-License-Identifier: MIT
#include "check/workspace_check.h"

#include "compile/shader_mod.h"
#include "workspace/file_io.h"
#include "workspace/pair_scan.h"

#include <QSet>

#include <algorithm>

namespace tessory {
namespace {

MessageOrigin originOf(InfoLogKind log) {
    switch (log) {
        case InfoLogKind::VertexCompile:
            return MessageOrigin::VertexCompile;
        case InfoLogKind::FragmentCompile:
            return MessageOrigin::FragmentCompile;
        case InfoLogKind::Link:
            break;
    }
    return MessageOrigin::Link;
}

CheckMessage workspaceProblem(const QString& path, const QString& text) {
    return CheckMessage{path, std::nullopt, MessageSeverity::Error, text, MessageOrigin::Workspace};
}

// FileError says "PATH:\ncause"; the report prints the path already.
QString causeOf(const FileError& error) {
    const QString text = QString::fromStdString(error.what());
    const QString prefix = error.path() + QStringLiteral(":\n");
    return text.startsWith(prefix) ? text.sliced(prefix.size()) : text;
}

// Each lone file, named with the partner it lacks.
void reportLoneFiles(const QString& directory, const PairExtensions& extensions,
                     const WorkspaceScan& scan, QList<CheckMessage>& problems) {
    for (const QString& entryName : scan.unpairedFiles) {
        for (const PairFileName& file :
             Logfiles(DirEntry{entryName, EntryKind::File}, extensions)) {
            const QString& partnerExt =
                file.side == PairSide::Vertex ? extensions.fragment : extensions.vertex;
            problems.append(workspaceProblem(
                directory + entryName,
                QStringLiteral("Vertex-/ Fragment Shader Pair not found: no file %1 beside it")
                    .arg(file.baseName + partnerExt)));
        }
    }
}

// A whole pair whose name the list shows in another letter case: nothing would check it.
void reportHiddenPairs(const QString& directory, const PairExtensions& extensions,
                       const WorkspaceScan& scan, QList<CheckMessage>& problems) {
    const QSet<QString> lone(scan.unpairedFiles.cbegin(), scan.unpairedFiles.cend());
    for (const QString& name : scan.shadowedNames) {
        const QString vertexFile = name + extensions.vertex;
        if (lone.contains(vertexFile) || lone.contains(name + extensions.fragment)) {
            continue;
        }
        const qsizetype shownAs = scan.pairs.indexOf(name);
        problems.append(workspaceProblem(
            directory + vertexFile,
            QStringLiteral("pair %1 not checked: the WorkSpace lists %2 in its place, as names "
                           "that differ only in letter case are one pair")
                .arg(name, shownAs >= 0 ? scan.pairs.at(shownAs) : QString())));
    }
}

// A pair file whose name is not valid UTF-8: the WorkSpace leaves it out, so nothing checks it.
void reportUndecodableFiles(const QString& directory, const WorkspaceScan& scan,
                            QList<CheckMessage>& problems) {
    for (const QString& entryName : scan.undecodableFiles) {
        problems.append(workspaceProblem(
            directory + entryName,
            QStringLiteral("not checked: the name is not valid UTF-8, so the WorkSpace leaves "
                           "the file out")));
    }
}

// The pairs to compile: the listed ones, or, in an incomplete WorkSpace, every name with both
// files, so that one missing file does not hide the messages of all other pairs.
QStringList namesToCompile(const PairExtensions& extensions, const WorkspaceScan& scan) {
    if (scan.complete()) {
        return scan.listedNames();
    }
    const QSet<QString> missing(scan.missingFiles.cbegin(), scan.missingFiles.cend());
    QStringList names;
    for (const QString& name : scan.pairs.names()) {
        if (!missing.contains(name + extensions.vertex) &&
            !missing.contains(name + extensions.fragment)) {
            names.append(name);
        }
    }
    return names;
}

PairCheck checkPair(const ArbApi& gl, const QString& directory, const QString& name,
                    const PairExtensions& extensions) {
    PairCheck pair{name,
                   pairFilePath(directory, name, extensions.vertex),
                   pairFilePath(directory, name, extensions.fragment),
                   {}};
    try {
        const TShaderMod mod(gl, pair.vertexPath, pair.fragmentPath);
        pair.messages = pairMessages(runMessages(mod.vertexLog(), mod.fragmentLog(), mod.linkLog()),
                                     pair.vertexPath, pair.fragmentPath);
    } catch (const FileError& error) {
        pair.messages.append(CheckMessage{error.path(), std::nullopt, MessageSeverity::Error,
                                          QStringLiteral("cannot be read: ") + causeOf(error),
                                          MessageOrigin::File});
    }
    return pair;
}

}  // namespace

qsizetype WorkspaceCheck::pairsWithMessages() const {
    return std::count_if(pairs.cbegin(), pairs.cend(),
                         [](const PairCheck& pair) { return !pair.messages.isEmpty(); });
}

WorkspaceCheck checkWorkspace(const ArbApi& gl, const QString& directory,
                              const PairExtensions& extensions) {
    const WorkspaceScan scan = scanWorkspace(directory, extensions);
    WorkspaceCheck check;
    check.directory = directory;
    check.listedNames = scan.listedNames();
    check.complete = scan.complete();
    reportLoneFiles(directory, extensions, scan, check.problems);
    reportHiddenPairs(directory, extensions, scan, check.problems);
    reportUndecodableFiles(directory, scan, check.problems);
    for (const QString& name : namesToCompile(extensions, scan)) {
        check.pairs.append(checkPair(gl, directory, name, extensions));
    }
    return check;
}

QList<CheckMessage> pairMessages(const QList<DriverMessage>& messages, const QString& vertexPath,
                                 const QString& fragmentPath) {
    QList<CheckMessage> tied;
    tied.reserve(messages.size());
    for (const DriverMessage& message : messages) {
        tied.append(CheckMessage{message.file == ErrorPane::Fragment ? fragmentPath : vertexPath,
                                 message.line, message.severity, message.text,
                                 originOf(message.log)});
    }
    return tied;
}

QString fileErrorText(const std::exception& error) {
    return QString::fromStdString(error.what()).replace(u'\n', u' ');
}

}  // namespace tessory
