// SPDX-License-Identifier: MIT
#include "texts/editor_texts.h"

namespace tessory {

EditorTexts editorTexts(bool german) {
    if (german) {
        return {
            QStringLiteral("Suchen und Ersetzen..."),
            QStringLiteral("Weitersuchen"),
            QStringLiteral("Rückwärts suchen"),
            QStringLiteral("Gehe zu Zeile..."),
            QStringLiteral("Vergrößern"),
            QStringLiteral("Verkleinern"),
            QStringLiteral("Originalgröße"),
            QStringLiteral("Nächste Meldung"),
            QStringLiteral("Vorherige Meldung"),
            QStringLiteral("%1\n\nwurde von einem anderen Programm geändert, und der Editor hat "
                           "ungespeicherte Änderungen daran."),
            QStringLiteral("Neu laden, meine Änderungen verwerfen"),
            QStringLiteral("Meine Fassung behalten"),
            QStringLiteral("%1\n\nwurde auf dem Datenträger gelöscht. Der Editor behält den Text; "
                           "Speichern schreibt die Datei neu."),
            QStringLiteral("%1\n\nDie anderen Bereiche bleiben bearbeitbar; diese Datei wird "
                           "nicht geschrieben."),
            QStringLiteral("\"%1\" (aus %2) liegt weder neben der Datei noch in einem "
                           "Include-Verzeichnis der Projektdatei."),
        };
    }
    return {
        QStringLiteral("Find and Replace..."),
        QStringLiteral("Find Next"),
        QStringLiteral("Find Previous"),
        QStringLiteral("Go to Line..."),
        QStringLiteral("Zoom In"),
        QStringLiteral("Zoom Out"),
        QStringLiteral("Reset Zoom"),
        QStringLiteral("Next Message"),
        QStringLiteral("Previous Message"),
        QStringLiteral("%1\n\nwas changed by another program, and the editor has unsaved changes "
                       "to it."),
        QStringLiteral("Reload and lose my changes"),
        QStringLiteral("Keep my version"),
        QStringLiteral("%1\n\nwas deleted on disk. The editor keeps its text; Save writes the "
                       "file again."),
        QStringLiteral("%1\n\nThe other panes stay editable; this file is not written."),
        QStringLiteral("\"%1\" (in %2) is neither beside that file nor in an include directory "
                       "of the project file."),
    };
}

}  // namespace tessory
