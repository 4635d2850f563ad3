// SPDX-License-Identifier: MIT
#pragma once

#include "texts/texts.h"
#include "ui/command_groups.h"

#include <QList>
#include <QObject>

class QMainWindow;
class QMenu;
class QToolBar;

namespace tessory {

// Every command of the main window: its action (named as the program has always named it, so
// that it can be found), its place in the menus, the tool bar and the WorkSpace list's pop-up
// menu, its key and its texts. The controllers get the groups they carry out.
class CommandSet : public QObject {
    Q_OBJECT
public:
    // The actions are children of the window, their menus and tool bar its own.
    explicit CommandSet(QMainWindow* window);

    const PairCommands& pair() const { return pair_; }
    const EditCommands& edit() const { return edit_; }
    const BuildCommands& build() const { return build_; }
    const ViewCommands& view() const { return view_; }
    const AppCommands& app() const { return app_; }
    QMenu* pairMenu() const { return pairMenu_; }

    void retranslate(const Texts& texts);
    // The commands that need a selected pair.
    void setPairCommandsEnabled(bool enabled);
    // The commands that would change the files or the settings under a WorkSpace test.
    QList<QObject*> changingCommands() const;

private:
    QAction* makeAction(const char* name, const QString& caption, const QString& icon = {});
    void setupKeys();
    void setupMenus();
    void setupToolBar();

    QMainWindow* window_;
    PairCommands pair_;
    EditCommands edit_;
    BuildCommands build_;
    ViewCommands view_;
    AppCommands app_;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* startMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* pairMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};

}  // namespace tessory
