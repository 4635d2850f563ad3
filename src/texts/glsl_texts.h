// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The words of hover texts on GLSL names.
struct GlslTexts {
    QString declaredAt;     // %1: the file, %2: the line (from 1)
    QString memberOf;       // %1: the struct or block
    QString moreOverloads;  // %1: how many more signatures there are
};

GlslTexts glslTexts(bool german);

}  // namespace tessory
