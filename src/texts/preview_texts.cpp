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
                QStringLiteral("Das Bild %1 konnte nicht gespeichert werden: %2"),
                QStringLiteral("%1 wird nicht verwendet: %2"),
                QStringLiteral("%1 wird nicht verwendet: %2 x %3 Pixel sind mehr als die größte "
                               "Textur des Treibers, %4 x %4."),
                QStringLiteral("Das Bild kann nicht als %1 gespeichert werden: das ist die "
                               "Shader-Datei %2 des WorkSpace."),
                QStringLiteral("der Treiber brauchte länger als %1 s"),
                QStringLiteral("der Treiber ist abgestürzt; für das nächste Bild wird er neu "
                               "gestartet"),
                QStringLiteral("Die Vorschau zeichnet nur OpenGL- und OpenGL-ES-Programme."),
                QStringLiteral("Ein Compute-Shader zeichnet nichts: Die Vorschau zeichnet "
                               "Programme mit Vertex- und Fragment-Stufe."),
                QStringLiteral("Die Vorschau zeichnet Programme ohne Tessellation-Stufen.")};
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
            QStringLiteral("The image %1 could not be saved: %2"),
            QStringLiteral("%1 is not used: %2"),
            QStringLiteral("%1 is not used: %2 x %3 pixels are more than the driver's largest "
                           "texture, %4 x %4."),
            QStringLiteral("The image cannot be saved as %1: that is the shader file %2 of the "
                           "WorkSpace."),
            QStringLiteral("the driver took longer than %1 s"),
            QStringLiteral("the driver stopped; it is started again for the next frame"),
            QStringLiteral("The preview draws OpenGL and OpenGL ES programs only."),
            QStringLiteral("A compute shader draws nothing: the preview draws programs with "
                           "vertex and fragment stages."),
            QStringLiteral("The preview draws programs without tessellation stages.")};
}

}  // namespace tessory
