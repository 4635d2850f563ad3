// SPDX-License-Identifier: MIT
#pragma once

class QAction;

namespace tessory {

// The window's commands as the controllers that carry them out receive them. The window owns
// the actions, their menus, tool bar entries, keys and texts.

struct PairCommands {
    QAction* selectWorkspace = nullptr;
    QAction* newEmpty = nullptr;
    QAction* newFromCurrent = nullptr;
    QAction* save = nullptr;
    QAction* remove = nullptr;
    QAction* rename = nullptr;
};

struct EditCommands {
    QAction* undo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* find = nullptr;
    QAction* findNext = nullptr;
    QAction* findPrevious = nullptr;
    QAction* goToLine = nullptr;
    QAction* complete = nullptr;
    QAction* goToDefinition = nullptr;
    QAction* goBack = nullptr;
    QAction* quickHelp = nullptr;
    QAction* outline = nullptr;
};

struct BuildCommands {
    QAction* compile = nullptr;
    QAction* testAll = nullptr;
    QAction* nextMessage = nullptr;
    QAction* previousMessage = nullptr;
};

struct ViewCommands {
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* zoomReset = nullptr;
    QAction* preview = nullptr;
};

struct AppCommands {
    QAction* exit = nullptr;
    QAction* options = nullptr;
    QAction* homepage = nullptr;
    QAction* about = nullptr;
};

}  // namespace tessory
