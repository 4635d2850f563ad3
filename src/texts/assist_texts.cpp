// SPDX-License-Identifier: MIT
#include "texts/assist_texts.h"

namespace tessory {

AssistTexts assistTexts(bool german) {
    if (german) {
        return {
            QStringLiteral("Vervollständigen"),
            QStringLiteral("Gehe zur Deklaration"),
            QStringLiteral("Zurück"),
            QStringLiteral("Kurzhilfe"),
            QStringLiteral("Gliederung"),
            QStringLiteral("Die Code-Hilfe ist für den %1 aus: der Text ist zu groß."),
            QStringLiteral("Die Code-Hilfe ist für den %1 aus: sie antwortet zu langsam."),
            QStringLiteral("Vertex-Shader"),
            QStringLiteral("Fragment-Shader"),
            QStringLiteral("Deklariert in %1, Zeile %2"),
        };
    }
    return {
        QStringLiteral("Complete"),
        QStringLiteral("Go to Definition"),
        QStringLiteral("Go Back"),
        QStringLiteral("Quick Help"),
        QStringLiteral("Outline"),
        QStringLiteral("Code assistance is off for the %1: its text is too large."),
        QStringLiteral("Code assistance is off for the %1: it answers too slowly."),
        QStringLiteral("vertex shader"),
        QStringLiteral("fragment shader"),
        QStringLiteral("Declared in %1, line %2"),
    };
}

}  // namespace tessory
