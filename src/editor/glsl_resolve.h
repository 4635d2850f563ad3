// SPDX-License-Identifier: MIT
#pragma once

// What a name or an expression at a place of a program's document refers to: shared by
// completion, signature help, hover and go to definition.

#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"

#include <optional>
#include <vector>

namespace tessory::glsl {

struct Found {
    const Symbol* symbol = nullptr;
    const ParsedDocument* document = nullptr;
};

// True when a local or parameter is in scope at the position of its document.
bool inScope(const Symbol& local, const QString& file, TextPosition at);

// The user's declarations of `name` that the document sees at `at`, best first: the innermost
// local or parameter in scope, then the globals of the document, then those of the program's
// other documents, then those of the files they include; a function's definition before its
// prototypes.
std::vector<Found> findUserSymbols(const Program& program, int document, const QString& name,
                                   TextPosition at);

// A type named in the language (vec3, mat2x3, float) or by the program (a struct), or nothing.
std::optional<TypeRef> typeNamed(const ParsedDocument& document, const QString& name);

// The type of an expression made of `steps`, with the document whose types it uses.
struct TypedExpression {
    TypeRef type;
    const ParsedDocument* document = nullptr;
};
std::optional<TypedExpression> typeOf(const Program& program, int document,
                                      const std::vector<Access>& steps, TextPosition at);

// Whether `selector` is a swizzle of a vector of `components` (all from one of xyzw, rgba,
// stpq, at most four).
bool isSwizzle(QStringView selector, int components);

// The user's functions of a name in a document, definitions first, one for each signature.
std::vector<FunctionSignature> userOverloads(const ParsedDocument& document, const QString& name);

}  // namespace tessory::glsl
