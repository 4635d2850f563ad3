// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_config.h"
#include "compile/program_engine.h"
#include "compile/shader_message.h"
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

// A pair's files as read, before any line end is changed.
struct PairSources {
    QByteArray vertex;
    QByteArray fragment;
    QList<QByteArray> other;  // those of otherStages
};

// A file of a program beside its vertex and fragment files.
struct StageFile {
    ShaderStage stage = ShaderStage::Geometry;
    QString path;
};

// A program: a vertex (or mesh) and a fragment file, with the geometry and tessellation files of
// its base name or those its project file names.
struct PairCheck {
    QString name;
    QString vertexPath;
    QString fragmentPath;
    ShaderStage vertexStage = ShaderStage::Vertex;  // Mesh for a mesh shader's program
    QList<StageFile> otherStages;                   // in the order of the stages
    CompileChoice choice;
    // The files' bytes when read ahead (readAhead); otherwise they are read when compiled.
    std::optional<PairSources> sources;
    // Every message of the run, in log order (vertex, fragment, the others, link), each only
    // once. Not empty exactly when the run said anything, a file could not be read or the driver
    // took too long.
    QList<ShaderMessage> messages;
    // The driver's logs as it wrote them.
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QList<QByteArray> otherLogs;
    QByteArray linkLog;
    // What it was compiled for.
    std::optional<Target> target;
    // False when the pair was not compiled: a file that cannot be read, is too long or is no
    // shader text, an include that cannot be put in place, or a driver that took too long.
    bool checked = true;
    // In a run of one shard: its place among the WorkSpace's pairs of the whole run.
    qsizetype position = -1;
};

// One shader compiled on its own: a file argument, standard input, a file of a WorkSpace without
// its partner, or a stage that has no partner at all.
struct FileCheck {
    QString path;  // as reported; for standard input the name it was given
    ShaderStage stage = ShaderStage::Vertex;
    // The text of standard input, or the file's bytes when read ahead (readAhead); a file without
    // it is read when compiled.
    std::optional<QByteArray> source;
    CompileChoice choice;
    // A lone fragment shader linked with the built-in full-screen vertex stage (--lone ok).
    bool builtInVertex = false;
    QList<ShaderMessage> messages;
    QByteArray log;
    QByteArray linkLog;
    std::optional<Target> target;
    // False when the file was not compiled, for the reasons a pair is not, or for a stage the
    // driver lacks.
    bool checked = true;
    // In a run of one shard: its place among the WorkSpace's files (or, for a file argument,
    // among the arguments) of the whole run.
    qsizetype position = -1;
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
    QList<ShaderMessage> problems;
    // False when a listed name lacks a file: the WorkSpace list would then stay empty.
    bool complete = true;
    // The extensions of the WorkSpace list there.
    PairExtensions pairExtensions;
    // In a run of one shard: the WorkSpace's place among the arguments, and each problem's among
    // the problems of the whole run.
    qsizetype position = -1;
    QList<qsizetype> problemPositions;
};

// What a thread compiles with: the engine, and that thread's contexts.
struct CompileApis {
    const CompileEngine& engine;
    GlContextSource& contexts;
};

// How to plan a WorkSpace beyond its pairs: the directory's rules and the check's settings.
struct PlanRules {
    DirectoryRules directory;
    const CheckConfig* config = nullptr;  // none: default choices, lone files a problem
};

// Scans the WorkSpace as the WorkSpace list does, and finds every other shader file of it (by
// the stage extensions and the usual ones, double extensions, and the stage pragmas of .glsl
// files), with the programs they form; compiles nothing.
WorkspaceCheck planWorkspace(const QString& directory, const PlanRules& rules);
// The same with the default rules for these pair extensions.
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

// The bytes the driver is given: those read ahead, or the file's now. Nothing, with the reason
// added to the messages, for a file that cannot be read or holds no shader text.
std::optional<QByteArray> shaderBytes(const QString& path, const QByteArray* readAhead,
                                      QList<ShaderMessage>& messages);

// The outcome of compiling one pair or file, ready to be put in its place.
struct CompileOutcome {
    QList<ShaderMessage> messages;
    QList<QByteArray> logs;  // per stage, in the program's order
    QByteArray linkLog;
    std::optional<Target> target;
    bool checked = true;  // false when a source was not given to the driver
};
CompileOutcome compilePair(const CompileApis& gl, const PairCheck& pair);
CompileOutcome compileFile(const CompileApis& gl, const FileCheck& file);
void takeOutcome(PairCheck& pair, CompileOutcome&& outcome);
void takeOutcome(FileCheck& file, CompileOutcome&& outcome);

// A FileError's text on one line: "PATH: cause".
QString fileErrorText(const std::exception& error);

}  // namespace tessory
