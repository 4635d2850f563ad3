// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "check/workspace_check.h"
#include "lsp/lsp_documents.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace tessory {

// An LSP Diagnostic for a checker message: 0-based, the column's character (or the whole line
// where the driver gave no column; line 0 where it gave no line).
QJsonObject lspDiagnostic(const ShaderMessage& message);

struct FileDiagnostics {
    QString path;
    QJsonArray diagnostics;
};

// Checks the program (or lone file) that `path` belongs to as the checker checks its WorkSpace:
// the same project file, targets, includes, variants and engine, in a child process that loads
// the driver, with open documents as their texts stand. Gives every file of the program (and
// every other file a message is on) its diagnostics, empty ones included so that old ones go.
QList<FileDiagnostics> checkDocument(const QString& path, const LspDocuments& documents,
                                     const CheckOptions& options);

}  // namespace tessory
