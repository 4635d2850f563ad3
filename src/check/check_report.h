// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "check/workspace_check.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <variant>

namespace tessory {

// What one argument of the command line gave: a WorkSpace (one for each directory that -r
// walks), or one shader compiled on its own (a file argument, standard input).
using CheckedArgument = std::variant<WorkspaceCheck, FileCheck>;
using CheckResults = QList<CheckedArgument>;

// What the whole run found, over every argument.
struct CheckSummary {
    qsizetype pairsChecked = 0;
    qsizetype pairsWithMessages = 0;
    qsizetype filesChecked = 0;
    qsizetype filesWithMessages = 0;
    qsizetype workspaceProblems = 0;
    qsizetype notChecked = 0;  // pairs and files the driver did not judge (checked false)
    qsizetype errors = 0;      // messages of pairs and files by severity
    qsizetype warnings = 0;

    bool clean() const {
        return pairsWithMessages == 0 && filesWithMessages == 0 && workspaceProblems == 0 &&
               notChecked == 0;
    }
    // Whether the check fails when messages from `lowest` up count.
    bool fails(MessageSeverity lowest) const {
        return errors > 0 || workspaceProblems > 0 || notChecked > 0 ||
               (lowest == MessageSeverity::Warning && warnings > 0);
    }
};

CheckSummary summarize(const CheckResults& results);

// Every message in report order: argument by argument, a WorkSpace's problems first, then its
// pairs in list order, then its other files.
QList<ShaderMessage> allMessages(const CheckResults& results);

// "PATH:LINE:COLUMN: error: TEXT", without the column or the line where the driver gave none.
QString formatMessage(const ShaderMessage& message);

// Every message line, without the summary.
QStringList messageLines(const CheckResults& results);

// "pairs checked: 4, pairs with messages: 1", with the files when there are any, then
// ", WorkSpace problems: N" and ", not checked: N" when there are any.
QString summaryLine(const CheckSummary& summary);

// Facts about the driver that the JSON report names, so that a report says what judged it.
struct DriverInfo {
    QString renderer;
    QString version;
};

// One JSON document: the driver, every WorkSpace with its problems, pairs and files, every file
// argument, every message (file, line and column or null, severity, text, origin), the driver's
// logs, and the summary.
QByteArray jsonReport(const CheckResults& results, const DriverInfo& driver);

// What shapes the printed report besides the results.
struct ReportStyle {
    OutputFormat format = OutputFormat::Text;
    bool quiet = false;  // the messages without the summary
    // A shard's run: each SARIF result says where it stands in the whole run (messagePositions).
    bool positions = false;
};

// The report as the program prints it, in the chosen format.
void writeReport(const CheckResults& results, const ReportStyle& style, const DriverInfo& driver,
                 QTextStream& out);

}  // namespace tessory
