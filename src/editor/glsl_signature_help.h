// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"

#include <optional>

namespace tessory::glsl {

struct SignatureHelp {
    QString function;
    QList<FunctionSignature> overloads;  // the user's own first, then the builtins
    int activeParameter = 0;             // the argument the caret is in, from 0
    int activeOverload = 0;              // the first overload that has that many parameters
};

// The overloads of the function whose call's parentheses hold the caret, and which argument the
// caret is in: commas inside nested calls, brackets and braces do not count. A struct's name
// gives its constructor, with the fields as parameters.
std::optional<SignatureHelp> signatureHelp(const Program& program, int document,
                                           const QString& text, TextPosition caret);

}  // namespace tessory::glsl
