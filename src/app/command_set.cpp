// SPDX-License-Identifier: MIT
#include "app/command_set.h"

#include "app/icons.h"
#include "texts/assist_texts.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace tessory {

CommandSet::CommandSet(QMainWindow* window) : QObject(window), window_(window) {
    pair_.selectWorkspace =
        makeAction("Action_SelWorkSpace", QStringLiteral("Select WorkSpace"), "document-open");
    pair_.newEmpty =
        makeAction("Action_NES", QStringLiteral("New Empty Shader (Vert+Frag)"), "document-new");
    pair_.newFromCurrent = makeAction("Action_NewShader", QStringLiteral("New Shader (Vert+Frag)"),
                                      "shader-new-from-current");
    pair_.save =
        makeAction("Action_SaveShader", QStringLiteral("Save Shader (Vert+Frag)"), "document-save");
    pair_.remove =
        makeAction("Action_DelS", QStringLiteral("Delete Shader (Selected)"), "edit-delete");
    pair_.rename = makeAction("Action_Rename", QStringLiteral("Rename Shader"));
    app_.exit = makeAction("Action_Exit", QStringLiteral("Exit"));
    edit_.undo = makeAction("Action_Undo", QStringLiteral("Undo"), "edit-undo");
    edit_.cut = makeAction("Action_Cut", QStringLiteral("Cut"), "edit-cut");
    edit_.copy = makeAction("Action_Copy", QStringLiteral("Copy"), "edit-copy");
    edit_.paste = makeAction("Action_Paste", QStringLiteral("Paste"), "edit-paste");
    app_.options = makeAction("Action_Config", QStringLiteral("Configuration"));
    build_.compile =
        makeAction("Action_Compile", QStringLiteral("Test Shader (Compile)"), "shader-test");
    build_.testAll =
        makeAction("Action_TestAll", QStringLiteral("Test WorkSpace"), "shader-test-all");
    edit_.find = makeAction("Action_Find", QStringLiteral("Find and Replace..."), "edit-find");
    edit_.findNext = makeAction("Action_FindNext", QStringLiteral("Find Next"));
    edit_.findPrevious = makeAction("Action_FindPrevious", QStringLiteral("Find Previous"));
    edit_.goToLine = makeAction("Action_GoToLine", QStringLiteral("Go to Line..."));
    edit_.complete = makeAction("Action_Complete", QStringLiteral("Complete"));
    edit_.goToDefinition = makeAction("Action_GoToDefinition", QStringLiteral("Go to Definition"));
    edit_.goBack = makeAction("Action_GoBack", QStringLiteral("Go Back"));
    edit_.quickHelp = makeAction("Action_QuickHelp", QStringLiteral("Quick Help"));
    edit_.outline = makeAction("Action_Outline", QStringLiteral("Outline"));
    view_.zoomIn = makeAction("Action_ZoomIn", QStringLiteral("Zoom In"));
    view_.zoomOut = makeAction("Action_ZoomOut", QStringLiteral("Zoom Out"));
    view_.zoomReset = makeAction("Action_ZoomReset", QStringLiteral("Reset Zoom"));
    build_.nextMessage = makeAction("Action_NextMessage", QStringLiteral("Next Message"));
    build_.previousMessage =
        makeAction("Action_PreviousMessage", QStringLiteral("Previous Message"));
    app_.homepage = makeAction("Action_hp", QStringLiteral("Brimvale-Homepage"));
    app_.about = makeAction("Action_info", QStringLiteral("Info"));
    view_.preview = makeAction("Action_Preview", QStringLiteral("Preview"));
    setupKeys();
    setupMenus();
    setupToolBar();
    for (QAction* action : {pair_.save, pair_.remove, pair_.rename, edit_.undo, edit_.paste,
                            build_.compile, build_.testAll}) {
        action->setEnabled(false);
    }
}

QAction* CommandSet::makeAction(const char* name, const QString& caption, const QString& icon) {
    auto* action = new QAction(caption, window_);
    action->setObjectName(QString::fromLatin1(name));
    if (!icon.isEmpty()) {
        action->setIcon(commandIcon(icon));
    }
    return action;
}

void CommandSet::setupKeys() {
    edit_.undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    edit_.cut->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    edit_.copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    edit_.paste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    // The keys other code editors use for the same commands, shown beside them in the menus.
    pair_.save->setShortcut(QKeySequence::Save);
    pair_.selectWorkspace->setShortcut(QKeySequence::Open);
    pair_.newFromCurrent->setShortcut(QKeySequence::New);
    // Not QKeySequence::Quit: that is left unbound on desktops without a platform theme.
    app_.exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    build_.compile->setShortcut(QKeySequence(Qt::Key_F5));
    build_.testAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F5));
    edit_.find->setShortcut(QKeySequence::Find);
    edit_.findNext->setShortcut(QKeySequence(Qt::Key_F3));
    edit_.findPrevious->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    edit_.goToLine->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_L)});
    // Ctrl+= as well, for keyboards where "+" needs Shift.
    view_.zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    view_.zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    view_.zoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    // F2 and Alt+Left as in other code editors; F2 was free here.
    edit_.complete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    edit_.goToDefinition->setShortcut(QKeySequence(Qt::Key_F2));
    edit_.goBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    edit_.quickHelp->setShortcut(QKeySequence(Qt::Key_F1));
    edit_.outline->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    build_.nextMessage->setShortcut(QKeySequence(Qt::Key_F8));
    build_.previousMessage->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
}

