// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"

#include <QList>
#include <QString>

namespace tessory::glsl {

enum class CompletionKind { Keyword, Type, Function, Variable, Constant, Member, Swizzle };

struct CompletionItem {
    QString label;
    CompletionKind kind = CompletionKind::Variable;
    QString detail;  // a function's signature, a variable's type and where it is from
};

struct Completion {
    QString prefix;               // the part of a name before the caret, which an item replaces
    TextPosition replaceFrom;     // where that part starts
    bool memberAccess = false;    // after a '.': members or swizzles only
    QList<CompletionItem> items;  // best first
};

// What may be typed at the caret of `document` of the program, whose text may be newer than its
// last parse: after a '.' the members of the struct or block before it, or the swizzles of a
// vector by its size; otherwise the locals in scope, the program's declarations, the builtins
// of the document's context (without those that need an extension the document does not enable,
// and without the compatibility profile's names in a core profile), its keywords and types.
// Items that start with the prefix come first, then those that start with it in another letter
// case, then those that hold its letters in order. `limit` 0 keeps every item.
Completion complete(const Program& program, int document, const QString& text, TextPosition caret,
                    int limit = 0);

}  // namespace tessory::glsl
