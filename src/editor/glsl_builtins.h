// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_context.h"
#include "editor/glsl_types.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>

namespace tessory::glsl {

struct BuiltinVariable {
    QString name;
    TypeRef type;
    QString qualifier;  // "in", "out", "uniform", "const" or empty
    QString value;      // a constant's value, as "8"
    QString block;      // the builtin block it is a member of ("gl_PerVertex"), if any
};

// The builtins of one context, read from the front end's own declarations for it.
struct Builtins {
    LanguageContext context;
    QStringList functionNames;                           // sorted
    QHash<QString, QList<FunctionSignature>> overloads;  // every overload of each name
    QList<BuiltinVariable> variables;                    // sorted by name
    QHash<QString, qsizetype> variableIndex;
    Aggregates aggregates;  // gl_LightSourceParameters, ...
    QStringList keywords;   // control flow, qualifiers, ...
    QStringList types;      // type keywords and builtin structs
    QSet<QString> typeSet;
    // The extensions a function or variable needs before a shader may use it, by name.
    QHash<QString, QStringList> extensions;
    // Names the newest core profile no longer has (texture2D, gl_FragColor, ftransform): kept out
    // of completion in a core profile, though the front end still accepts them there below 4.20.
    QSet<QString> legacy;
    double buildMilliseconds = 0;  // the front end's tables and these lists, the first time

    const QList<FunctionSignature>* functions(const QString& name) const;
    const BuiltinVariable* variable(const QString& name) const;
    bool isType(const QString& name) const;
};

// Built on the first request for a context, then shared; safe to call from any thread.
std::shared_ptr<const Builtins> builtinsFor(const LanguageContext& context);

}  // namespace tessory::glsl
