// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_report.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>

namespace tessory {

// Whether the file at `path` belongs to the `index`-th (from 1) of `count` shares. The share
// comes from a hash of the path as seen from the working directory, so that every machine of a
// CI matrix agrees on it and a file keeps its share as other files come and go.
bool inShard(const QString& path, int index, int count);

// Keeps the pairs (by their first stage's file, so that every variant of a program goes with
// it), files and WorkSpace problems of one share, each with its place in the whole run. Every
// WorkSpace stays, with what is left of it, so that the shards' reports line up.
void keepShard(CheckResults& results, int index, int count);

// For each message of allMessages(results), where it stands in the whole run: the argument's
// place, the part of it (problems, pairs, files), the entry's place there and the message's in it.
QList<QJsonArray> messagePositions(const CheckResults& results);

// The report of the whole run from the JSON reports, or the SARIF logs, of its shards.
struct MergedReport {
    QByteArray report;
    QString error;          // why the reports do not merge: unreadable, of two kinds, of other runs
    bool findings = false;  // whether the whole run would fail at --severity warning
};
MergedReport mergeReports(const QList<QByteArray>& reports, const QStringList& names);

}  // namespace tessory
