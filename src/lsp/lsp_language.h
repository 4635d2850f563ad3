// SPDX-License-Identifier: MIT
#pragma once

#include "compile/target.h"
#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"
#include "lsp/lsp_documents.h"

#include <QHash>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tessory {

// The editor's own language queries on the open documents, answered as LSP results. A
// document's program is the document with the open documents of the same base name beside it
// (water.vert with water.frag), each parsed in its own stage's context.
class LspLanguage {
public:
    LspLanguage(const LspDocuments& documents, std::optional<Target> target,
                QStringList includeDirs);

    // CompletionList, Hover (or null), SignatureHelp (or null), Location (or null) and
    // DocumentSymbol[]; null for a document that is not open.
    QJsonValue completion(const QString& path, glsl::TextPosition at);
    QJsonValue hover(const QString& path, glsl::TextPosition at);
    QJsonValue signatureHelp(const QString& path, glsl::TextPosition at);
    QJsonValue definition(const QString& path, glsl::TextPosition at);
    QJsonValue documentSymbols(const QString& path);

private:
    std::shared_ptr<const glsl::ParsedDocument> parsed(const QString& path);
    // The program of an open document, the document itself first.
    glsl::Program program(const QString& path);
    std::optional<glsl::SourceSection> include(const QString& name, const QString& from) const;

    struct Parse {
        int version = 0;
        std::shared_ptr<const glsl::ParsedDocument> document;
    };
    const LspDocuments& documents_;
    glsl::Target target_;
    QStringList includeDirs_;
    QHash<QString, Parse> parses_;
};

}  // namespace tessory
