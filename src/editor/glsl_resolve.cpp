// SPDX-License-Identifier: MIT
#include "editor/glsl_resolve.h"

#include <QSet>

#include <tuple>

namespace tessory::glsl {

bool inScope(const Symbol& local, const QString& file, TextPosition at) {
    if (local.file != file)
        return false;
    if (std::tie(at.line, at.column) < std::tie(local.line, local.column))
        return false;
    return local.endLine < 0 ||
           std::tie(at.line, at.column) <= std::tie(local.endLine, local.endColumn);
}

namespace {

bool isLocal(const Symbol& s) {
    return s.kind == SymbolKind::Local || s.kind == SymbolKind::Parameter;
}

// Lower ranks first: the document itself, then the program's other documents, then the files
// they include; a definition before its prototypes.
int rank(const Symbol& s, const ParsedDocument& d, bool own) {
    int r = s.file != d.file ? 4 : own ? 0 : 2;
    if (s.kind == SymbolKind::Function && !s.definition)
        r += 1;
    return r;
}

}  // namespace

std::vector<Found> findUserSymbols(const Program& program, int document, const QString& name,
                                   TextPosition at) {
    std::vector<Found> found;
    if (document < 0 || document >= program.size() || !program[document])
        return found;
    const ParsedDocument& doc = *program[document];
    const Symbol* innermost = nullptr;
    for (const Symbol& s : doc.symbols) {
        if (s.name != name || !isLocal(s) || !inScope(s, doc.file, at))
            continue;
        if (!innermost || std::tie(s.line, s.column) > std::tie(innermost->line, innermost->column))
            innermost = &s;
    }
    if (innermost)
        found.push_back({innermost, &doc});
    std::vector<std::pair<int, Found>> globals;
    for (qsizetype d = 0; d < program.size(); ++d) {
        if (!program[d])
            continue;
        for (const Symbol& s : program[d]->symbols) {
            if (s.name != name || isLocal(s))
                continue;
            globals.push_back({rank(s, *program[d], d == document), {&s, program[d].get()}});
        }
    }
    std::stable_sort(globals.begin(), globals.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& g : globals)
        found.push_back(g.second);
    return found;
}

std::optional<TypeRef> typeNamed(const ParsedDocument& document, const QString& name) {
    if (const Aggregate* a = document.aggregate(name)) {
        TypeRef t;
        t.name = a->name;
        t.aggregate = true;
        return t;
    }
    static const std::pair<const char*, const char*> kScalars[] = {
        {"float", "vec"}, {"double", "dvec"}, {"int", "ivec"}, {"uint", "uvec"}, {"bool", "bvec"}};
    for (const auto& [scalar, vector] : kScalars) {
        TypeRef base;
        base.scalar = QString::fromLatin1(scalar);
        if (name == base.scalar)
            return base.withComponents(1);
        const QLatin1StringView prefix(vector);
        if (name.size() == prefix.size() + 1 && name.startsWith(prefix)) {
            const int n = name.back().digitValue();
            if (n >= 2 && n <= 4)
                return base.withComponents(n);
        }
    }
    // mat3, mat2x4, dmat4
    const bool dmat = name.startsWith(u"dmat");
    if (dmat || name.startsWith(u"mat")) {
        const QStringView shape = QStringView(name).sliced(dmat ? 4 : 3);
        const int columns = shape.isEmpty() ? 0 : shape[0].digitValue();
        const int rows = shape.size() == 1                       ? columns
                         : shape.size() == 3 && shape[1] == u'x' ? shape[2].digitValue()
                                                                 : 0;
        if (columns >= 2 && columns <= 4 && rows >= 2 && rows <= 4) {
            TypeRef t;
            t.name = name;
            t.scalar = dmat ? QStringLiteral("double") : QStringLiteral("float");
            t.columns = columns;
            t.rows = rows;
            return t;
        }
    }
    return std::nullopt;
}

bool isSwizzle(QStringView selector, int components) {
    if (selector.isEmpty() || selector.size() > 4 || components < 1)
        return false;
    static const QStringView sets[] = {u"xyzw", u"rgba", u"stpq"};
    for (QStringView set : sets) {
        const QStringView allowed = set.first(components);
        bool all = true;
        for (QChar c : selector)
            all = all && allowed.contains(c);
        if (all)
            return true;
    }
    return false;
}

std::vector<FunctionSignature> userOverloads(const ParsedDocument& document, const QString& name) {
    std::vector<const Symbol*> functions;
    for (const Symbol& s : document.symbols) {
        if (s.kind == SymbolKind::Function && s.name == name)
            functions.push_back(&s);
    }
    std::stable_sort(functions.begin(), functions.end(), [](const Symbol* a, const Symbol* b) {
        return a->definition > b->definition;
    });
    std::vector<FunctionSignature> out;
    QSet<QString> seen;
    for (const Symbol* f : functions) {
        FunctionSignature sig = f->signature();
        // A prototype and its definition are one overload: the types say which.
        QString key;
        for (const Parameter& p : sig.parameters)
            key += p.type.text() + u',';
        if (seen.contains(key))
            continue;
        seen << key;
        out.push_back(sig);
    }
    return out;
}

std::optional<TypedExpression> typeOf(const Program& program, int document,
                                      const std::vector<Access>& steps, TextPosition at) {
    if (steps.empty() || document < 0 || document >= program.size() || !program[document])
        return std::nullopt;
    const ParsedDocument& doc = *program[document];
    TypedExpression e{{}, &doc};
    const Access& first = steps.front();
    const std::vector<Found> user = findUserSymbols(program, document, first.name, at);
    if (first.kind == Access::Name) {
        const Found* variable = nullptr;
        for (const Found& f : user) {
            if (f.symbol->kind != SymbolKind::Function && f.symbol->kind != SymbolKind::Struct &&
                f.symbol->kind != SymbolKind::Block) {
                variable = &f;
                break;
            }
        }
        if (variable) {
            e = {variable->symbol->type, variable->document};
        } else if (const BuiltinVariable* b =
                       doc.builtins ? doc.builtins->variable(first.name) : nullptr) {
            e.type = b->type;
        } else {
            return std::nullopt;
        }
    } else if (first.kind == Access::Call) {
        if (const auto t = typeNamed(doc, first.name)) {
            e.type = *t;
        } else if (const std::vector<FunctionSignature> own = userOverloads(doc, first.name);
                   !own.empty()) {
            e.type = own.front().returnType;
        } else if (const auto* b = doc.builtins ? doc.builtins->functions(first.name) : nullptr;
                   b && !b->isEmpty()) {
            e.type = b->front().returnType;
        } else {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    for (size_t i = 1; i < steps.size(); ++i) {
        const Access& step = steps[i];
        if (step.kind == Access::Index) {
            e.type = e.type.element();
            if (e.type.name.isEmpty())
                return std::nullopt;
        } else if (step.kind == Access::Member) {
            if (e.type.isArray())
                return std::nullopt;
            if (e.type.aggregate) {
                const Aggregate* a = e.document->aggregate(e.type.name);
                const Field* f = a ? a->field(step.name) : nullptr;
                if (!f)
                    return std::nullopt;
                e.type = f->type;
            } else if (e.type.components >= 1 && isSwizzle(step.name, e.type.components)) {
                e.type = e.type.withComponents(int(step.name.size()));
            } else {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return e;
}

}  // namespace tessory::glsl
