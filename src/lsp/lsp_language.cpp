// SPDX-License-Identifier: MIT
#include "lsp/lsp_language.h"

#include "editor/glsl_completion.h"
#include "editor/glsl_context.h"
#include "editor/glsl_hover.h"
#include "editor/glsl_navigation.h"
#include "editor/glsl_signature_help.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace tessory {
namespace {

glsl::Target languageTarget(std::optional<Target> target) {
    switch (target.value_or(Target::Gl)) {
        case Target::GlCore:
            return glsl::Target::GlCore;
        case Target::Gles:
            return glsl::Target::Gles;
        case Target::Vulkan:
            return glsl::Target::Vulkan;
        case Target::Gl:
            break;
    }
    return glsl::Target::GlCompatibility;
}

// By the last extension, or for NAME.STAGE.glsl the one before it.
glsl::Stage stageOf(const QString& path) {
    const QStringList parts = QFileInfo(path).fileName().split(u'.');
    for (qsizetype i = parts.size() - 1; i >= 1 && i >= parts.size() - 2; --i) {
        if (const auto stage = glsl::stageForExtension(parts[i])) {
            return *stage;
        }
    }
    return glsl::Stage::Fragment;
}

QString baseName(const QString& path) {
    return QFileInfo(path).absolutePath() + u'/' + QFileInfo(path).fileName().section(u'.', 0, 0);
}

QJsonObject position(int line, int character) {
    return QJsonObject{{QStringLiteral("line"), line}, {QStringLiteral("character"), character}};
}

QJsonObject range(glsl::TextPosition start, glsl::TextPosition end) {
    return QJsonObject{{QStringLiteral("start"), position(start.line, start.column)},
                       {QStringLiteral("end"), position(end.line, end.column)}};
}

// The LSP CompletionItemKind of each kind of item.
int completionKind(glsl::CompletionKind kind) {
    switch (kind) {
        case glsl::CompletionKind::Keyword:
            return 14;
        case glsl::CompletionKind::Type:
            return 7;
        case glsl::CompletionKind::Function:
            return 3;
        case glsl::CompletionKind::Constant:
            return 21;
        case glsl::CompletionKind::Member:
            return 5;
        case glsl::CompletionKind::Swizzle:
            return 10;
        case glsl::CompletionKind::Variable:
            break;
    }
    return 6;
}

// The LSP SymbolKind.
int symbolKind(glsl::SymbolKind kind) {
    switch (kind) {
        case glsl::SymbolKind::Function:
            return 12;
        case glsl::SymbolKind::Struct:
            return 23;
        case glsl::SymbolKind::Block:
            return 11;
        case glsl::SymbolKind::Constant:
            return 14;
        default:
            break;
    }
    return 13;
}

}  // namespace

LspLanguage::LspLanguage(const LspDocuments& documents, std::optional<Target> target,
                         QStringList includeDirs)
    : documents_(documents), target_(languageTarget(target)), includeDirs_(std::move(includeDirs)) {
    for (QString& directory : includeDirs_) {
        directory = QDir::cleanPath(QFileInfo(directory).absoluteFilePath()) + u'/';
    }
}

std::optional<glsl::SourceSection> LspLanguage::include(const QString& name,
                                                        const QString& from) const {
    QStringList candidates{QFileInfo(from).absolutePath() + u'/' + name};
    for (const QString& directory : includeDirs_) {
        candidates.append(directory + name);
    }
    for (const QString& candidate : candidates) {
        const QString path = QDir::cleanPath(candidate);
        const bool allowed =
            documents_.inFolders(path) ||
            std::any_of(includeDirs_.begin(), includeDirs_.end(),
                        [&](const QString& directory) { return path.startsWith(directory); });
        if (!allowed) {
            continue;
        }
        if (const std::optional<QString> text = documents_.textOf(path)) {
            return glsl::SourceSection{path, *text, 0};
        }
    }
    return std::nullopt;
}

std::shared_ptr<const glsl::ParsedDocument> LspLanguage::parsed(const QString& path) {
    const int version = documents_.version(path);
    if (const auto it = parses_.constFind(path);
        it != parses_.constEnd() && it->version == version) {
        return it->document;
    }
    const QString text = documents_.text(path);
    const glsl::LanguageContext context =
        glsl::detectContext(QStringView(text), target_, stageOf(path));
    const auto sections = glsl::expandIncludes(
        path, text,
        [this](const QString& name, const QString& from) { return include(name, from); });
    auto document = glsl::parseDocument(context, sections);
    parses_.insert(path, Parse{version, document});
    return document;
}

