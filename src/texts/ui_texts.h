// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>

namespace tessory {

// Slots of the message table, in table order.
enum MessageSlot {
    MsgCouldNotLoadVertex = 0,
    MsgCouldNotLoadFragment,
    MsgPairNotFound,
    MsgSaveChanges,
    MsgInsertVertex,
    MsgOverwriteVertex,
    MsgInsertFragment,
    MsgOverwriteFragment,
    MsgSelectWorkspaceTitle,
    MsgFileExists,
    MsgInvalidVertexExt,
    MsgInvalidFragmentExt,
    MsgExtensionsMustDiffer,
    MsgExtensionChangeWarning,
    MsgCouldNotLoadShaders,
};
inline constexpr int kMessageCount = 15;

enum LanguageCode { LanguageEnglish = 0, LanguageGermanCode = 1 };

// Everything the language step writes, for one language. Action captions and hints are keyed by
// the action's object name and listed in the order in which they are written.
struct LanguageTexts {
    std::array<QString, 5> menus;
    QList<std::pair<QString, QString>> actionCaptions;
    QList<std::pair<QString, QString>> actionHints;
    QString workspaceListHint;
    QString workspacePanelCaption;
    QStringList messages;  // kMessageCount entries

    // Texts beyond the message table.
    struct Extra {
        QString invalidShaderName;
        QString noOpenGlAtStart;  // %1: the cause
        QString noOpenGlEntry;    // %1: the cause
        QString driverStopped;    // %1: the signal, %2: the pair
        QString driverEnded;      // %1: the pair
        QString driverTooSlow;    // %1: the time limit in seconds
        QString compileCancelled;
        QString undecodableFileNames;  // %1: the names, one per line
        QString changedOnDisk;         // %1: the file another program changed
        QString overwrite;             // the choices for such a file
        QString keepOnDisk;
        QString archiveWithoutPairs;  // %1: the archive that was kept
        QString unreadableWorkspace;  // %1: the WorkSpace, %2: the cause
        QString deleteFiles;          // followed by the files, one per line
        QString nulByte;              // %1: VertexShader or FragmentShader, %2: the line
        // Unsaved changes kept when the editor ended without saving them.
        QString recoverQuestion;  // %1: the pair, %2: one recoverLine... per file
        QString recoverLine;      // %1: the file, %2: when it was kept
        QString recoverChanged;   // the same, the file on disk changed since
        QString recoverGone;      // the same, the file deleted since
        QString recover;
        QString discard;
        // Why a WorkSpace entry is no pair, as its tooltip says.
        QString fragmentOnlyEntry;
        QString vertexOnlyEntry;
        QString computeEntry;
        // %1: "name: why" for each entry with a shader extension that is no readable file.
        QString unusableFiles;
        // The target panel of the status bar: its menu's first choice, and why the target is
        // the one it shows (%1: the target).
        QString targetAutomatic;
        QString targetFromVersion;
        QString targetFromProject;
        QString targetChosen;
        // %1: "file:line: what is wrong". The program is compiled without the project file.
        QString projectFileUnusable;
        QString recoveryFailed;  // %1: why
    } extra;
};

// German exactly when the platform's name of the user's language contains "Deutsch".
bool IsGermanLanguage(const QString& languageName);

// The texts of a language code; nothing for a code other than English or German.
std::optional<LanguageTexts> languageTexts(int code);

// Texts shown on screen keep the stored "\n\r" line breaks of the message table; message boxes
// show them as plain line feeds.
QString displayText(QString text);

}  // namespace tessory
