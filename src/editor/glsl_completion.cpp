// SPDX-License-Identifier: MIT
#include "editor/glsl_completion.h"

#include "editor/glsl_resolve.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace tessory::glsl {

namespace {

struct Candidate {
    QString label;
    CompletionKind kind;
    int group;  // 0 locals, 1 the document's own declarations, 2 the program's, 3 the language
    QString detail;
    // Where the detail comes from, for the items kept only: thousands of declarations are
    // looked at for every key typed.
    const QList<FunctionSignature>* overloads = nullptr;
    const Symbol* symbol = nullptr;
    const ParsedDocument* owner = nullptr;
    int match = 0;
};

// 0: starts with the prefix; 1: in another letter case; 2: holds its letters in order; -1: none.
int matchClass(const QString& label, const QString& prefix) {
    if (label.startsWith(prefix))
        return 0;
    if (label.startsWith(prefix, Qt::CaseInsensitive))
        return 1;
    qsizetype at = 0;
    for (QChar c : prefix) {
        at = label.indexOf(c, at, Qt::CaseInsensitive);
        if (at < 0)
            return -1;
        ++at;
    }
    return 2;
}

QString symbolDetail(const Symbol& s, const ParsedDocument& owner, bool own) {
    QString d;
    switch (s.kind) {
        case SymbolKind::Function:
            d = s.signature().text();
            break;
        case SymbolKind::Struct:
            d = QStringLiteral("struct ") + s.name;
            break;
        default:
            d = s.qualifier.isEmpty() ? s.type.text() : s.qualifier + u' ' + s.type.text();
    }
    if (!own || s.file != owner.file)
        d += QStringLiteral(" — ") + s.file.section(u'/', -1);
    return d;
}

CompletionKind symbolKind(const Symbol& s) {
    switch (s.kind) {
        case SymbolKind::Function:
            return CompletionKind::Function;
        case SymbolKind::Struct:
            return CompletionKind::Type;
        case SymbolKind::Constant:
            return CompletionKind::Constant;
        default:
            return CompletionKind::Variable;
    }
}

bool usable(const Builtins& b, const ParsedDocument& doc, const QString& name) {
    if (b.legacy.contains(name))
        return false;
    const auto it = b.extensions.constFind(name);
    if (it == b.extensions.cend())
        return true;
    for (const QString& e : *it) {
        if (doc.extensions.contains(e))
            return true;
    }
    return false;
}

void addLanguage(std::vector<Candidate>& out, const ParsedDocument& doc) {
    if (!doc.builtins)
        return;
    const Builtins& b = *doc.builtins;
    for (const QString& name : b.functionNames) {
        if (usable(b, doc, name))
            out.push_back({name, CompletionKind::Function, 3, {}, b.functions(name)});
    }
    for (const BuiltinVariable& v : b.variables) {
        if (!usable(b, doc, v.name))
            continue;
        QString detail = v.qualifier.isEmpty() ? v.type.text() : v.qualifier + u' ' + v.type.text();
        if (!v.value.isEmpty())
            detail += QStringLiteral(" = ") + v.value;
        out.push_back(
            {v.name, v.qualifier == u"const" ? CompletionKind::Constant : CompletionKind::Variable,
             3, detail});
    }
    for (const QString& t : b.types)
        out.push_back({t, CompletionKind::Type, 3, {}});
    for (const QString& k : b.keywords)
        out.push_back({k, CompletionKind::Keyword, 3, {}});
}

void addProgram(std::vector<Candidate>& out, const Program& program, int document,
                TextPosition at) {
    const ParsedDocument& doc = *program[document];
    // The innermost declaration of each name first: later ones of the same name shadow it.
    std::vector<const Symbol*> locals;
    for (const Symbol& s : doc.symbols) {
        if ((s.kind == SymbolKind::Local || s.kind == SymbolKind::Parameter) &&
            inScope(s, doc.file, at))
            locals.push_back(&s);
    }
    std::reverse(locals.begin(), locals.end());
    for (const Symbol* s : locals) {
        // The type and the function it belongs to, which need no words of either language.
        out.push_back({s->name, CompletionKind::Variable, 0,
                       s->type.text() + QStringLiteral(" — ") + s->scope + QStringLiteral("()")});
    }
    for (qsizetype d = 0; d < program.size(); ++d) {
        if (!program[d])
            continue;
        const bool own = d == document;
        for (const Symbol& s : program[d]->symbols) {
            if (s.kind == SymbolKind::Local || s.kind == SymbolKind::Parameter ||
                s.kind == SymbolKind::Block)
                continue;
            // Another stage's functions are not visible in this one.
            if (!own && s.kind == SymbolKind::Function)
                continue;
            Candidate c{s.name, symbolKind(s), own ? 1 : 2, {}};
            c.symbol = &s;
            c.owner = program[d].get();
            out.push_back(c);
        }
    }
}

void addMembers(std::vector<Candidate>& out, const TypedExpression& e) {
    const TypeRef& t = e.type;
    if (t.isArray()) {
        out.push_back({QStringLiteral("length"), CompletionKind::Function, 0,
                       QStringLiteral("int length()")});
        return;
    }
    if (t.aggregate) {
        const Aggregate* a = e.document->aggregate(t.name);
        if (!a)
            return;
        for (const Field& f : a->fields)
            out.push_back({f.name, CompletionKind::Member, 0, f.type.text()});
        return;
    }
    if (t.components < 2 || t.columns > 0)
        return;
    static const QString sets[] = {QStringLiteral("xyzw"), QStringLiteral("rgba"),
                                   QStringLiteral("stpq")};
    int group = 0;
    for (const QString& set : sets) {
        for (int i = 0; i < t.components; ++i)
            out.push_back({set.mid(i, 1), CompletionKind::Swizzle, group, t.scalar});
        for (int n = 2; n <= t.components; ++n)
            out.push_back({set.left(n), CompletionKind::Swizzle, group, t.withComponents(n).name});
        ++group;
    }
}

QString functionDetail(const QList<FunctionSignature>& overloads) {
    if (overloads.isEmpty())
        return {};
    QString d = overloads.front().text();
    if (overloads.size() > 1)
        d += QStringLiteral(" (+%1)").arg(overloads.size() - 1);
    return d;
}

}  // namespace

