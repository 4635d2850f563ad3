// SPDX-License-Identifier: MIT
#include "check/check_report.h"

#include "check/check_formats.h"
#include "check/check_shards.h"
#include "texts/win1252.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tessory {
namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

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
        case MessageOrigin::GeometryCompile:
            return QStringLiteral("geometry");
        case MessageOrigin::TessControlCompile:
            return QStringLiteral("tess-control");
        case MessageOrigin::TessEvaluationCompile:
            return QStringLiteral("tess-evaluation");
        case MessageOrigin::ComputeCompile:
            return QStringLiteral("compute");
        case MessageOrigin::Timeout:
            return QStringLiteral("timeout");
        case MessageOrigin::Include:
            return QStringLiteral("include");
        case MessageOrigin::Validate:
            return QStringLiteral("spirv");
        case MessageOrigin::StageCompile:
        case MessageOrigin::Workspace:
        case MessageOrigin::Setup:
            break;
    }
    return QStringLiteral("workspace");
}

QString originWord(const ShaderMessage& message) {
    if (message.origin == MessageOrigin::StageCompile && message.stage) {
        return stageWord(*message.stage);
    }
    return originWord(message.origin);
}

QJsonValue optionalText(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue targetValue(const std::optional<Target>& target) {
    return target ? QJsonValue(targetWord(*target)) : QJsonValue(QJsonValue::Null);
}

// JSON numbers are doubles: exact up to 2^53, far beyond any source file.
QJsonValue optionalNumber(const std::optional<qint64>& value) {
    return value ? QJsonValue(double(*value)) : QJsonValue(QJsonValue::Null);
}

QJsonArray jsonMessages(const QList<ShaderMessage>& messages) {
    QJsonArray array;
    for (const ShaderMessage& message : messages) {
        QJsonArray related;
        for (const SourceLocation& at : message.includedFrom) {
            related.append(QJsonObject{{QStringLiteral("file"), at.path},
                                       {QStringLiteral("line"), optionalNumber(at.line)},
                                       {QStringLiteral("column"), optionalNumber(at.column)}});
        }
        array.append(QJsonObject{
            {QStringLiteral("file"), message.path},
            {QStringLiteral("line"), optionalNumber(message.line)},
            {QStringLiteral("column"), optionalNumber(message.column)},
            {QStringLiteral("severity"), severityWord(message.severity)},
            {QStringLiteral("text"), message.text},
            {QStringLiteral("origin"), originWord(message)},
            {QStringLiteral("stage"),
             message.stage ? QJsonValue(stageWord(*message.stage)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("target"), targetValue(message.target)},
            {QStringLiteral("variant"), optionalText(message.variant)},
            {QStringLiteral("relatedLocations"), related},
        });
    }
    return array;
}

// A shard's report says where each entry stands in the whole run, for --merge to put it back.
QJsonObject withPosition(QJsonObject entry, qsizetype position) {
    if (position >= 0) {
        entry.insert(QStringLiteral("position"), double(position));
    }
    return entry;
}

QJsonObject jsonFile(const FileCheck& file) {
    return withPosition(
        QJsonObject{
            {QStringLiteral("file"), file.path},
            {QStringLiteral("stage"), stageWord(file.stage)},
            {QStringLiteral("target"), targetValue(file.target)},
            {QStringLiteral("variant"), optionalText(file.choice.variant)},
            {QStringLiteral("builtInVertex"), file.builtInVertex},
            {QStringLiteral("checked"), file.checked},
            {QStringLiteral("clean"), file.messages.isEmpty()},
            {QStringLiteral("messages"), jsonMessages(file.messages)},
            {QStringLiteral("log"), fromWin1252(file.log)},
            {QStringLiteral("linkLog"), fromWin1252(file.linkLog)},
        },
        file.position);
}

// Every stage of the program with its file, and the logs by stage.
QJsonObject jsonPair(const PairCheck& pair) {
    QJsonArray stages{QJsonObject{{QStringLiteral("stage"), stageWord(pair.vertexStage)},
                                  {QStringLiteral("file"), pair.vertexPath}},
                      QJsonObject{{QStringLiteral("stage"), stageWord(ShaderStage::Fragment)},
                                  {QStringLiteral("file"), pair.fragmentPath}}};
    QJsonObject log{{QStringLiteral("vertex"), fromWin1252(pair.vertexLog)},
                    {QStringLiteral("fragment"), fromWin1252(pair.fragmentLog)},
                    {QStringLiteral("link"), fromWin1252(pair.linkLog)}};
    for (qsizetype i = 0; i < pair.otherStages.size(); ++i) {
        const QString word = stageWord(pair.otherStages[i].stage);
        stages.append(QJsonObject{{QStringLiteral("stage"), word},
                                  {QStringLiteral("file"), pair.otherStages[i].path}});
        log.insert(word, fromWin1252(pair.otherLogs.value(i)));
    }
    return withPosition(
        QJsonObject{
            {QStringLiteral("name"), pair.name},
            {QStringLiteral("vertex"), pair.vertexPath},
            {QStringLiteral("fragment"), pair.fragmentPath},
            {QStringLiteral("stages"), stages},
            {QStringLiteral("target"), targetValue(pair.target)},
            {QStringLiteral("variant"), optionalText(pair.choice.variant)},
            {QStringLiteral("checked"), pair.checked},
            {QStringLiteral("clean"), pair.messages.isEmpty()},
            {QStringLiteral("messages"), jsonMessages(pair.messages)},
            {QStringLiteral("log"), log},
        },
        pair.position);
}

QJsonObject jsonWorkspace(const WorkspaceCheck& check) {
    QJsonArray pairs;
    for (const PairCheck& pair : check.pairs) {
        pairs.append(jsonPair(pair));
    }
    QJsonArray files;
    for (const FileCheck& file : check.files) {
        files.append(jsonFile(file));
    }
    QJsonArray problems = jsonMessages(check.problems);
    for (qsizetype i = 0; i < check.problemPositions.size() && i < problems.size(); ++i) {
        problems[i] = withPosition(problems[i].toObject(), check.problemPositions[i]);
    }
    return QJsonObject{
        {QStringLiteral("directory"), check.directory},
        {QStringLiteral("complete"), check.complete},
        {QStringLiteral("problems"), problems},
        {QStringLiteral("pairs"), pairs},
        {QStringLiteral("files"), files},
    };
}

void countMessages(const QList<ShaderMessage>& messages, CheckSummary& summary) {
    for (const ShaderMessage& message : messages) {
        if (message.origin == MessageOrigin::Timeout) {
            continue;
        }
        ++(message.severity == MessageSeverity::Warning ? summary.warnings : summary.errors);
    }
}

void addFile(const FileCheck& file, CheckSummary& summary) {
    if (!file.checked) {
        ++summary.notChecked;
        return;
    }
    ++summary.filesChecked;
    summary.filesWithMessages += file.messages.isEmpty() ? 0 : 1;
    countMessages(file.messages, summary);
}

}  // namespace

CheckSummary summarize(const CheckResults& results) {
    CheckSummary summary;
    for (const CheckedArgument& argument : results) {
        std::visit(Overloaded{[&](const WorkspaceCheck& check) {
                                  for (const PairCheck& pair : check.pairs) {
                                      if (!pair.checked) {
                                          ++summary.notChecked;
                                          continue;
                                      }
                                      ++summary.pairsChecked;
                                      summary.pairsWithMessages += pair.messages.isEmpty() ? 0 : 1;
                                      countMessages(pair.messages, summary);
                                  }
                                  for (const FileCheck& file : check.files) {
                                      addFile(file, summary);
                                  }
                                  summary.workspaceProblems += check.problems.size();
                              },
                              [&](const FileCheck& file) { addFile(file, summary); }},
                   argument);
    }
    return summary;
}

QList<ShaderMessage> allMessages(const CheckResults& results) {
    QList<ShaderMessage> messages;
    for (const CheckedArgument& argument : results) {
        std::visit(Overloaded{[&](const WorkspaceCheck& check) {
                                  messages.append(check.problems);
                                  for (const PairCheck& pair : check.pairs) {
                                      messages.append(pair.messages);
                                  }
                                  for (const FileCheck& file : check.files) {
                                      messages.append(file.messages);
                                  }
                              },
                              [&](const FileCheck& file) { messages.append(file.messages); }},
                   argument);
    }
    return messages;
}

QString formatMessage(const ShaderMessage& message) {
    QString location = message.path;
    if (message.line) {
        location += u':' + QString::number(*message.line);
        if (message.column) {
            location += u':' + QString::number(*message.column);
        }
    }
    const QString variant = message.variant.isEmpty()
                                ? QString()
                                : QStringLiteral(" (variant %1)").arg(message.variant);
    return QStringLiteral("%1: %2: %3%4")
        .arg(location, severityWord(message.severity), message.text, variant);
}

QStringList messageLines(const CheckResults& results) {
    QStringList lines;
    for (const ShaderMessage& message : allMessages(results)) {
        lines.append(formatMessage(message));
    }
    return lines;
}

QString summaryLine(const CheckSummary& summary) {
    QString line = QStringLiteral("pairs checked: %1, pairs with messages: %2")
                       .arg(summary.pairsChecked)
                       .arg(summary.pairsWithMessages);
    if (summary.filesChecked > 0 || summary.filesWithMessages > 0) {
        line += QStringLiteral(", files checked: %1, files with messages: %2")
                    .arg(summary.filesChecked)
                    .arg(summary.filesWithMessages);
    }
    if (summary.workspaceProblems > 0) {
        line += QStringLiteral(", WorkSpace problems: %1").arg(summary.workspaceProblems);
    }
    if (summary.notChecked > 0) {
        line += QStringLiteral(", not checked: %1").arg(summary.notChecked);
    }
    return line;
}

QByteArray jsonReport(const CheckResults& results, const DriverInfo& driver) {
    QJsonArray workspaces;
    QJsonArray files;
    for (const CheckedArgument& argument : results) {
        std::visit(Overloaded{[&](const WorkspaceCheck& check) {
                                  workspaces.append(jsonWorkspace(check));
                              },
                              [&](const FileCheck& file) { files.append(jsonFile(file)); }},
                   argument);
    }
    const CheckSummary summary = summarize(results);
    const QJsonObject root{
        {QStringLiteral("driver"), QJsonObject{{QStringLiteral("renderer"), driver.renderer},
                                               {QStringLiteral("version"), driver.version}}},
        {QStringLiteral("workspaces"), workspaces},
        {QStringLiteral("files"), files},
        {QStringLiteral("summary"),
         QJsonObject{
             {QStringLiteral("pairsChecked"), double(summary.pairsChecked)},
             {QStringLiteral("pairsWithMessages"), double(summary.pairsWithMessages)},
             {QStringLiteral("filesChecked"), double(summary.filesChecked)},
             {QStringLiteral("filesWithMessages"), double(summary.filesWithMessages)},
             {QStringLiteral("workspaceProblems"), double(summary.workspaceProblems)},
             {QStringLiteral("notChecked"), double(summary.notChecked)},
             {QStringLiteral("clean"), summary.clean()},
         }},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void writeReport(const CheckResults& results, const ReportStyle& style, const DriverInfo& driver,
                 QTextStream& out) {
    switch (style.format) {
        case OutputFormat::Json:
            out << QString::fromUtf8(jsonReport(results, driver));
            return;
        case OutputFormat::Sarif:
            out << QString::fromUtf8(
                sarifReport(allMessages(results),
                            style.positions ? messagePositions(results) : QList<QJsonArray>()));
            return;
        case OutputFormat::Github:
            for (const QString& line : githubLines(allMessages(results))) {
                out << line << '\n';
            }
            break;
        case OutputFormat::Text:
            for (const QString& line : messageLines(results)) {
                out << line << '\n';
            }
            break;
    }
    if (!style.quiet) {
        out << summaryLine(summarize(results)) << '\n';
    }
}

}  // namespace tessory
