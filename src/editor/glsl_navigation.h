// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"

#include <QList>

#include <optional>

namespace tessory::glsl {

struct Location {
    QString file;
    int line = 0;
    int column = 0;
    friend bool operator==(const Location&, const Location&) = default;
};

// The declaration of the name at `at`: the local in scope, or the program's declaration of it,
// found in the document itself first, then in the program's other documents (a uniform both
// stages declare), then in included files; a member's declaration in its struct or block.
// Nothing for builtins.
std::optional<Location> definition(const Program& program, int document, const QString& text,
                                   TextPosition at);

// The file an #include line names (between its quotes or angle brackets), with where the name
// starts and ends in the line; nothing for any other line.
struct IncludeName {
    QString name;
    int start = 0;
    int end = 0;
};
std::optional<IncludeName> includeNameOf(QStringView line);

struct OutlineEntry {
    QString name;
    SymbolKind kind = SymbolKind::Function;
    QString detail;  // a function's signature, a declaration's qualifier and type
    int line = 0;
    int column = 0;
    int endLine = 0;  // where a function's body ends; the entry's own line for the others
};

// The document's own declarations at file scope in source order: functions (definitions and
// prototypes), structs, blocks, uniforms, inputs, outputs, globals and constants.
QList<OutlineEntry> outline(const ParsedDocument& document);

// The entry to show for a line: the function whose body holds it, or else the last entry that
// starts at or before it; -1 when the line is before them all.
int outlineEntryAt(const QList<OutlineEntry>& entries, int line);

}  // namespace tessory::glsl
