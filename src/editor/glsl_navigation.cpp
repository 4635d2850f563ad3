// SPDX-License-Identifier: MIT
#include "editor/glsl_navigation.h"

#include "editor/glsl_resolve.h"

#include <QRegularExpression>

#include <algorithm>

namespace tessory::glsl {

std::optional<Location> definition(const Program& program, int document, const QString& text,
                                   TextPosition at) {
    if (document < 0 || document >= program.size() || !program[document])
        return std::nullopt;
    const qsizetype offset = offsetOf(text, at);
    const Span span = identifierAt(text, offset);
    if (!span.isValid() || lexBefore(text, span.start).inComment)
        return std::nullopt;
    const QString name = text.sliced(span.start, span.end - span.start);
    qsizetype before = span.start;
    while (before > 0 && text[before - 1].isSpace() && text[before - 1] != u'\n')
        --before;
    if (before > 0 && text[before - 1] == u'.') {
        const auto chain = accessChainBeforeDot(text, lexBefore(text, span.start));
        const auto owner = chain ? typeOf(program, document, *chain, at) : std::nullopt;
        if (!owner || !owner->type.aggregate)
            return std::nullopt;
        const Aggregate* a = owner->document->aggregate(owner->type.name);
        const Field* f = a ? a->field(name) : nullptr;
        if (!f || f->line < 0)
            return std::nullopt;
        return Location{f->file, f->line, f->column};
    }
    const std::vector<Found> found = findUserSymbols(program, document, name, at);
    if (found.empty())
        return std::nullopt;
    const Symbol& s = *found.front().symbol;
    return Location{s.file, s.line, s.column};
}

namespace {

bool inOutline(const Symbol& s) {
    switch (s.kind) {
        case SymbolKind::Parameter:
        case SymbolKind::Local:
            return false;
        default:
            return s.block.isEmpty();  // a block's members and instance are the block's
    }
}

QString detailOf(const Symbol& s) {
    switch (s.kind) {
        case SymbolKind::Function:
            return s.signature().text() + (s.definition ? QString() : QStringLiteral(";"));
        case SymbolKind::Struct:
            return QStringLiteral("struct ") + s.name;
        case SymbolKind::Block: {
            QString d = s.qualifier + u' ' + s.name + QStringLiteral(" { }");
            if (!s.instance.isEmpty())
                d += u' ' + s.instance;
            return d;
        }
        default:
            return (s.qualifier.isEmpty() ? QString() : s.qualifier + u' ') + s.type.text();
    }
}

}  // namespace

QList<OutlineEntry> outline(const ParsedDocument& document) {
    QList<OutlineEntry> entries;
    for (const Symbol& s : document.symbols) {
        if (s.file != document.file || !inOutline(s))
            continue;
        const int end = s.kind == SymbolKind::Function && s.endLine >= 0 ? s.endLine : s.line;
        entries << OutlineEntry{s.name, s.kind, detailOf(s), s.line, s.column, end};
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return entries;
}

int outlineEntryAt(const QList<OutlineEntry>& entries, int line) {
    int last = -1;
    for (int i = 0; i < entries.size(); ++i) {
        const OutlineEntry& e = entries[i];
        if (e.line > line)
            break;
        if (e.kind == SymbolKind::Function && line <= e.endLine)
            return i;
        last = i;
    }
    return last;
}

std::optional<IncludeName> includeNameOf(QStringView line) {
    static const QRegularExpression include(
        QStringLiteral("^[ \\t]*#[ \\t]*include[ \\t]*([\"<])([^\">]*)([\">])"));
    const QRegularExpressionMatch match = include.match(line);
    // The closing mark must fit the opening one: "a> and <a" name nothing.
    if (!match.hasMatch() || match.capturedLength(2) == 0 ||
        (match.captured(1) == u'"') != (match.captured(3) == u'"')) {
        return std::nullopt;
    }
    return IncludeName{match.captured(2), int(match.capturedStart(2)), int(match.capturedEnd(2))};
}

}  // namespace tessory::glsl
