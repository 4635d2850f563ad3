// SPDX-License-Identifier: MIT
#include "texts/find_texts.h"

namespace tessory {

FindTexts findTexts(bool german) {
    if (german) {
        return {QStringLiteral("Suchen:"),
                QStringLiteral("Ersetzen durch:"),
                QStringLiteral("Vorheriger"),
                QStringLiteral("Nächster"),
                QStringLiteral("Ersetzen"),
                QStringLiteral("Alle ersetzen"),
                QStringLiteral("Ganze Wörter"),
                QStringLiteral("Groß-/Kleinschreibung"),
                QStringLiteral("Regulärer Ausdruck"),
                QStringLiteral("Schließen"),
                QStringLiteral("nicht gefunden"),
                QStringLiteral("Ungültiger regulärer Ausdruck: %1"),
                QStringLiteral("%1 ersetzt"),
                QStringLiteral("Suche läuft…"),
                QStringLiteral("Suche abgebrochen"),
                QStringLiteral("Gehe zu Zeile:"),
                QStringLiteral("Gehe zu"),
                QStringLiteral("Zeile oder Zeile:Spalte"),
                QStringLiteral("\"%1\" ist keine Zeile; erwartet wird Zeile oder Zeile:Spalte")};
    }
    return {QStringLiteral("Find:"),
            QStringLiteral("Replace with:"),
            QStringLiteral("Previous"),
            QStringLiteral("Next"),
            QStringLiteral("Replace"),
            QStringLiteral("Replace all"),
            QStringLiteral("Whole words"),
            QStringLiteral("Match case"),
            QStringLiteral("Regular expression"),
            QStringLiteral("Close"),
            QStringLiteral("not found"),
            QStringLiteral("Invalid regular expression: %1"),
            QStringLiteral("%1 replaced"),
            QStringLiteral("searching…"),
            QStringLiteral("search stopped"),
            QStringLiteral("Go to line:"),
            QStringLiteral("Go"),
            QStringLiteral("line or line:column"),
            QStringLiteral("\"%1\" is not a line; expected line or line:column")};
}

}  // namespace tessory
