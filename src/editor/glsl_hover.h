// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"

#include <QStringList>

#include <optional>

namespace tessory::glsl {

struct Hover {
    enum class Kind { BuiltinFunction, BuiltinVariable, UserSymbol, Member, Swizzle };
    Kind kind = Kind::UserSymbol;
    QString name;
    QStringList signatures;  // a builtin's overloads, a builtin variable's or member's declaration
    QString documentation;   // the one line on a builtin function, in the language asked for
    QString declaration;     // a user symbol's declaring line
    QString file;            // where a user symbol or member is declared; line -1 if unknown
    int line = -1;
    TextRange range;  // the name hovered, in the text
    QString text;     // all of it, for a tooltip
};

// What the name at `at` is: a builtin function's overloads with its one line of documentation,
// a builtin variable's declaration, a user symbol's declaring line and place, or the type of a
// member or swizzle after a '.'.
std::optional<Hover> hover(const Program& program, int document, const QString& text,
                           TextPosition at, bool german);

}  // namespace tessory::glsl
