// SPDX-License-Identifier: MIT
#include "texts/preview_texts.h"

namespace tessory {

PreviewTexts previewTexts(bool german) {
    if (german) {
        return {QStringLiteral("Vorschau"),
                QStringLiteral("Zeigt, was das Shader-Paar zeichnet."),
                QStringLiteral("Form"),
                {QStringLiteral("Rechteck"), QStringLiteral("Kugel"), QStringLiteral("Würfel"),
                 QStringLiteral("Torus")},
                QStringLiteral("Ansicht zurücksetzen"),
                QStringLiteral("Hintergrund..."),
                QStringLiteral("Abspielen"),
                QStringLiteral("Anhalten"),
                QStringLiteral("Bild speichern..."),
                QStringLiteral("Bild speichern"),
                QStringLiteral("Größe der Vorschau"),
                QStringLiteral("Uniforms"),
                QStringLiteral("Das Programm deklariert keine Uniforms."),
                QStringLiteral("Keine Vorschau: %1"),
                QStringLiteral("Das Bild %1 konnte nicht gespeichert werden: %2")};
    }
    return {QStringLiteral("Preview"),
            QStringLiteral("Shows what the shader pair draws."),
            QStringLiteral("Mesh"),
            {QStringLiteral("Quad"), QStringLiteral("Sphere"), QStringLiteral("Cube"),
             QStringLiteral("Torus")},
            QStringLiteral("Reset view"),
            QStringLiteral("Background..."),
            QStringLiteral("Play"),
            QStringLiteral("Pause"),
            QStringLiteral("Save image..."),
            QStringLiteral("Save image"),
            QStringLiteral("Size of the preview"),
            QStringLiteral("Uniforms"),
            QStringLiteral("The program declares no uniforms."),
            QStringLiteral("No preview: %1"),
            QStringLiteral("The image %1 could not be saved: %2")};
}

}  // namespace tessory
