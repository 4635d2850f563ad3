// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/driver_messages.h"
#include "workspace/name_rules.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

namespace tessory {

// Where a checker message comes from: one of the driver's three logs, the WorkSpace itself (a
// lone file, a hidden pair) or a shader file that could not be read.
enum class MessageOrigin { VertexCompile, FragmentCompile, Link, Workspace, File };

// One line of the checker's report, tied to a file.
struct CheckMessage {
    QString path;
    std::optional<qint64> line;  // 1-based
    MessageSeverity severity = MessageSeverity::Error;
    QString text;
    MessageOrigin origin = MessageOrigin::Workspace;
};

struct PairCheck {
    QString name;
    QString vertexPath;
    QString fragmentPath;
    // Every message of the run, in log order (vertex, fragment, link). Not empty exactly when the
    // run said anything or a file could not be read.
    QList<CheckMessage> messages;
};

struct WorkspaceCheck {
    QString directory;  // ends in "/"
    // What the WorkSpace list shows, in its order; empty when a pair is incomplete, as there.
    QStringList listedNames;
    // The pairs compiled: every base name that has both files, also when another pair is
    // incomplete, in the list's order.
    QList<PairCheck> pairs;
    // Lone files (the pair-not-found condition) and pairs hidden behind a name that differs only
    // in letter case; each makes the check fail.
    QList<CheckMessage> problems;
    // False when a listed name lacks a file: the WorkSpace list would then stay empty.
    bool complete = true;

    qsizetype pairsWithMessages() const;
};

// Scans the WorkSpace as the WorkSpace list does and runs each pair through TShaderMod's file run
// on the current context.
WorkspaceCheck checkWorkspace(const ArbApi& gl, const QString& directory,
                              const PairExtensions& extensions);

// The messages of one file run's logs, tied to the pair's files.
QList<CheckMessage> pairMessages(const QList<DriverMessage>& messages, const QString& vertexPath,
                                 const QString& fragmentPath);

// A FileError's text on one line: "PATH: cause".
QString fileErrorText(const std::exception& error);

}  // namespace tessory
