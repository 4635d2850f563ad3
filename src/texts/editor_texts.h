// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The captions and messages of the code-editor commands and of files changed by other programs.
struct EditorTexts {
    QString find;
    QString findNext;
    QString findPrevious;
    QString goToLine;
    QString zoomIn;
    QString zoomOut;
    QString zoomReset;
    QString nextMessage;
    QString previousMessage;
    // %1: the file. Asked when a file with unsaved edits in its pane changed on disk.
    QString changedWhileEdited;
    QString reloadAndLose;
    QString keepMine;
    // %1: the file.
    QString deletedOnDisk;
    // %1: why a stage file, or an included file, could not be read (naming it). Its tab stays
    // empty and nothing writes it.
    QString fileNotLoaded;
    // %1: the name an #include line gives, %2: the file it is in.
    QString includeNotFound;
};

EditorTexts editorTexts(bool german);

}  // namespace tessory
