// SPDX-License-Identifier: MIT
#include "texts/glsl_texts.h"

namespace tessory {

GlslTexts glslTexts(bool german) {
    if (german) {
        return {
            QStringLiteral("Deklariert in %1, Zeile %2"),
            QStringLiteral("Element von %1"),
            QStringLiteral("… und %1 weitere"),
        };
    }
    return {
        QStringLiteral("Declared in %1, line %2"),
        QStringLiteral("Member of %1"),
        QStringLiteral("… and %1 more"),
    };
}

}  // namespace tessory
