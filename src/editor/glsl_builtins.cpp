// SPDX-License-Identifier: MIT
#include "editor/glsl_builtins.h"

#include "editor/glsl_frontend.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <tuple>

namespace tessory::glsl {

using namespace glslang;
using frontend::BuiltinTable;

namespace {

// The words of the language that are not type names, over all versions and profiles: the scanner
// of each context says which of them it takes.
constexpr const char* kKeywordCandidates[] = {
    "attribute",
    "const",
    "uniform",
    "varying",
    "buffer",
    "shared",
    "coherent",
    "volatile",
    "restrict",
    "readonly",
    "writeonly",
    "layout",
    "centroid",
    "flat",
    "smooth",
    "noperspective",
    "patch",
    "sample",
    "invariant",
    "precise",
    "break",
    "continue",
    "do",
    "for",
    "while",
    "switch",
    "case",
    "default",
    "if",
    "else",
    "subroutine",
    "in",
    "out",
    "inout",
    "true",
    "false",
    "discard",
    "return",
    "lowp",
    "mediump",
    "highp",
    "precision",
    "struct",
    "rayPayloadEXT",
    "rayPayloadInEXT",
    "hitAttributeEXT",
    "callableDataEXT",
    "callableDataInEXT",
    "shaderRecordEXT",
    "ignoreIntersectionEXT",
    "terminateRayEXT",
    "perprimitiveEXT",
    "taskPayloadSharedEXT",
};

// Type names the builtin signatures need not mention: scalars, vectors and matrices of every
// component type, and the separate samplers and textures of Vulkan.
QStringList typeCandidates(const Builtins& b) {
    QStringList list = {QStringLiteral("void"), QStringLiteral("sampler"),
                        QStringLiteral("samplerShadow"), QStringLiteral("atomic_uint")};
    for (const char* scalar : {"bool", "int", "uint", "float", "double"}) {
        TypeRef t;
        t.scalar = QString::fromLatin1(scalar);
        for (int n = 1; n <= 4; ++n)
            list << t.withComponents(n).name;
    }
    for (const char* prefix : {"mat", "dmat"}) {
        for (int c = 2; c <= 4; ++c) {
            list << QLatin1StringView(prefix) + QString::number(c);
            for (int r = 2; r <= 4; ++r)
                list << QLatin1StringView(prefix) + QString::number(c) + u'x' + QString::number(r);
        }
    }
    QSet<QString> opaque;
    auto note = [&](const TypeRef& t) {
        if (t.scalar.isEmpty() && !t.aggregate)
            opaque << t.name;
    };
    for (const auto& overloads : b.overloads) {
        for (const FunctionSignature& f : overloads) {
            note(f.returnType);
            for (const Parameter& p : f.parameters)
                note(p.type);
        }
    }
    opaque.remove(QStringLiteral("void"));
    for (const QString& name : std::as_const(opaque)) {
        list << name;
        // A combined sampler's texture on its own.
        if (name.contains(u"sampler") && !name.endsWith(u"Shadow")) {
            QString texture = name;
            list << texture.replace(QStringLiteral("sampler"), QStringLiteral("texture"));
        }
    }
    list.removeDuplicates();
    return list;
}

bool declares(const BuiltinTable& t, const TString& key) {
    for (int level = 0; level < frontend::kGlobalLevel; ++level) {
        if (frontend::entries(*t.table.level(level)).count(key))
            return true;
    }
    return false;
}

// The names of the declarations (overloads, for functions) that the newest version's
// compatibility profile has in a stage and its core profile has not. Compared declaration by
// declaration, because the core profile keeps an overload of texture2D in fragment shaders.
QSet<QString> legacyNames(Stage stage) {
    static std::mutex mutex;
    static std::map<Stage, QSet<QString>> cache;
    std::lock_guard lock(mutex);
    if (const auto it = cache.find(stage); it != cache.end())
        return it->second;
    LanguageContext context{460, Profile::Compatibility, Target::GlCompatibility, stage};
    const BuiltinTable& compatibility = frontend::builtinTable(context);
    context.profile = Profile::Core;
    const BuiltinTable& core = frontend::builtinTable(context);
    QSet<QString>& names = cache[stage];
    for (int level = 0; level < frontend::kGlobalLevel; ++level) {
        for (const auto& [key, symbol] : frontend::entries(*compatibility.table.level(level))) {
            if (!declares(core, key))
                names << frontend::text(symbol->getName());
        }
    }
    return names;
}

QStringList extensionsOf(const TSymbol& symbol) {
    QStringList list;
    const int count = symbol.getNumExtensions();
    for (int i = 0; i < count; ++i)
        list << QString::fromLatin1(symbol.getExtensions()[i]);
    return list;
}

void addVariable(Builtins& b, BuiltinVariable v, const TSymbol& symbol) {
    if (const QStringList needed = extensionsOf(symbol); !needed.isEmpty())
        b.extensions[v.name] = needed;
    b.variables << v;
}

void read(const BuiltinTable& t, Builtins& b) {
    for (int level = 0; level < frontend::kGlobalLevel; ++level) {
        for (const auto& [key, symbol] : frontend::entries(*t.table.level(level))) {
            const QString name = frontend::text(symbol->getName());
            // The front end's own helpers, never written in a shader.
            if (name.startsWith(u'_'))
                continue;
            if (const TFunction* f = symbol->getAsFunction()) {
                b.overloads[name] << frontend::signature(*f);
                if (const QStringList needed = extensionsOf(*f); !needed.isEmpty())
                    b.extensions[name] = needed;
            } else if (const TVariable* v = symbol->getAsVariable()) {
                const TType& type = v->getType();
                frontend::collectAggregates(type, b.aggregates);
                if (v->isUserType()) {
                    b.types << name;
                    continue;
                }
                // A block's name, which the table holds only to keep it from other uses.
                if (type.getBasicType() == EbtBlock && !type.getStruct())
                    continue;
                if (IsAnonymous(symbol->getName()))
                    continue;
                BuiltinVariable var{name,
                                    frontend::typeRef(type),
                                    frontend::storageText(type.getQualifier()),
                                    {},
                                    {}};
                const TConstUnionArray& values = v->getConstArray();
                if (type.getQualifier().storage == EvqConst && values.size() == 1 &&
                    type.getBasicType() == EbtInt)
                    var.value = QString::number(values[0].getIConst());
                addVariable(b, var, *v);
            } else if (const TAnonMember* m = symbol->getAsAnonMember()) {
                const TType& container = m->getAnonContainer().getType();
                frontend::collectAggregates(container, b.aggregates);
                addVariable(b,
                            {name,
                             frontend::typeRef(m->getType()),
                             frontend::storageText(container.getQualifier()),
                             {},
                             frontend::text(container.getTypeName())},
                            *m);
            }
        }
    }
}

std::shared_ptr<const Builtins> build(const LanguageContext& context) {
    const auto start = std::chrono::steady_clock::now();
    const BuiltinTable& table = frontend::builtinTable(context);
    auto b = std::make_shared<Builtins>();
    b->context = context;
    {
        // Spelling sampler types makes the front end's strings.
        TPoolAllocator scratch;
        frontend::PoolScope scope(scratch);
        read(table, *b);
    }
    for (auto& overloads : b->overloads) {
        std::stable_sort(overloads.begin(), overloads.end(), [](const auto& x, const auto& y) {
            return x.parameters.size() < y.parameters.size();
        });
    }
    b->functionNames = b->overloads.keys();
    b->functionNames.sort();
    std::sort(b->variables.begin(), b->variables.end(),
              [](const auto& x, const auto& y) { return x.name < y.name; });
    for (qsizetype i = 0; i < b->variables.size(); ++i)
        b->variableIndex[b->variables[i].name] = i;

    QStringList candidates;
    for (const char* word : kKeywordCandidates)
        candidates << QString::fromLatin1(word);
    candidates << typeCandidates(*b);
    frontend::KeywordProbe probe = frontend::probeKeywords(table, candidates);
    b->keywords = probe.keywords;
    b->types << probe.types;
    b->types.sort();
    b->typeSet = QSet<QString>(b->types.begin(), b->types.end());
    if (context.profile == Profile::Core && context.target != Target::Vulkan)
        b->legacy = legacyNames(context.stage);
    b->buildMilliseconds =
        table.buildMilliseconds +
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return b;
}

}  // namespace

const QList<FunctionSignature>* Builtins::functions(const QString& name) const {
    const auto it = overloads.constFind(name);
    return it == overloads.cend() ? nullptr : &*it;
}

const BuiltinVariable* Builtins::variable(const QString& name) const {
    const auto it = variableIndex.constFind(name);
    return it == variableIndex.cend() ? nullptr : &variables[*it];
}

bool Builtins::isType(const QString& name) const {
    return typeSet.contains(name);
}

std::shared_ptr<const Builtins> builtinsFor(const LanguageContext& context) {
    static std::mutex mutex;
    static std::map<std::tuple<int, int, int, int>, std::shared_ptr<const Builtins>> cache;
    const auto key = std::make_tuple(context.version, int(context.profile), int(context.target),
                                     int(context.stage));
    std::lock_guard lock(mutex);
    std::shared_ptr<const Builtins>& b = cache[key];
    if (!b)
        b = build(context);
    return b;
}

}  // namespace tessory::glsl
