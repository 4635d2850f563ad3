// SPDX-License-Identifier: MIT
#include "check/check_formats.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace tessory {
namespace {

struct Rule {
    QStringView id;
    QStringView description;
};

constexpr Rule kRules[] = {
    {u"compile", u"The driver's compiler reported a message for this shader."},
    {u"link", u"The driver's linker reported a message for this shader pair."},
    {u"workspace", u"A shader file has no partner, or is hidden or left out of the WorkSpace."},
    {u"file", u"A shader file could not be read or is not shader text."},
    {u"timeout", u"The driver took longer than the time limit; the shader was not checked."},
    {u"include", u"An #include or a define could not be put in place."},
    {u"spirv", u"The SPIR-V validator rejected the module the shader compiles to."},
};

int ruleIndex(MessageOrigin origin) {
    switch (origin) {
        case MessageOrigin::Link:
            return 1;
        case MessageOrigin::Workspace:
        case MessageOrigin::Setup:
            return 2;
        case MessageOrigin::File:
            return 3;
        case MessageOrigin::Timeout:
            return 4;
        case MessageOrigin::Include:
            return 5;
        case MessageOrigin::Validate:
            return 6;
        default:
            return 0;
    }
}

QJsonArray sarifRules() {
    QJsonArray rules;
    for (const Rule& rule : kRules) {
        rules.append(QJsonObject{
            {QStringLiteral("id"), rule.id.toString()},
            {QStringLiteral("shortDescription"),
             QJsonObject{{QStringLiteral("text"), rule.description.toString()}}},
            {QStringLiteral("defaultConfiguration"),
             QJsonObject{{QStringLiteral("level"), QStringLiteral("error")}}},
        });
    }
    return rules;
}

QJsonObject physicalLocation(const SourceLocation& at) {
    QJsonObject physical{
        {QStringLiteral("artifactLocation"),
         QJsonObject{{QStringLiteral("uri"),
                      QString::fromLatin1(QUrl::toPercentEncoding(pathFromWorkingDirectory(at.path),
                                                                  QByteArrayLiteral("/")))},
                     {QStringLiteral("uriBaseId"), QStringLiteral("%SRCROOT%")}}}};
    if (at.line) {
        QJsonObject region{{QStringLiteral("startLine"), double(*at.line)}};
        if (at.column) {
            region.insert(QStringLiteral("startColumn"), double(*at.column));
        }
        physical.insert(QStringLiteral("region"), region);
    }
    return physical;
}

QJsonObject sarifResult(const ShaderMessage& message) {
    const int rule = ruleIndex(message.origin);
    QJsonObject result{
        {QStringLiteral("ruleId"), kRules[rule].id.toString()},
        {QStringLiteral("ruleIndex"), rule},
        {QStringLiteral("level"), message.severity == MessageSeverity::Warning
                                      ? QStringLiteral("warning")
                                      : QStringLiteral("error")},
        {QStringLiteral("message"), QJsonObject{{QStringLiteral("text"), message.text}}},
        {QStringLiteral("locations"),
         QJsonArray{QJsonObject{{QStringLiteral("physicalLocation"),
                                 physicalLocation({message.path, message.line, message.column})}}}},
    };
    // The #include lines that led to the file, innermost first.
    QJsonArray related;
    for (qsizetype i = 0; i < message.includedFrom.size(); ++i) {
        related.append(QJsonObject{
            {QStringLiteral("id"), double(i + 1)},
            {QStringLiteral("physicalLocation"), physicalLocation(message.includedFrom[i])},
            {QStringLiteral("message"),
             QJsonObject{{QStringLiteral("text"), engineTexts(false).includedFrom}}}});
    }
    if (!related.isEmpty()) {
        result.insert(QStringLiteral("relatedLocations"), related);
    }
    QJsonObject properties;
    if (message.target) {
        properties.insert(QStringLiteral("target"), targetWord(*message.target));
    }
    if (message.stage) {
        properties.insert(QStringLiteral("stage"), stageWord(*message.stage));
    }
    if (!message.variant.isEmpty()) {
        properties.insert(QStringLiteral("variant"), message.variant);
    }
    if (!properties.isEmpty()) {
        result.insert(QStringLiteral("properties"), properties);
    }
    return result;
}

// The escapes of the workflow commands: data loses its line breaks, property values also their
// ":" and ",", which would end the value.
QString escapeData(QString text) {
    return text.replace(u'%', QStringLiteral("%25"))
        .replace(u'\r', QStringLiteral("%0D"))
        .replace(u'\n', QStringLiteral("%0A"));
}

QString escapeProperty(const QString& text) {
    return escapeData(text)
        .replace(u':', QStringLiteral("%3A"))
        .replace(u',', QStringLiteral("%2C"));
}

}  // namespace

QString pathFromWorkingDirectory(const QString& path) {
    return QDir::current().relativeFilePath(QFileInfo(path).absoluteFilePath());
}

QByteArray sarifReport(const QList<ShaderMessage>& messages, const QList<QJsonArray>& positions) {
    QJsonArray results;
    for (qsizetype i = 0; i < messages.size(); ++i) {
        QJsonObject result = sarifResult(messages[i]);
        if (i < positions.size()) {
            QJsonObject properties = result.value(QStringLiteral("properties")).toObject();
            properties.insert(QStringLiteral("position"), positions[i]);
            result.insert(QStringLiteral("properties"), properties);
        }
        results.append(result);
    }
    const QJsonObject driver{
        {QStringLiteral("name"), QStringLiteral("glsl-tessory-check")},
        {QStringLiteral("version"), QStringLiteral(TESSORY_VERSION)},
        {QStringLiteral("rules"), sarifRules()},
    };
    const QJsonObject run{
        {QStringLiteral("tool"), QJsonObject{{QStringLiteral("driver"), driver}}},
        {QStringLiteral("originalUriBaseIds"),
         QJsonObject{
             {QStringLiteral("%SRCROOT%"),
              QJsonObject{{QStringLiteral("uri"), QUrl::fromLocalFile(QDir::currentPath() + u'/')
                                                      .toString(QUrl::FullyEncoded)}}}}},
        {QStringLiteral("results"), results},
    };
    const QJsonObject log{
        {QStringLiteral("$schema"),
         QStringLiteral("https://json.schemastore.org/sarif-2.1.0.json")},
        {QStringLiteral("version"), QStringLiteral("2.1.0")},
        {QStringLiteral("runs"), QJsonArray{run}},
    };
    return QJsonDocument(log).toJson(QJsonDocument::Indented);
}

QStringList githubLines(const QList<ShaderMessage>& messages) {
    QStringList lines;
    for (const ShaderMessage& message : messages) {
        QString properties =
            QStringLiteral("file=") + escapeProperty(pathFromWorkingDirectory(message.path));
        if (message.line) {
            properties += QStringLiteral(",line=") + QString::number(*message.line);
            if (message.column) {
                properties += QStringLiteral(",col=") + QString::number(*message.column);
            }
        }
        const QString variant = message.variant.isEmpty()
                                    ? QString()
                                    : QStringLiteral(" (variant %1)").arg(message.variant);
        lines.append(QStringLiteral("::%1 %2::%3")
                         .arg(message.severity == MessageSeverity::Warning
                                  ? QStringLiteral("warning")
                                  : QStringLiteral("error"),
                              properties, escapeData(message.text + variant)));
    }
    return lines;
}

}  // namespace tessory
