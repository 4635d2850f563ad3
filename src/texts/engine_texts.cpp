// SPDX-License-Identifier: MIT
#include "texts/engine_texts.h"

namespace tessory {

EngineTexts engineTexts(bool german) {
    if (german) {
        return {
            QStringLiteral("#include erwartet einen Dateinamen in Anführungszeichen oder spitzen "
                           "Klammern"),
            QStringLiteral("%1 kann nicht eingebunden werden: keine solche Datei in %2"),
            QStringLiteral("den Include-Verzeichnissen (keine angegeben)"),
            QStringLiteral("%1 kann nicht eingebunden werden: %2: %3"),
            QStringLiteral("%1 kann nicht eingebunden werden: die Datei bindet sich selbst ein "
                           "(%2)"),
            QStringLiteral("%1 kann nicht eingebunden werden: Includes sind tiefer als %2 Dateien "
                           "verschachtelt"),
            QStringLiteral("%1 kann nicht eingebunden werden: %2 liegt außerhalb der "
                           "Include-Verzeichnisse und der Wurzel %3"),
            QStringLiteral("von hier eingebunden"),
            QStringLiteral("'%1' ist kein Makroname"),
            QStringLiteral("das Makro %1 enthält einen Zeilenumbruch"),
            QStringLiteral("der SPIR-V-Validator lehnt das Modul ab: %1"),
            QStringLiteral("für die Stufe %1 ist kein SPIR-V entstanden"),
            QStringLiteral("die Eingaben des Fragment-Shaders sind nicht lesbar: %1"),
            QStringLiteral("kein %1-Kontext: %2"),
            QStringLiteral("%1-Shader gibt es für %2 nicht"),
            QStringLiteral("kann nicht gelesen werden: %1"),
            QStringLiteral("kein JSON: %1"),
            QStringLiteral("die Projektdatei muss ein JSON-Objekt sein"),
            QStringLiteral("unbekannter Schlüssel \"%1\" (möglich: %2)"),
            QStringLiteral("\"%1\" muss %2 sein"),
            QStringLiteral("\"%1\" ist %2, nicht \"%3\""),
            QStringLiteral("\"%1\": '%2' ist keine Endung (ein Punkt und mindestens ein Zeichen, "
                           "ohne '/')"),
            QStringLiteral("\"%1\" nennt %2, das es nicht gibt"),
            QStringLiteral("\"%1\" nennt das Verzeichnis %2, das es nicht gibt"),
            QStringLiteral("\"%1\" gehört nicht in \"overrides\""),
            QStringLiteral("ein Programm braucht einen Vertex- und einen Fragment-Shader, einen "
                           "Compute-Shader oder Shader nur für Vulkan"),
            QStringLiteral("\"glob\" '%1' ist kein Muster"),
            QStringLiteral("einen Text"),
            QStringLiteral("einen Text oder eine Liste von Texten"),
            QStringLiteral("ein Objekt"),
            QStringLiteral("eine Liste von Objekten"),
            QStringLiteral("ein Text, eine Zahl, true, false oder null"),
        };
    }
    return {
        QStringLiteral("#include wants a file name in quotes or angle brackets"),
        QStringLiteral("cannot include %1: no such file in %2"),
        QStringLiteral("the include directories (none given)"),
        QStringLiteral("cannot include %1: %2: %3"),
        QStringLiteral("cannot include %1: it includes itself (%2)"),
        QStringLiteral("cannot include %1: includes nest deeper than %2 files"),
        QStringLiteral("cannot include %1: %2 is outside the include directories and the root %3"),
        QStringLiteral("included from here"),
        QStringLiteral("'%1' is not a macro name"),
        QStringLiteral("the define %1 holds a line break"),
        QStringLiteral("the SPIR-V validator rejects the module: %1"),
        QStringLiteral("no SPIR-V was made for the %1 stage"),
        QStringLiteral("the fragment shader's inputs cannot be read: %1"),
        QStringLiteral("no %1 context: %2"),
        QStringLiteral("%1 shaders do not exist for %2"),
        QStringLiteral("cannot be read: %1"),
        QStringLiteral("not JSON: %1"),
        QStringLiteral("the project file must hold one JSON object"),
        QStringLiteral("unknown key \"%1\" (known: %2)"),
        QStringLiteral("\"%1\" wants %2"),
        QStringLiteral("\"%1\" is %2, not \"%3\""),
        QStringLiteral("\"%1\": '%2' is no extension (a dot and at least one more character, no "
                       "'/')"),
        QStringLiteral("\"%1\" names %2, which does not exist"),
        QStringLiteral("\"%1\" names the directory %2, which does not exist"),
        QStringLiteral("\"%1\" does not belong in \"overrides\""),
        QStringLiteral("a program wants a vertex and a fragment shader, a compute shader or "
                       "shaders for Vulkan only"),
        QStringLiteral("\"glob\" '%1' is not a pattern"),
        QStringLiteral("a string"),
        QStringLiteral("a string or a list of strings"),
        QStringLiteral("an object"),
        QStringLiteral("a list of objects"),
        QStringLiteral("a string, a number, true, false or null"),
    };
}

}  // namespace tessory