void CommandSet::setupMenus() {
    QMenuBar* bar = window_->menuBar();
    // The menu bar begins with a separator, as the tool bar does.
    bar->addSeparator();
    const auto addMenu = [bar](const QString& title, const QList<QAction*>& actions) {
        QMenu* menu = bar->addMenu(title);
        for (QAction* action : actions) {
            if (action == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(action);
            }
        }
        return menu;
    };
    fileMenu_ =
        addMenu(QStringLiteral("&File"),
                {pair_.selectWorkspace, nullptr, pair_.newEmpty, pair_.newFromCurrent, nullptr,
                 pair_.save, nullptr, pair_.remove, nullptr, pair_.rename, nullptr, app_.exit});
    editMenu_ = addMenu(
        QStringLiteral("&Edit"),
        {edit_.undo,    nullptr,        edit_.cut,       edit_.copy,           edit_.paste,
         nullptr,       edit_.find,     edit_.findNext,  edit_.findPrevious,   edit_.goToLine,
         nullptr,       edit_.complete, edit_.quickHelp, edit_.goToDefinition, edit_.goBack,
         edit_.outline, nullptr,        view_.zoomIn,    view_.zoomOut,        view_.zoomReset});
    optionsMenu_ = addMenu(QStringLiteral("&Options"), {app_.options});
    startMenu_ = addMenu(QStringLiteral("&Start"),
                         {build_.compile, build_.testAll, nullptr, build_.nextMessage,
                          build_.previousMessage, nullptr, view_.preview});
    helpMenu_ = addMenu(QStringLiteral("&Help"), {app_.homepage, nullptr, app_.about});

    pairMenu_ = new QMenu(window_);
    pairMenu_->setObjectName(QStringLiteral("PopupActionBar1"));
    pairMenu_->addActions({pair_.newEmpty, pair_.newFromCurrent, pair_.remove, pair_.rename});
}

void CommandSet::setupToolBar() {
    toolBar_ = window_->addToolBar(QStringLiteral("ActionToolBar1"));
    toolBar_->setObjectName(QStringLiteral("ActionToolBar1"));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    for (QAction* action : {(QAction*)nullptr, pair_.selectWorkspace, (QAction*)nullptr,
                            pair_.newEmpty, pair_.newFromCurrent, pair_.save, (QAction*)nullptr,
                            build_.compile, (QAction*)nullptr, build_.testAll, (QAction*)nullptr}) {
        if (action == nullptr) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(action);
        }
    }
}

void CommandSet::retranslate(const Texts& texts) {
    const std::array<QMenu*, 5> menus = {fileMenu_, editMenu_, optionsMenu_, startMenu_, helpMenu_};
    for (std::size_t i = 0; i < menus.size(); ++i) {
        menus[i]->setTitle(texts.ui.menus[i]);
    }
    for (const auto& [name, caption] : texts.ui.actionCaptions) {
        window_->findChild<QAction*>(name, Qt::FindDirectChildrenOnly)->setText(caption);
    }
    for (const auto& [name, hint] : texts.ui.actionHints) {
        QAction* action = window_->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    const EditorTexts& editor = texts.editor;
    edit_.find->setText(editor.find);
    edit_.findNext->setText(editor.findNext);
    edit_.findPrevious->setText(editor.findPrevious);
    edit_.goToLine->setText(editor.goToLine);
    view_.zoomIn->setText(editor.zoomIn);
    view_.zoomOut->setText(editor.zoomOut);
    view_.zoomReset->setText(editor.zoomReset);
    build_.nextMessage->setText(editor.nextMessage);
    build_.previousMessage->setText(editor.previousMessage);
    const AssistTexts assist = assistTexts(texts.german);
    edit_.complete->setText(assist.complete);
    edit_.goToDefinition->setText(assist.goToDefinition);
    edit_.goBack->setText(assist.goBack);
    edit_.quickHelp->setText(assist.quickHelp);
    edit_.outline->setText(assist.outline);
}

QList<QObject*> CommandSet::changingCommands() const {
    return {pair_.selectWorkspace, pair_.newEmpty, pair_.newFromCurrent, pair_.save,
            pair_.remove,          pair_.rename,   edit_.undo,           edit_.cut,
            edit_.paste,           app_.options,   build_.compile,       build_.testAll};
}

void CommandSet::setPairCommandsEnabled(bool enabled) {
    for (QAction* action :
         {build_.compile, build_.testAll, pair_.save, pair_.remove, pair_.rename, edit_.find,
          edit_.findNext, edit_.findPrevious, edit_.goToLine, edit_.complete, edit_.goToDefinition,
          edit_.goBack, edit_.quickHelp, edit_.outline}) {
        action->setEnabled(enabled);
    }
}

}  // namespace tessory
