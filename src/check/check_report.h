// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "check/workspace_check.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace tessory {

// What the whole run found, over every WorkSpace.
struct CheckSummary {
    qsizetype pairsChecked = 0;
    qsizetype pairsWithMessages = 0;
    qsizetype workspaceProblems = 0;

    bool clean() const { return pairsWithMessages == 0 && workspaceProblems == 0; }
};

CheckSummary summarize(const QList<WorkspaceCheck>& checks);

// "PATH:LINE: error: TEXT", or "PATH: warning: TEXT" without a line.
QString formatMessage(const CheckMessage& message);

// Every message line, WorkSpace by WorkSpace (its problems first, then its pairs in list order),
// without the summary.
QStringList messageLines(const QList<WorkspaceCheck>& checks);

// "pairs checked: 4, pairs with messages: 1", with ", lone or hidden files: N" when there are any.
QString summaryLine(const CheckSummary& summary);

// Facts about the driver that the JSON report names, so that a report says what judged it.
struct DriverInfo {
    QString renderer;
    QString version;
};

// One JSON document: the driver, every WorkSpace with its problems and pairs, every pair with its
// files and messages (file, line or null, severity, text, origin), and the summary.
QByteArray jsonReport(const QList<WorkspaceCheck>& checks, const DriverInfo& driver);

// The report as the program prints it: the message lines and the summary line, or the JSON.
void writeReport(const QList<WorkspaceCheck>& checks, OutputFormat format, const DriverInfo& driver,
                 QTextStream& out);

}  // namespace tessory
