// SPDX-License-Identifier: MIT
#include "check/check_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessory {
namespace {

QString severityWord(MessageSeverity severity) {
    return severity == MessageSeverity::Warning ? QStringLiteral("warning")
                                                : QStringLiteral("error");
}

QString originWord(MessageOrigin origin) {
    switch (origin) {
        case MessageOrigin::VertexCompile:
            return QStringLiteral("vertex");
        case MessageOrigin::FragmentCompile:
            return QStringLiteral("fragment");
        case MessageOrigin::Link:
            return QStringLiteral("link");
        case MessageOrigin::File:
            return QStringLiteral("file");
        case MessageOrigin::Workspace:
            break;
    }
    return QStringLiteral("workspace");
}

QJsonArray jsonMessages(const QList<CheckMessage>& messages) {
    QJsonArray array;
    for (const CheckMessage& message : messages) {
        array.append(QJsonObject{
            {QStringLiteral("file"), message.path},
            // JSON numbers are doubles: exact up to 2^53, far beyond any source file.
            {QStringLiteral("line"),
             message.line ? QJsonValue(double(*message.line)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("severity"), severityWord(message.severity)},
            {QStringLiteral("text"), message.text},
            {QStringLiteral("origin"), originWord(message.origin)},
        });
    }
    return array;
}

QJsonObject jsonWorkspace(const WorkspaceCheck& check) {
    QJsonArray pairs;
    for (const PairCheck& pair : check.pairs) {
        pairs.append(QJsonObject{
            {QStringLiteral("name"), pair.name},
            {QStringLiteral("vertex"), pair.vertexPath},
            {QStringLiteral("fragment"), pair.fragmentPath},
            {QStringLiteral("clean"), pair.messages.isEmpty()},
            {QStringLiteral("messages"), jsonMessages(pair.messages)},
        });
    }
    return QJsonObject{
        {QStringLiteral("directory"), check.directory},
        {QStringLiteral("complete"), check.complete},
        {QStringLiteral("problems"), jsonMessages(check.problems)},
        {QStringLiteral("pairs"), pairs},
    };
}

}  // namespace

CheckSummary summarize(const QList<WorkspaceCheck>& checks) {
    CheckSummary summary;
    for (const WorkspaceCheck& check : checks) {
        summary.pairsChecked += check.pairs.size();
        summary.pairsWithMessages += check.pairsWithMessages();
        summary.workspaceProblems += check.problems.size();
    }
    return summary;
}

QString formatMessage(const CheckMessage& message) {
    QString location = message.path;
    if (message.line) {
        location += u':' + QString::number(*message.line);
    }
    return QStringLiteral("%1: %2: %3").arg(location, severityWord(message.severity), message.text);
}

QStringList messageLines(const QList<WorkspaceCheck>& checks) {
    QStringList lines;
    for (const WorkspaceCheck& check : checks) {
        for (const CheckMessage& problem : check.problems) {
            lines.append(formatMessage(problem));
        }
        for (const PairCheck& pair : check.pairs) {
            for (const CheckMessage& message : pair.messages) {
                lines.append(formatMessage(message));
            }
        }
    }
    return lines;
}

QString summaryLine(const CheckSummary& summary) {
    QString line = QStringLiteral("pairs checked: %1, pairs with messages: %2")
                       .arg(summary.pairsChecked)
                       .arg(summary.pairsWithMessages);
    if (summary.workspaceProblems > 0) {
        line += QStringLiteral(", WorkSpace problems: %1").arg(summary.workspaceProblems);
    }
    return line;
}

QByteArray jsonReport(const QList<WorkspaceCheck>& checks, const DriverInfo& driver) {
    QJsonArray workspaces;
    for (const WorkspaceCheck& check : checks) {
        workspaces.append(jsonWorkspace(check));
    }
    const CheckSummary summary = summarize(checks);
    const QJsonObject root{
        {QStringLiteral("driver"), QJsonObject{{QStringLiteral("renderer"), driver.renderer},
                                               {QStringLiteral("version"), driver.version}}},
        {QStringLiteral("workspaces"), workspaces},
        {QStringLiteral("summary"),
         QJsonObject{
             {QStringLiteral("pairsChecked"), double(summary.pairsChecked)},
             {QStringLiteral("pairsWithMessages"), double(summary.pairsWithMessages)},
             {QStringLiteral("workspaceProblems"), double(summary.workspaceProblems)},
             {QStringLiteral("clean"), summary.clean()},
         }},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void writeReport(const QList<WorkspaceCheck>& checks, OutputFormat format, const DriverInfo& driver,
                 QTextStream& out) {
    if (format == OutputFormat::Json) {
        out << QString::fromUtf8(jsonReport(checks, driver));
        return;
    }
    for (const QString& line : messageLines(checks)) {
        out << line << '\n';
    }
    out << summaryLine(summarize(checks)) << '\n';
}

}  // namespace tessory
