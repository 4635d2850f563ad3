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
};

EditorTexts editorTexts(bool german);

}  // namespace tessory
