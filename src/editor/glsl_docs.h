// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory::glsl {

// One line on what a builtin function does, in English or German: the function's own line, the
// line of the function it is an extension's variant of (texture2DLodEXT), or the line of its
// family (imageAtomicAdd); empty for a name that has none of them.
QString builtinDoc(const QString& name, bool german);

}  // namespace tessory::glsl
