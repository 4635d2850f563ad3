// SPDX-License-Identifier: MIT
#include "texts/ui_texts.h"

namespace tessory {
namespace {

LanguageTexts english() {
    LanguageTexts t;
    t.menus = {QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&Options"),
               QStringLiteral("&Start"), QStringLiteral("&Help")};
    t.actionCaptions = {
        {QStringLiteral("Action_SelWorkSpace"), QStringLiteral("Select Workspace...")},
        {QStringLiteral("Action_SaveShader"), QStringLiteral("Save Shader (Vert+Frag)")},
        {QStringLiteral("Action_Exit"), QStringLiteral("Exit")},
        {QStringLiteral("Action_NewShader"), QStringLiteral("New Shader from current (Vert+Frag)")},
        {QStringLiteral("Action_NES"), QStringLiteral("New Shader (Vert+Frag)")},
        {QStringLiteral("Action_Copy"), QStringLiteral("Copy")},
        {QStringLiteral("Action_Paste"), QStringLiteral("Paste")},
        {QStringLiteral("Action_Cut"), QStringLiteral("Cut")},
        {QStringLiteral("Action_Undo"), QStringLiteral("Undo")},
        {QStringLiteral("Action_info"), QStringLiteral("About")},
        {QStringLiteral("Action_hp"), QStringLiteral("Brimvale hompage")},
        {QStringLiteral("Action_Config"), QStringLiteral("Configuration")},
        {QStringLiteral("Action_Compile"), QStringLiteral("Test Shader")},
        {QStringLiteral("Action_TestAll"), QStringLiteral("Test all shaders (WorkSpace)")},
    };
    t.actionHints = {
        {QStringLiteral("Action_SelWorkSpace"), QStringLiteral("Select Directory as WorkSpace.")},
        {QStringLiteral("Action_SaveShader"), QStringLiteral("Saves both shader files [2 files].")},
        {QStringLiteral("Action_NewShader"),
         QStringLiteral("Creates a new shader as a copy from current shader [2 files].")},
        {QStringLiteral("Action_NES"), QStringLiteral("Creates a new shader.")},
        {QStringLiteral("Action_Compile"),
         QStringLiteral("Compiles both shaderfiles with current gfx-driver.")},
        {QStringLiteral("Action_TestAll"),
         QStringLiteral("Compiles all shaders in WorkSpace with current gfx-driver.")},
    };
    t.workspaceListHint = QStringLiteral(
        "All shader files in current WorkSpace (two files  [Vertex+Fragment] per entry).");
    t.workspacePanelCaption = QStringLiteral("WorkSpace");
    t.messages = {
        QStringLiteral("Could not load vertex shader file."),
        QStringLiteral("Could not load fragment shader file."),
        QStringLiteral("Vertex-/ Fragment Shader Pair not found!\n\rPlease check the selected "
                       "fileextensions in the Configuration!"),
        QStringLiteral("Save Changes to Current file?"),
        QStringLiteral("Insert [Vertex]"),
        QStringLiteral("Overwrite [Vertex]"),
        QStringLiteral("Insert [Fragment]"),
        QStringLiteral("Overwrite [Fragment]"),
        QStringLiteral("Select Workspace Directory..."),
        QStringLiteral("File already exists!"),
        QStringLiteral("Invalid Vertex FileExt!"),
        QStringLiteral("Invalid Fragment FileExt!"),
        QStringLiteral("FileExtensions must be different!"),
        QStringLiteral("Changing the FileExtension will force You to save all open files and "
                       "rescan current Directory!"),
        QStringLiteral("Could not load Shader files."),
    };
    t.extra.invalidShaderName = QStringLiteral("Invalid shader name!");
    t.extra.noOpenGlAtStart = QStringLiteral(
        "No OpenGL driver is available: %1\nShaders cannot be tested; editing works as usual.");
    t.extra.noOpenGlEntry = QStringLiteral("No OpenGL driver is available: %1");
    t.extra.driverStopped =
        QStringLiteral("The OpenGL driver stopped (signal %1) while compiling %2");
    t.extra.driverEnded = QStringLiteral("The OpenGL driver stopped while compiling %1");
    t.extra.driverTooSlow = QStringLiteral("the driver took longer than %1 s");
    t.extra.compileCancelled = QStringLiteral("Compiling cancelled: the driver was ended.");
    t.extra.undecodableFileNames = QStringLiteral(
        "These shader files are left out of the WorkSpace: their names are not valid UTF-8, so "
        "they cannot be opened by name. Rename them to use them.\n\r%1");
    t.extra.changedOnDisk = QStringLiteral(
        "%1\n\rwas changed by another program since it was loaded or saved here. Overwrite it "
        "with the text of the editor, or keep the file on disk as it is and show it in the "
        "editor?");
    t.extra.overwrite = QStringLiteral("Overwrite");
    t.extra.fragmentOnlyEntry = QStringLiteral(
        "Fragment shader without a vertex shader: compiled and drawn with a full-screen vertex "
        "stage");
    t.extra.vertexOnlyEntry =
        QStringLiteral("Vertex shader without a fragment shader: compiled on its own");
    t.extra.computeEntry = QStringLiteral("Compute shader: compiled on its own");
    t.extra.targetAutomatic = QStringLiteral("Automatic");
    t.extra.targetFromVersion = QStringLiteral(
        "Compiled for %1, as the #version line of the program asks. Click to choose another "
        "target for this program.");
    t.extra.targetFromProject = QStringLiteral(
        "Compiled for %1, as the WorkSpace's project file says. Click to choose another target "
        "for this program.");
    t.extra.targetChosen = QStringLiteral(
        "Compiled for %1, as chosen for this program. Click to choose another target, or "
        "Automatic.");
    t.extra.projectFileUnusable = QStringLiteral(
        "The project file cannot be used, so the program is compiled without it: %1");
    t.extra.unusableFiles = QStringLiteral(
        "These entries of the WorkSpace have a shader file's name but are no file the editor can "
        "read, so their programs are listed without them and nothing writes them:\n\r%1");
    t.extra.keepOnDisk = QStringLiteral("Keep the file on disk");
    t.extra.archiveWithoutPairs = QStringLiteral(
        "The WorkSpace lists no shader pair, so no archive was written: %1 keeps the pairs it "
        "holds.");
    t.extra.unreadableWorkspace =
        QStringLiteral("The WorkSpace %1 cannot be read, so no pair is listed:\n\r%2");
    t.extra.deleteFiles = QStringLiteral("Do you really want to delete the following files?\n\r");
    t.extra.nulByte = QStringLiteral(
        "%1: line %2 holds a NUL byte, where the driver would stop reading; not compiled");
    t.extra.recoverQuestion = QStringLiteral(
        "The editor ended before the changes to %1 were saved. They were kept:\n\r%2\n\r"
        "Recover them into the panes? Nothing is written to disk until you save.");
    t.extra.recoverLine = QStringLiteral("%1 (kept %2)");
    t.extra.recoverChanged =
        QStringLiteral("%1 (kept %2; the file on disk has been changed since)");
    t.extra.recoverGone = QStringLiteral("%1 (kept %2; the file has been deleted since)");
    t.extra.recover = QStringLiteral("Recover");
    t.extra.discard = QStringLiteral("Discard");
    t.extra.recoveryFailed =
        QStringLiteral("Unsaved changes cannot be kept for recovery after a crash: %1");
    return t;
}

LanguageTexts german() {
    LanguageTexts t;
    t.menus = {QStringLiteral("&Datei"), QStringLiteral("&Bearbeiten"),
               QStringLiteral("&Einstellungen"), QStringLiteral("&Start"),
               QStringLiteral("&Hilfe")};
    t.actionCaptions = {
        {QStringLiteral("Action_SelWorkSpace"), QStringLiteral("Arbeitsbereich auswählen...")},
        {QStringLiteral("Action_SaveShader"), QStringLiteral("Shader speichern (Vert+Frag)")},
        {QStringLiteral("Action_Exit"), QStringLiteral("Beenden")},
        {QStringLiteral("Action_NewShader"),
         QStringLiteral("Kopie vom aktuellen Shader erstellen (Vert+Frag)")},
        {QStringLiteral("Action_NES"), QStringLiteral("Neuer Shader (Vert+Frag)")},
        {QStringLiteral("Action_Copy"), QStringLiteral("Kopieren")},
        {QStringLiteral("Action_Paste"), QStringLiteral("Einfügen")},
        {QStringLiteral("Action_Cut"), QStringLiteral("Ausschneiden")},
        {QStringLiteral("Action_Undo"), QStringLiteral("Rückgängig")},
        {QStringLiteral("Action_info"), QStringLiteral("Info")},
        {QStringLiteral("Action_hp"), QStringLiteral("Brimvale-Homepage")},
        {QStringLiteral("Action_Config"), QStringLiteral("Konfiguration")},
        {QStringLiteral("Action_Compile"), QStringLiteral("Shader testen")},
        {QStringLiteral("Action_TestAll"), QStringLiteral("Alle Shader testen (Arbeitsbereich)")},
    };
    t.actionHints = {
        {QStringLiteral("Action_SelWorkSpace"),
         QStringLiteral("Aktiven Arbeitsbereich auswählen (Directory).")},
        {QStringLiteral("Action_SaveShader"), QStringLiteral("Speichert beide Shader Dateien.")},
        {QStringLiteral("Action_NewShader"),
         QStringLiteral("Erstellt einen neuen Shader als Kopie des aktuellen Shader.")},
        {QStringLiteral("Action_NES"), QStringLiteral("Erstellt einen neuen Shader.")},
        {QStringLiteral("Action_Compile"),
         QStringLiteral("Compiliert beide Shaderfiles mit den aktuellen Grafikkartentreibern.")},
        {QStringLiteral("Action_TestAll"),
         QStringLiteral("Compiliert alle Shader des Arbeitsbereichs mit den aktuellen "
                        "Grafikkartentreibern.")},
    };
    t.workspaceListHint = QStringLiteral(
        "Alle Shaderfiles des aktuellen Arbeitsbereichs (jeweils 2 Shaderfiles [Vertex+Fragment] "
        "pro Eintrag).");
    t.workspacePanelCaption = QStringLiteral("Arbeitsbereich");
    t.messages = {
        QStringLiteral("Vertex Shader File konnte nicht geladen werden."),
        QStringLiteral("Fragment Shader File konnte nicht geladen werden."),
        QStringLiteral("Vertex-/ Fragment Shader Paar konnte nicht geladen werden!\n\rBitte prüfen "
                       "Sie die eingestellten Dateiendungen in der Konfiguration!"),
        QStringLiteral("Sollen die Änderungen im aktuellen Shader gespeichert werden?"),
        QStringLiteral("Einfügen [Vertex]"),
        QStringLiteral("Überschreiben [Vertex]"),
        QStringLiteral("Einfügen [Fragment]"),
        QStringLiteral("Überschreiben [Fragment]"),
        QStringLiteral("Verzeichnis für Arbeitsbereich auswählen..."),
        QStringLiteral("Datei ist bereits vorhanden!"),
        QStringLiteral("Ungültige Dateiendung für Vertex Shader File!"),
        QStringLiteral("Ungültige Dateiendung für Fragment Shader File!"),
        QStringLiteral("Dateiendungen für Vertex- und Fragmentshader müssen unterschiedlich sein!"),
        QStringLiteral("Eine Änderung der Dateiendungen erfordert das Speichern aller geöffneten "
                       "Dateien.\n\rAnschließend wird das aktuelle Verzeichnis neu eingelesen!"),
        QStringLiteral("Shader Files konnten nicht geladen werden."),
    };
    t.extra.invalidShaderName = QStringLiteral("Ungültiger Shader-Name!");
    t.extra.noOpenGlAtStart = QStringLiteral(
        "Kein OpenGL-Treiber verfügbar: %1\nShader können nicht getestet werden; das Bearbeiten "
        "funktioniert wie gewohnt.");
    t.extra.noOpenGlEntry = QStringLiteral("Kein OpenGL-Treiber verfügbar: %1");
    t.extra.driverStopped =
        QStringLiteral("Der OpenGL-Treiber ist beim Übersetzen von %2 abgebrochen (Signal %1)");
    t.extra.driverEnded =
        QStringLiteral("Der OpenGL-Treiber ist beim Übersetzen von %1 abgebrochen");
    t.extra.driverTooSlow = QStringLiteral("der Treiber brauchte länger als %1 s");
    t.extra.compileCancelled = QStringLiteral("Übersetzen abgebrochen: der Treiber wurde beendet.");
    t.extra.undecodableFileNames = QStringLiteral(
        "Diese Shader-Dateien fehlen im WorkSpace: Ihre Namen sind kein gültiges UTF-8, daher "
        "lassen sie sich nicht über ihren Namen öffnen. Benennen Sie sie um, um sie zu "
        "verwenden.\n\r%1");
    t.extra.changedOnDisk = QStringLiteral(
        "%1\n\rwurde seit dem Laden oder Speichern von einem anderen Programm geändert. Mit dem "
        "Text des Editors überschreiben oder die Datei auf der Festplatte unverändert behalten "
        "und im Editor anzeigen?");
    t.extra.overwrite = QStringLiteral("Überschreiben");
    t.extra.fragmentOnlyEntry = QStringLiteral(
        "Fragment-Shader ohne Vertex-Shader: wird mit einer bildschirmfüllenden Vertex-Stufe "
        "übersetzt und gezeichnet");
    t.extra.vertexOnlyEntry =
        QStringLiteral("Vertex-Shader ohne Fragment-Shader: wird für sich übersetzt");
    t.extra.computeEntry = QStringLiteral("Compute-Shader: wird für sich übersetzt");
    t.extra.targetAutomatic = QStringLiteral("Automatisch");
    t.extra.targetFromVersion = QStringLiteral(
        "Übersetzt für %1, wie die #version-Zeile des Programms verlangt. Klicken, um für dieses "
        "Programm ein anderes Ziel zu wählen.");
    t.extra.targetFromProject = QStringLiteral(
        "Übersetzt für %1, wie die Projektdatei des Arbeitsbereichs sagt. Klicken, um für dieses "
        "Programm ein anderes Ziel zu wählen.");
    t.extra.targetChosen = QStringLiteral(
        "Übersetzt für %1, wie für dieses Programm gewählt. Klicken, um ein anderes Ziel oder "
        "Automatisch zu wählen.");
    t.extra.projectFileUnusable = QStringLiteral(
        "Die Projektdatei ist nicht verwendbar, daher wird das Programm ohne sie übersetzt: %1");
    t.extra.unusableFiles = QStringLiteral(
        "Diese Einträge des Arbeitsbereichs tragen den Namen einer Shader-Datei, sind aber keine "
        "Datei, die der Editor lesen kann; ihre Programme werden ohne sie aufgeführt, und nichts "
        "schreibt sie:\n\r%1");
    t.extra.keepOnDisk = QStringLiteral("Datei auf der Festplatte behalten");
    t.extra.archiveWithoutPairs = QStringLiteral(
        "Der Arbeitsbereich enthält kein Shader-Paar, daher wurde kein Archiv geschrieben: %1 "
        "behält seine Paare.");
    t.extra.unreadableWorkspace = QStringLiteral(
        "Der Arbeitsbereich %1 kann nicht gelesen werden, daher wird kein Paar angezeigt:\n\r%2");
    t.extra.deleteFiles = QStringLiteral("Wollen Sie wirklich folgende Dateien löschen ?\n\r");
    t.extra.nulByte = QStringLiteral(
        "%1: Zeile %2 enthält ein NUL-Byte, an dem der Treiber aufhören würde zu lesen; nicht "
        "übersetzt");
    t.extra.recoverQuestion = QStringLiteral(
        "Der Editor wurde beendet, bevor die Änderungen an %1 gespeichert waren. Sie wurden "
        "aufbewahrt:\n\r%2\n\rIn die Editoren übernehmen? Gespeichert wird erst, wenn Sie "
        "speichern.");
    t.extra.recoverLine = QStringLiteral("%1 (aufbewahrt %2)");
    t.extra.recoverChanged = QStringLiteral("%1 (aufbewahrt %2; die Datei wurde seither geändert)");
    t.extra.recoverGone = QStringLiteral("%1 (aufbewahrt %2; die Datei wurde seither gelöscht)");
    t.extra.recover = QStringLiteral("Wiederherstellen");
    t.extra.discard = QStringLiteral("Verwerfen");
    t.extra.recoveryFailed = QStringLiteral(
        "Ungespeicherte Änderungen können nicht für eine Wiederherstellung aufbewahrt werden: %1");
    return t;
}

}  // namespace

bool IsGermanLanguage(const QString& languageName) {
    return languageName.contains(QStringLiteral("Deutsch"), Qt::CaseSensitive);
}

std::optional<LanguageTexts> languageTexts(int code) {
    switch (code) {
        case LanguageEnglish:
            return english();
        case LanguageGermanCode:
            return german();
        default:
            return std::nullopt;
    }
}

QString displayText(QString text) {
    return text.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
}

}  // namespace tessory
