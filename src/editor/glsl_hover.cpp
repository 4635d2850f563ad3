// SPDX-License-Identifier: MIT
#include "editor/glsl_hover.h"

#include "editor/glsl_docs.h"
#include "editor/glsl_resolve.h"
#include "texts/glsl_texts.h"

namespace tessory::glsl {

namespace {

constexpr int kShownOverloads = 8;

QString place(const QString& file, int line, bool german) {
    return glslTexts(german).declaredAt.arg(file.section(u'/', -1)).arg(line + 1);
}

QString joined(const Hover& h, bool german) {
    QStringList lines = h.signatures.mid(0, kShownOverloads);
    if (h.signatures.size() > kShownOverloads)
        lines << glslTexts(german).moreOverloads.arg(h.signatures.size() - kShownOverloads);
    if (!h.declaration.isEmpty())
        lines << h.declaration;
    if (!h.documentation.isEmpty())
        lines << h.documentation;
    if (h.line >= 0)
        lines << place(h.file, h.line, german);
    return lines.join(u'\n');
}

QString declarationOf(const BuiltinVariable& v) {
    QString d = v.qualifier.isEmpty() ? QString() : v.qualifier + u' ';
    d += v.type.text() + u' ' + v.name;
    if (!v.value.isEmpty())
        d += QStringLiteral(" = ") + v.value;
    return d;
}

std::optional<Hover> memberHover(const Program& program, int document, const QString& text,
                                 qsizetype start, const QString& name, TextPosition at,
                                 bool german) {
    const Lexed before = lexBefore(text, start);
    const auto chain = accessChainBeforeDot(text, before);
    if (!chain)
        return std::nullopt;
    const auto owner = typeOf(program, document, *chain, at);
    if (!owner)
        return std::nullopt;
    Hover h;
    h.name = name;
    if (owner->type.aggregate && !owner->type.isArray()) {
        const Aggregate* a = owner->document->aggregate(owner->type.name);
        const Field* f = a ? a->field(name) : nullptr;
        if (!f)
            return std::nullopt;
        h.kind = Hover::Kind::Member;
        h.signatures << f->type.text() + u' ' + f->name << glslTexts(german).memberOf.arg(a->name);
        h.file = f->file;
        h.line = f->line;
        return h;
    }
    if (owner->type.components >= 1 && !owner->type.isArray() &&
        isSwizzle(name, owner->type.components)) {
        h.kind = Hover::Kind::Swizzle;
        h.signatures << owner->type.withComponents(int(name.size())).name + u' ' + name;
        return h;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Hover> hover(const Program& program, int document, const QString& text,
                           TextPosition at, bool german) {
    if (document < 0 || document >= program.size() || !program[document])
        return std::nullopt;
    const ParsedDocument& doc = *program[document];
    const qsizetype offset = offsetOf(text, at);
    const Span span = identifierAt(text, offset);
    if (!span.isValid())
        return std::nullopt;
    if (lexBefore(text, span.start).inComment)
        return std::nullopt;
    const QString name = text.sliced(span.start, span.end - span.start);
    const int startColumn = at.column - int(offset - span.start);
    const TextRange range{{at.line, startColumn}, {at.line, startColumn + int(name.size())}};

    qsizetype before = span.start;
    while (before > 0 && text[before - 1].isSpace() && text[before - 1] != u'\n')
        --before;
    std::optional<Hover> h;
    if (before > 0 && text[before - 1] == u'.') {
        h = memberHover(program, document, text, span.start, name, at, german);
    } else if (const std::vector<Found> user = findUserSymbols(program, document, name, at);
               !user.empty()) {
        const Symbol& s = *user.front().symbol;
        h = Hover{Hover::Kind::UserSymbol, name, {}, {}, s.declaration, s.file, s.line, {}, {}};
    } else if (const auto* overloads = doc.builtins ? doc.builtins->functions(name) : nullptr) {
        h = Hover{
            Hover::Kind::BuiltinFunction, name, {}, builtinDoc(name, german), {}, {}, -1, {}, {}};
        for (const FunctionSignature& f : *overloads)
            h->signatures << f.text();
    } else if (const BuiltinVariable* v = doc.builtins ? doc.builtins->variable(name) : nullptr) {
        h = Hover{Hover::Kind::BuiltinVariable, name, {declarationOf(*v)}, {}, {}, {}, -1, {}, {}};
    }
    if (!h)
        return std::nullopt;
    h->range = range;
    h->text = joined(*h, german);
    return h;
}

}  // namespace tessory::glsl