Completion complete(const Program& program, int document, const QString& text, TextPosition caret,
                    int limit) {
    Completion result;
    if (document < 0 || document >= program.size() || !program[document])
        return result;
    const qsizetype offset = offsetOf(text, caret);
    qsizetype start = offset;
    while (start > 0 && isIdentifierPart(text[start - 1]))
        --start;
    if (start < offset && !isIdentifierStart(text[start]))
        return result;  // a number
    result.prefix = text.sliced(start, offset - start);
    result.replaceFrom = {caret.line, caret.column - int(offset - start)};
    const Lexed before = lexBefore(text, start);
    if (before.inComment)
        return result;
    if (!before.tokens.empty() && before.tokens.back().punctuation == u'#')
        return result;

    std::vector<Candidate> candidates;
    if (!before.tokens.empty() && before.tokens.back().punctuation == u'.') {
        result.memberAccess = true;
        const auto chain = accessChainBeforeDot(text, before);
        const auto typed = chain ? typeOf(program, document, *chain, caret) : std::nullopt;
        if (typed)
            addMembers(candidates, *typed);
    } else {
        addProgram(candidates, program, document, caret);
        addLanguage(candidates, *program[document]);
    }

    std::vector<Candidate*> kept;
    QSet<QString> seen;
    for (Candidate& c : candidates) {
        c.match = result.prefix.isEmpty() ? 0 : matchClass(c.label, result.prefix);
        if (c.match < 0 || seen.contains(c.label))
            continue;
        seen << c.label;
        kept.push_back(&c);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Candidate* a, const Candidate* b) {
        if (a->match != b->match)
            return a->match < b->match;
        if (a->group != b->group)
            return a->group < b->group;
        if (a->label.size() != b->label.size())
            return a->label.size() < b->label.size();
        return a->label < b->label;
    });
    if (limit > 0 && int(kept.size()) > limit)
        kept.resize(size_t(limit));
    result.items.reserve(qsizetype(kept.size()));
    for (const Candidate* c : kept) {
        QString detail = c->detail;
        if (c->overloads)
            detail = functionDetail(*c->overloads);
        if (c->symbol)
            detail = symbolDetail(*c->symbol, *c->owner, c->group == 1);
        result.items << CompletionItem{c->label, c->kind, detail};
    }
    return result;
}

}  // namespace tessory::glsl
