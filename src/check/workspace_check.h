// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"
#include "compile/driver_messages.h"
#include "compile/shader_stage.h"
#include "workspace/name_rules.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <optional>

namespace tessory {

// Where a checker message comes from: one of the driver's logs, the WorkSpace itself (a lone
// file, a hidden pair), a shader file that could not be read, or a driver that took too long.
enum class MessageOrigin {
    VertexCompile,
    FragmentCompile,
    Link,
    Workspace,
    File,
    GeometryCompile,
    TessControlCompile,
    TessEvaluationCompile,
    ComputeCompile,
    Timeout,
};

// One line of the checker's report, tied to a file.
struct CheckMessage {
    QString path;
    std::optional<qint64> line;  // 1-based
    MessageSeverity severity = MessageSeverity::Error;
    QString text;
    MessageOrigin origin = MessageOrigin::Workspace;
    std::optional<qint64> column;  // 1-based
};

bool operator==(const CheckMessage& a, const CheckMessage& b);

// A pair's two files as read, before any line end is changed.
struct PairSources {
    QByteArray vertex;
    QByteArray fragment;
};

struct PairCheck {
    QString name;
    QString vertexPath;
    QString fragmentPath;
    // The files' bytes when read ahead (readAhead); otherwise they are read when compiled.
    std::optional<PairSources> sources;
    // Every message of the run, in log order (vertex, fragment, link), each only once. Not empty
    // exactly when the run said anything, a file could not be read or the driver took too long.
    QList<CheckMessage> messages;
    // The driver's logs as it wrote them.
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    // False when the pair was not compiled: a file that cannot be read, is too long or is no
    // shader text, or a driver that took too long.
    bool checked = true;
};

// One shader compiled on its own: a file argument, standard input, a file of a WorkSpace without
// its partner, or a stage that has no partner at all.
struct FileCheck {
    QString path;  // as reported; for standard input the name it was given
    ShaderStage stage = ShaderStage::Vertex;
    // The text of standard input, or the file's bytes when read ahead (readAhead); a file without
    // it is read when compiled.
    std::optional<QByteArray> source;
    QList<CheckMessage> messages;
    QByteArray log;
    // False when the file was not compiled, for the reasons a pair is not, or for a stage the
    // driver lacks.
    bool checked = true;
};

struct WorkspaceCheck {
    QString directory;  // ends in "/"
    // What the WorkSpace list shows, in its order; empty when a pair is incomplete, as there.
    QStringList listedNames;
    // The pairs compiled: every base name that has both files, also when another pair is
    // incomplete, in the list's order.
    QList<PairCheck> pairs;
    // Every other shader file, in the byte order of the names.
    QList<FileCheck> files;
    // Lone files (the pair-not-found condition), pairs hidden behind a name that differs only
    // in letter case, files that are not checked; each makes the check fail.
    QList<CheckMessage> problems;
    // False when a listed name lacks a file: the WorkSpace list would then stay empty.
    bool complete = true;
};

// The driver's entry points that one thread compiles with.
struct CompileApis {
    ArbApi arb;
    CoreShaderApi core;
};

// Scans the WorkSpace as the WorkSpace list does, and finds every other shader file of it (by
// the pair extensions and .vert .frag .geom .tesc .tese .comp); compiles nothing.
WorkspaceCheck planWorkspace(const QString& directory, const PairExtensions& extensions);

// How many bytes of sources a run reads before compiling (readAhead); those beyond are read when
// they are compiled.
inline constexpr qint64 kReadAheadBytes = qint64(64) << 20;

// How much more readAhead may read: `bytes`, taken off as it reads, and only while goOn() says so.
struct ReadAheadLimit {
    qint64 bytes = kReadAheadBytes;
    std::function<bool()> goOn = [] { return true; };
    bool reached() const { return bytes <= 0 || !goOn(); }
};

// Reads the sources of the pairs, then of the files, in report order, until the limit is reached.
// One read after another keeps the system's file code in the processor's caches: between two
// compiles each read costs twice as long. A source that cannot be read is left to its compile,
// which reports why, and so is every source after the limit.
void readAhead(WorkspaceCheck& check, ReadAheadLimit& limit);
void readAhead(FileCheck& file, ReadAheadLimit& limit);

// The stage a file name gives: the pair extensions first, then the six usual ones.
std::optional<ShaderStage> stageOfFile(const QString& fileName, const PairExtensions& extensions);

// The outcome of compiling one pair or file, ready to be put in its place.
struct CompileOutcome {
    QList<CheckMessage> messages;
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    bool checked = true;  // false when a source was not given to the driver
};
CompileOutcome compilePair(const CompileApis& gl, const PairCheck& pair);
CompileOutcome compileFile(const CompileApis& gl, const FileCheck& file);
void takeOutcome(PairCheck& pair, CompileOutcome&& outcome);
void takeOutcome(FileCheck& file, CompileOutcome&& outcome);

// planWorkspace and readAhead, then every pair and file compiled in turn on the current context.
WorkspaceCheck checkWorkspace(const CompileApis& gl, const QString& directory,
                              const PairExtensions& extensions);

// The messages of one file run's logs, tied to the pair's files, each only once.
QList<CheckMessage> pairMessages(const QList<DriverMessage>& messages, const QString& vertexPath,
                                 const QString& fragmentPath);

// A FileError's text on one line: "PATH: cause".
QString fileErrorText(const std::exception& error);

}  // namespace tessory
