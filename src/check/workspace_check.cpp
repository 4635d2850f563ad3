// SPDX-License-Identifier: MIT
#include "check/workspace_check.h"

#include "compile/compile_and_link.h"
#include "compile/single_compile.h"
#include "texts/text_lines.h"
#include "workspace/file_io.h"
#include "workspace/pair_scan.h"
#include "workspace/shader_file.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <vector>

namespace tessory {
namespace {

// Larger conversion buffers are not kept from one file to the next.
constexpr qsizetype kKeptBufferSize = qsizetype(1) << 20;

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
    return CheckMessage{
        path, std::nullopt, MessageSeverity::Error, text, MessageOrigin::Workspace, std::nullopt};
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
        // Its partner is there: what is wrong is the entry itself (a link loop, a pipe).
        if (scan.unusableFiles.contains(entryName)) {
            problems.append(
                workspaceProblem(directory + entryName, scan.unusableFiles.value(entryName)));
            continue;
        }
        for (const PairFileName& file :
             pairFileNames(DirEntry{entryName, EntryKind::File}, extensions)) {
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

// A pair file beside another of the same name in other letter case: only one of them is checked.
void reportCaseVariantFiles(const QString& directory, const PairExtensions& extensions,
                            const WorkspaceScan& scan, QList<CheckMessage>& problems) {
    for (const QString& entryName : scan.caseVariantFiles) {
        for (const PairFileName& file :
             pairFileNames(DirEntry{entryName, EntryKind::File}, extensions)) {
            const QString& extension =
                file.side == PairSide::Vertex ? extensions.vertex : extensions.fragment;
            const QString used = findPairFile(directory, file.baseName, extension);
            problems.append(workspaceProblem(
                directory + entryName,
                QStringLiteral("not checked: %1 is used in its place, as file names that differ "
                               "only in letter case belong to one pair")
                    .arg(QFileInfo(used).fileName())));
        }
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

MessageOrigin compileOrigin(ShaderStage stage) {
    switch (stage) {
        case ShaderStage::Vertex:
            return MessageOrigin::VertexCompile;
        case ShaderStage::Fragment:
            return MessageOrigin::FragmentCompile;
        case ShaderStage::Geometry:
            return MessageOrigin::GeometryCompile;
        case ShaderStage::TessControl:
            return MessageOrigin::TessControlCompile;
        case ShaderStage::TessEvaluation:
            return MessageOrigin::TessEvaluationCompile;
        case ShaderStage::Compute:
            break;
    }
    return MessageOrigin::ComputeCompile;
}

CheckMessage unreadable(const FileError& error) {
    return CheckMessage{error.path(),           std::nullopt,
                        MessageSeverity::Error, QStringLiteral("cannot be read: ") + causeOf(error),
                        MessageOrigin::File,    std::nullopt};
}

// Mesa's columns count in its preprocessed text; the report gives the column in the file. The
// source is the text the driver was given, every line ended by CR LF.
void placeColumns(QList<CheckMessage>& messages, const QString& path, const QByteArray& source) {
    std::vector<qsizetype> lineStarts;
    for (CheckMessage& message : messages) {
        if (!message.column || !message.line || message.path != path ||
            message.origin == MessageOrigin::Link) {
            continue;
        }
        if (lineStarts.empty()) {
            lineStarts.push_back(0);
            for (qsizetype end = source.indexOf("\r\n"); end >= 0;
                 end = source.indexOf("\r\n", end + 2)) {
                lineStarts.push_back(end + 2);
            }
        }
        const std::size_t index = std::size_t(*message.line - 1);
        if (index + 1 < lineStarts.size()) {
            const qsizetype start = lineStarts[index];
            const QByteArrayView line(source.constData() + start,
                                      lineStarts[index + 1] - 2 - start);
            message.column = sourceColumn(line, *message.column);
        }
    }
}

void appendOnce(QList<CheckMessage>& messages, CheckMessage message) {
    if (!messages.contains(message)) {
        messages.append(std::move(message));
    }
}

// The other shader files of the WorkSpace: every file with a stage that no compiled or hidden
// pair takes, and a word for each entry with a shader's name that is no file.
void planFiles(const QString& directory, const PairExtensions& extensions,
               const WorkspaceScan& scan, const QStringList& compiled, WorkspaceCheck& check) {
    // Pair files are found ignoring A-Z case: their case variants are reported, not compiled.
    QSet<QString> taken;
    for (const QStringList* names : {&compiled, &scan.shadowedNames}) {
        for (const QString& name : *names) {
            taken.insert(foldAsciiCase(name + extensions.vertex));
            taken.insert(foldAsciiCase(name + extensions.fragment));
        }
    }
    for (const DirEntry& entry : scan.entries) {
        const std::optional<ShaderStage> stage = stageOfFile(entry.name, extensions);
        if (!stage || !entry.nameDecodes || taken.contains(foldAsciiCase(entry.name))) {
            continue;
        }
        if (scan.unusableFiles.contains(entry.name)) {
            continue;  // reported with its cause already
        }
        if (entry.kind != EntryKind::File) {
            check.problems.append(workspaceProblem(
                directory + entry.name,
                QStringLiteral("not checked: not a regular file (a dangling link, a pipe, a "
                               "socket or a device)")));
            continue;
        }
        FileCheck file;
        file.path = directory + entry.name;
        file.stage = *stage;
        check.files.append(std::move(file));
    }
}

// Shader text holds no NUL byte; a file that does is something else, and the driver would stop
// reading it there without a word.
std::optional<CheckMessage> binaryProblem(const QString& path, const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0) {
        return std::nullopt;
    }
    return CheckMessage{path,
                        std::nullopt,
                        MessageSeverity::Error,
                        QStringLiteral("not checked: a binary file, not shader text (a NUL byte "
                                       "at offset %1)")
                            .arg(nul),
                        MessageOrigin::File,
                        std::nullopt};
}

// The bytes the driver is given: those read ahead, or the file's now. Nothing, with the reason
// added to the messages, for a file that cannot be read or holds no shader text.
std::optional<QByteArray> shaderBytes(const QString& path, const QByteArray* readAhead,
                                      QList<CheckMessage>& messages) {
    QByteArray bytes;
    try {
        bytes = readAhead ? *readAhead : readShaderFile(path);
    } catch (const FileError& error) {
        messages.append(unreadable(error));
        return std::nullopt;
    }
    if (std::optional<CheckMessage> binary = binaryProblem(path, bytes)) {
        messages.append(std::move(*binary));
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

bool operator==(const CheckMessage& a, const CheckMessage& b) {
    return a.path == b.path && a.line == b.line && a.column == b.column &&
           a.severity == b.severity && a.text == b.text && a.origin == b.origin;
}

std::optional<ShaderStage> stageOfFile(const QString& fileName, const PairExtensions& extensions) {
    // Extensions count in any A-Z letter case, as in the WorkSpace (Water.VERT is a vertex file).
    const QString folded = foldAsciiCase(fileName);
    if (folded.endsWith(foldAsciiCase(extensions.vertex)) &&
        fileName.size() > extensions.vertex.size()) {
        return ShaderStage::Vertex;
    }
    if (folded.endsWith(foldAsciiCase(extensions.fragment)) &&
        fileName.size() > extensions.fragment.size()) {
        return ShaderStage::Fragment;
    }
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0) {
        return std::nullopt;
    }
    return stageFromWord(QStringView(fileName).sliced(dot + 1).toString().toLower());
}

WorkspaceCheck planWorkspace(const QString& directory, const PairExtensions& extensions) {
    const WorkspaceScan scan = scanWorkspace(directory, extensions);
    WorkspaceCheck check;
    check.directory = directory;
    check.listedNames = scan.listedNames();
    check.complete = scan.complete();
    reportLoneFiles(directory, extensions, scan, check.problems);
    reportHiddenPairs(directory, extensions, scan, check.problems);
    reportCaseVariantFiles(directory, extensions, scan, check.problems);
    reportUndecodableFiles(directory, scan, check.problems);
    const QStringList compiled = namesToCompile(extensions, scan);
    for (const QString& name : compiled) {
        PairCheck pair;
        pair.name = name;
        pair.vertexPath = findPairFile(directory, name, extensions.vertex);
        pair.fragmentPath = findPairFile(directory, name, extensions.fragment);
        check.pairs.append(std::move(pair));
    }
    planFiles(directory, extensions, scan, compiled, check);
    return check;
}

void readAhead(WorkspaceCheck& check, ReadAheadLimit& limit) {
    for (PairCheck& pair : check.pairs) {
        if (pair.sources) {
            continue;
        }
        if (limit.reached()) {
            return;
        }
        try {
            PairSources sources{readShaderFile(pair.vertexPath), readShaderFile(pair.fragmentPath)};
            limit.bytes -= sources.vertex.size() + sources.fragment.size();
            pair.sources = std::move(sources);
        } catch (const FileError&) {
            // Read again when compiled, and reported then.
        }
    }
    for (FileCheck& file : check.files) {
        readAhead(file, limit);
    }
}

void readAhead(FileCheck& file, ReadAheadLimit& limit) {
    if (file.source || limit.reached()) {
        return;
    }
    try {
        file.source = readShaderFile(file.path);
        limit.bytes -= file.source->size();
    } catch (const FileError&) {
        // Read again when compiled, and reported then.
    }
}

CompileOutcome compilePair(const CompileApis& gl, const PairCheck& pair) {
    CompileOutcome outcome;
    const std::optional<QByteArray> vertex = shaderBytes(
        pair.vertexPath, pair.sources ? &pair.sources->vertex : nullptr, outcome.messages);
    const std::optional<QByteArray> fragment = shaderBytes(
        pair.fragmentPath, pair.sources ? &pair.sources->fragment : nullptr, outcome.messages);
    if (!vertex || !fragment) {
        outcome.checked = false;
        return outcome;
    }
    const CompileResult run = compileAndLinkFileTexts(gl.arb, *vertex, *fragment);
    outcome.messages = pairMessages(runMessages(run.vertexLog, run.fragmentLog, run.linkLog),
                                    pair.vertexPath, pair.fragmentPath);
    placeColumns(outcome.messages, pair.vertexPath, run.vertexSource);
    placeColumns(outcome.messages, pair.fragmentPath, run.fragmentSource);
    outcome.vertexLog = run.vertexLog;
    outcome.fragmentLog = run.fragmentLog;
    outcome.linkLog = run.linkLog;
    return outcome;
}

CompileOutcome compileFile(const CompileApis& gl, const FileCheck& file) {
    CompileOutcome outcome;
    const std::optional<QByteArray> bytes =
        shaderBytes(file.path, file.source ? &*file.source : nullptr, outcome.messages);
    if (!bytes) {
        outcome.checked = false;
        return outcome;
    }
    // Kept from file to file on each thread: a fresh one a file, taken among the many small blocks
    // the driver has just freed, cost twice as long as the conversion. One that a long file made
    // large is let go.
    thread_local QByteArray source;
    withCrLfLineEnds(*bytes, source);
    const auto letGoOfLarge = qScopeGuard([] {
        if (source.capacity() > kKeptBufferSize) {
            source = QByteArray();
        }
    });
    outcome.vertexLog = compileAlone(gl.arb, gl.core, file.stage, source);
    for (const DriverMessage& message : compileLogMessages(outcome.vertexLog, PairSide::Vertex)) {
        appendOnce(outcome.messages,
                   CheckMessage{file.path, message.line, message.severity, message.text,
                                compileOrigin(file.stage), message.column});
    }
    placeColumns(outcome.messages, file.path, source);
    return outcome;
}

void takeOutcome(PairCheck& pair, CompileOutcome&& outcome) {
    pair.sources.reset();
    pair.checked = outcome.checked;
    pair.messages = std::move(outcome.messages);
    pair.vertexLog = std::move(outcome.vertexLog);
    pair.fragmentLog = std::move(outcome.fragmentLog);
    pair.linkLog = std::move(outcome.linkLog);
}

void takeOutcome(FileCheck& file, CompileOutcome&& outcome) {
    file.source.reset();
    file.checked = outcome.checked;
    file.messages = std::move(outcome.messages);
    file.log = std::move(outcome.vertexLog);
}

WorkspaceCheck checkWorkspace(const CompileApis& gl, const QString& directory,
                              const PairExtensions& extensions) {
    WorkspaceCheck check = planWorkspace(directory, extensions);
    ReadAheadLimit limit;
    readAhead(check, limit);
    for (PairCheck& pair : check.pairs) {
        takeOutcome(pair, compilePair(gl, pair));
    }
    for (FileCheck& file : check.files) {
        takeOutcome(file, compileFile(gl, file));
    }
    return check;
}

QList<CheckMessage> pairMessages(const QList<DriverMessage>& messages, const QString& vertexPath,
                                 const QString& fragmentPath) {
    QList<CheckMessage> tied;
    tied.reserve(messages.size());
    for (const DriverMessage& message : messages) {
        appendOnce(tied,
                   CheckMessage{message.pane == PairSide::Fragment ? fragmentPath : vertexPath,
                                message.line, message.severity, message.text, originOf(message.log),
                                message.column});
    }
    return tied;
}

QString fileErrorText(const std::exception& error) {
    return QString::fromStdString(error.what()).replace(u'\n', u' ');
}

}  // namespace tessory