glsl::Program LspLanguage::program(const QString& path) {
    for (auto it = parses_.begin(); it != parses_.end();) {
        it = documents_.isOpen(it.key()) ? std::next(it) : parses_.erase(it);
    }
    glsl::Program program{parsed(path)};
    const QString base = baseName(path);
    for (const QString& other : documents_.openPaths()) {
        if (other != path && baseName(other) == base) {
            program.append(parsed(other));
        }
    }
    return program;
}

QJsonValue LspLanguage::completion(const QString& path, glsl::TextPosition at) {
    if (!documents_.isOpen(path)) {
        return QJsonValue::Null;
    }
    const glsl::Completion completion =
        glsl::complete(program(path), 0, documents_.text(path), at, 200);
    QJsonArray items;
    for (const glsl::CompletionItem& item : completion.items) {
        items.append(QJsonObject{
            {QStringLiteral("label"), item.label},
            {QStringLiteral("kind"), completionKind(item.kind)},
            {QStringLiteral("detail"), item.detail},
            {QStringLiteral("textEdit"),
             QJsonObject{{QStringLiteral("range"), range(completion.replaceFrom, at)},
                         {QStringLiteral("newText"), item.label}}},
        });
    }
    // With the limit, a longer prefix may bring items the list left out.
    return QJsonObject{{QStringLiteral("isIncomplete"), items.size() >= 200},
                       {QStringLiteral("items"), items}};
}

QJsonValue LspLanguage::hover(const QString& path, glsl::TextPosition at) {
    if (!documents_.isOpen(path)) {
        return QJsonValue::Null;
    }
    const auto found = glsl::hover(program(path), 0, documents_.text(path), at, false);
    if (!found) {
        return QJsonValue::Null;
    }
    return QJsonObject{
        {QStringLiteral("contents"),
         QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")},
                     {QStringLiteral("value"), found->text}}},
        {QStringLiteral("range"), range(found->range.start, found->range.end)},
    };
}

QJsonValue LspLanguage::signatureHelp(const QString& path, glsl::TextPosition at) {
    if (!documents_.isOpen(path)) {
        return QJsonValue::Null;
    }
    const auto help = glsl::signatureHelp(program(path), 0, documents_.text(path), at);
    if (!help) {
        return QJsonValue::Null;
    }
    QJsonArray signatures;
    for (const glsl::FunctionSignature& overload : help->overloads) {
        QJsonArray parameters;
        for (const glsl::Parameter& parameter : overload.parameters) {
            parameters.append(QJsonObject{
                {QStringLiteral("label"), glsl::FunctionSignature::parameterText(parameter)}});
        }
        signatures.append(QJsonObject{{QStringLiteral("label"), overload.text()},
                                      {QStringLiteral("parameters"), parameters}});
    }
    return QJsonObject{{QStringLiteral("signatures"), signatures},
                       {QStringLiteral("activeSignature"), help->activeOverload},
                       {QStringLiteral("activeParameter"), help->activeParameter}};
}

QJsonValue LspLanguage::definition(const QString& path, glsl::TextPosition at) {
    if (!documents_.isOpen(path)) {
        return QJsonValue::Null;
    }
    const auto found = glsl::definition(program(path), 0, documents_.text(path), at);
    if (!found) {
        return QJsonValue::Null;
    }
    const glsl::TextPosition start{found->line, found->column};
    return QJsonObject{
        {QStringLiteral("uri"), LspDocuments::uriOf(found->file.isEmpty() ? path : found->file)},
        {QStringLiteral("range"), range(start, start)}};
}

QJsonValue LspLanguage::documentSymbols(const QString& path) {
    if (!documents_.isOpen(path)) {
        return QJsonValue::Null;
    }
    QJsonArray symbols;
    for (const glsl::OutlineEntry& entry : glsl::outline(*parsed(path))) {
        const glsl::TextPosition start{entry.line, entry.column};
        const QJsonObject whole =
            range({entry.line, 0}, {std::max(entry.endLine, entry.line) + 1, 0});
        symbols.append(QJsonObject{
            {QStringLiteral("name"), entry.name},
            {QStringLiteral("detail"), entry.detail},
            {QStringLiteral("kind"), symbolKind(entry.kind)},
            {QStringLiteral("range"), whole},
            {QStringLiteral("selectionRange"),
             range(start, {entry.line, entry.column + int(entry.name.size())})},
        });
    }
    return symbols;
}

}  // namespace tessory
