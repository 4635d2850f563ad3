// SPDX-License-Identifier: MIT
#include "app/form_master.h"

#include "app/icons.h"
#include "editor/code_edit.h"
#include "editor/find_bar.h"
#include "editor/shader_pane.h"
#include "texts/editor_texts.h"
#include "texts/ui_texts.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace tessory {
namespace {

QWidget* makeTabSheet(const char* name, QWidget* content) {
    auto* sheet = new QWidget;
    sheet->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return sheet;
}

}  // namespace

TForm_Master::TForm_Master(Environment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)) {
    setObjectName(QStringLiteral("Form_Master"));
    setWindowTitle(kProgramTitle);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setupActions();
    setupMenus();
    setupToolBar();
    setupLayout();
    setupEditors();
    setupStatusBar();
    setupPreview();
    setupWatcher();
    connectCommands();
    restoreState();
}

TForm_Master::~TForm_Master() {
    releaseDriver();
}

QAction* TForm_Master::makeAction(const char* name, const QString& caption, const QString& icon) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!icon.isEmpty()) {
        action->setIcon(commandIcon(icon));
    }
    return action;
}

void TForm_Master::setupActions() {
    Action_SelWorkSpace =
        makeAction("Action_SelWorkSpace", QStringLiteral("Select WorkSpace"), "document-open");
    Action_NES =
        makeAction("Action_NES", QStringLiteral("New Empty Shader (Vert+Frag)"), "document-new");
    Action_NewShader = makeAction("Action_NewShader", QStringLiteral("New Shader (Vert+Frag)"),
                                  "shader-new-from-current");
    Action_SaveShader =
        makeAction("Action_SaveShader", QStringLiteral("Save Shader (Vert+Frag)"), "document-save");
    Action_DelS =
        makeAction("Action_DelS", QStringLiteral("Delete Shader (Selected)"), "edit-delete");
    Action_Rename = makeAction("Action_Rename", QStringLiteral("Rename Shader"));
    Action_Exit = makeAction("Action_Exit", QStringLiteral("Exit"));
    Action_Undo = makeAction("Action_Undo", QStringLiteral("Undo"), "edit-undo");
    Action_Cut = makeAction("Action_Cut", QStringLiteral("Cut"), "edit-cut");
    Action_Copy = makeAction("Action_Copy", QStringLiteral("Copy"), "edit-copy");
    Action_Paste = makeAction("Action_Paste", QStringLiteral("Paste"), "edit-paste");
    Action_Config = makeAction("Action_Config", QStringLiteral("Configuration"));
    Action_Compile =
        makeAction("Action_Compile", QStringLiteral("Test Shader (Compile)"), "shader-test");
    Action_TestAll =
        makeAction("Action_TestAll", QStringLiteral("Test WorkSpace"), "shader-test-all");
    Action_Find = makeAction("Action_Find", QStringLiteral("Find and Replace..."), "edit-find");
    Action_FindNext = makeAction("Action_FindNext", QStringLiteral("Find Next"));
    Action_FindPrevious = makeAction("Action_FindPrevious", QStringLiteral("Find Previous"));
    Action_GoToLine = makeAction("Action_GoToLine", QStringLiteral("Go to Line..."));
    Action_ZoomIn = makeAction("Action_ZoomIn", QStringLiteral("Zoom In"));
    Action_ZoomOut = makeAction("Action_ZoomOut", QStringLiteral("Zoom Out"));
    Action_ZoomReset = makeAction("Action_ZoomReset", QStringLiteral("Reset Zoom"));
    Action_NextMessage = makeAction("Action_NextMessage", QStringLiteral("Next Message"));
    Action_PreviousMessage =
        makeAction("Action_PreviousMessage", QStringLiteral("Previous Message"));
    Action_hp = makeAction("Action_hp", QStringLiteral("Brimvale-Homepage"));
    Action_info = makeAction("Action_info", QStringLiteral("Info"));

    Action_Undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Action_Cut->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    Action_Copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    Action_Paste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    // The keys other code editors use for the same commands, shown beside them in the menus.
    Action_SaveShader->setShortcut(QKeySequence::Save);
    Action_SelWorkSpace->setShortcut(QKeySequence::Open);
    Action_NewShader->setShortcut(QKeySequence::New);
    // Not QKeySequence::Quit: that is left unbound on desktops without a platform theme.
    Action_Exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action_Compile->setShortcut(QKeySequence(Qt::Key_F5));
    Action_TestAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F5));
    Action_Find->setShortcut(QKeySequence::Find);
    Action_FindNext->setShortcut(QKeySequence(Qt::Key_F3));
    Action_FindPrevious->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    Action_GoToLine->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_L)});
    // Ctrl+= as well, for keyboards where "+" needs Shift.
    Action_ZoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Action_ZoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    Action_ZoomReset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Action_NextMessage->setShortcut(QKeySequence(Qt::Key_F8));
    Action_PreviousMessage->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));

    for (QAction* action : {Action_SaveShader, Action_DelS, Action_Rename, Action_Undo,
                            Action_Paste, Action_Compile, Action_TestAll}) {
        action->setEnabled(false);
    }
}

void TForm_Master::connectCommands() {
    const auto bind = [this](QAction* action, void (TForm_Master::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    bind(Action_SelWorkSpace, &TForm_Master::Action_SelWorkSpaceExecute);
    bind(Action_NES, &TForm_Master::Action_NESExecute);
    bind(Action_NewShader, &TForm_Master::Action_NewShaderExecute);
    bind(Action_SaveShader, &TForm_Master::Action_SaveShaderExecute);
    bind(Action_DelS, &TForm_Master::Action_DelSExecute);
    bind(Action_Rename, &TForm_Master::Action_RenameExecute);
    connect(Action_Exit, &QAction::triggered, this, &QWidget::close);
    bind(Action_Undo, &TForm_Master::Action_UndoExecute);
    bind(Action_Cut, &TForm_Master::Action_CutExecute);
    bind(Action_Copy, &TForm_Master::Action_CopyExecute);
    bind(Action_Paste, &TForm_Master::Action_PasteExecute);
    bind(Action_Compile, &TForm_Master::Action_CompileExecute);
    bind(Action_TestAll, &TForm_Master::Action_TestAllExecute);
    // Activation is a double-click or Return/Enter, so the keyboard jumps as the mouse does.
    connect(messageList_, &QListWidget::itemActivated, this,
            [this] { guarded([this] { jumpToSelectedMessage(); }); });
    bind(Action_Config, &TForm_Master::Action_ConfigExecute);
    connect(Action_NextMessage, &QAction::triggered, this,
            [this] { guarded([this] { jumpToMessage(1); }); });
    connect(Action_PreviousMessage, &QAction::triggered, this,
            [this] { guarded([this] { jumpToMessage(-1); }); });
    bind(Action_hp, &TForm_Master::Action_hpExecute);
    bind(Action_info, &TForm_Master::Action_infoExecute);
    // The user's selection is handled once the list has finished with the click or key, so that
    // a selection put back by a cancelled save prompt is not overwritten by the list itself.
    // Only a selection counts: the list makes its first row current, unselected, whenever it gets
    // the focus without a current row, and that is nobody's choice.
    connect(pairListBox_, &QListWidget::itemSelectionChanged, this, [this] {
        const QListWidgetItem* current = pairListBox_->currentItem();
        if (selectingFromCode_ || listClickPending_ || current == nullptr ||
            !current->isSelected()) {
            return;
        }
        listClickPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                listClickPending_ = false;
                guarded([this] { openSelectedPair(); });
            },
            Qt::QueuedConnection);
    });
    connectCodeEditorCommands();
    connectKeyUp();
}

void TForm_Master::setupMenus() {
    // The menu bar begins with a separator, as the tool bar does.
    menuBar()->addSeparator();
    const auto addMenu = [this](const QString& title, const QList<QAction*>& actions) {
        QMenu* menu = menuBar()->addMenu(title);
        for (QAction* action : actions) {
            if (action == nullptr) {
                menu->addSeparator();
            } else {
                menu->addAction(action);
            }
        }
        menus_.append(menu);
    };
    addMenu(QStringLiteral("&File"),
            {Action_SelWorkSpace, nullptr, Action_NES, Action_NewShader, nullptr, Action_SaveShader,
             nullptr, Action_DelS, nullptr, Action_Rename, nullptr, Action_Exit});
    addMenu(QStringLiteral("&Edit"),
            {Action_Undo, nullptr, Action_Cut, Action_Copy, Action_Paste, nullptr, Action_Find,
             Action_FindNext, Action_FindPrevious, Action_GoToLine, nullptr, Action_ZoomIn,
             Action_ZoomOut, Action_ZoomReset});
    addMenu(QStringLiteral("&Options"), {Action_Config});
    addMenu(QStringLiteral("&Start"),
            {Action_Compile, Action_TestAll, nullptr, Action_NextMessage, Action_PreviousMessage});
    addMenu(QStringLiteral("&Help"), {Action_hp, nullptr, Action_info});

    pairMenu_ = new QMenu(this);
    pairMenu_->setObjectName(QStringLiteral("PopupActionBar1"));
    pairMenu_->addActions({Action_NES, Action_NewShader, Action_DelS, Action_Rename});
}

void TForm_Master::setupToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ActionToolBar1"));
    toolBar_->setObjectName(QStringLiteral("ActionToolBar1"));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    for (QAction* action : {(QAction*)nullptr, Action_SelWorkSpace, (QAction*)nullptr, Action_NES,
                            Action_NewShader, Action_SaveShader, (QAction*)nullptr, Action_Compile,
                            (QAction*)nullptr, Action_TestAll, (QAction*)nullptr}) {
        if (action == nullptr) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(action);
        }
    }
}

void TForm_Master::setupLayout() {
    workspaceCaption_ = new QLabel(QStringLiteral("WorkSpace"));
    workspaceCaption_->setObjectName(QStringLiteral("Panel2"));
    workspaceCaption_->setFixedHeight(24);
    workspaceCaption_->setAlignment(Qt::AlignCenter);

    pairListBox_ = new QListWidget;
    pairListBox_->setObjectName(QStringLiteral("ListBox1"));
    pairListBox_->setUniformItemSizes(true);
    pairListBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pairListBox_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        pairMenu_->popup(pairListBox_->viewport()->mapToGlobal(pos));
    });

    workspacePanel_ = new QWidget;
    workspacePanel_->setObjectName(QStringLiteral("Panel1"));
    auto* column = new QVBoxLayout(workspacePanel_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(workspaceCaption_);
    column->addWidget(pairListBox_);

    panes_[int(PairSide::Vertex)] = new ShaderPane(QStringLiteral("RichEdit_Vertex"));
    panes_[int(PairSide::Fragment)] = new ShaderPane(QStringLiteral("RichEdit_Fragment"));
    vertexPage_ = makeTabSheet("TabSheet1", pane(PairSide::Vertex).widget());
    fragmentPage_ = makeTabSheet("TabSheet2", pane(PairSide::Fragment).widget());
    paneTabs_ = new QTabWidget;
    paneTabs_->setObjectName(QStringLiteral("PageControl1"));
    paneTabs_->addTab(vertexPage_, QStringLiteral("VertexShader"));
    paneTabs_->addTab(fragmentPage_, QStringLiteral("FragmentShader"));
    paneTabs_->setCurrentIndex(1);
    // The pages, not their tabs, are disabled without a pair, so that the active tab never moves.
    vertexPage_->setEnabled(false);
    fragmentPage_->setEnabled(false);

    // The find bar sits under the panes, as in other code editors.
    findBar_ = new FindBar;
    findBar_->setObjectName(QStringLiteral("FindBar"));
    auto* editors = new QWidget;
    auto* editorColumn = new QVBoxLayout(editors);
    editorColumn->setContentsMargins(0, 0, 0, 0);
    editorColumn->setSpacing(0);
    editorColumn->addWidget(paneTabs_);
    editorColumn->addWidget(findBar_);

    mainSplitter_ = new QSplitter(Qt::Horizontal);
    mainSplitter_->setObjectName(QStringLiteral("Splitter1"));
    mainSplitter_->setHandleWidth(2);
    mainSplitter_->setChildrenCollapsible(false);
    mainSplitter_->addWidget(workspacePanel_);
    mainSplitter_->addWidget(editors);
    mainSplitter_->setStretchFactor(1, 1);
    mainSplitter_->setSizes({177, 683});

    messageList_ = new QListWidget;
    messageList_->setObjectName(QStringLiteral("ListBox_Err"));
    messageList_->setUniformItemSizes(true);

    messageSplitter_ = new QSplitter(Qt::Vertical);
    messageSplitter_->setObjectName(QStringLiteral("Splitter2"));
    messageSplitter_->setHandleWidth(2);
    messageSplitter_->setChildrenCollapsible(false);
    messageSplitter_->addWidget(mainSplitter_);
    messageSplitter_->addWidget(messageList_);
    messageSplitter_->setStretchFactor(0, 1);
    messageSplitter_->setSizes({500, 80});
    setCentralWidget(messageSplitter_);
}

void TForm_Master::setupStatusBar() {
    statusBar_ = statusBar();
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(true);
    // The caret and mode panels elide their ends and the path its middle, so that both ends of a
    // path stay readable.
    for (int i = 0; i < 3; ++i) {
        statusLabels_[i] = new ElidedLabel(i == 2 ? Qt::ElideMiddle : Qt::ElideRight);
        statusLabels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // The WorkSpace path takes whatever room the first two panels leave.
        statusBar_->addWidget(statusLabels_[i], i == 2 ? 1 : 0);
    }
    // The path has no width of its own to ask for, so it must be free to grow into that room.
    statusLabels_[2]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Room for a caret in a file of a million lines; the mode panel fits its texts once they are
    // known.
    statusLabels_[0]->fitTexts({QStringLiteral("Cursor: 000000 : 0000")});
}

void TForm_Master::guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        showError(error);
    }
}

void TForm_Master::showError(const std::exception& error) {
    message(QMessageBox::Critical, QString::fromUtf8(error.what()));
}

QMessageBox::StandardButton TForm_Master::message(QMessageBox::Icon icon, const QString& text,
                                                  QMessageBox::StandardButtons buttons) {
    return env_.prompter->showMessage(this, icon, text, buttons);
}

void TForm_Master::applyLanguage(int code) {
    messages_ = QStringList(kMessageCount, QString());
    extraTexts_ = {};
    const std::optional<LanguageTexts> texts = languageTexts(code);
    if (!texts) {
        return;
    }
    for (int i = 0; i < menus_.size(); ++i) {
        menus_[i]->setTitle(texts->menus[i]);
    }
    for (const auto& [name, caption] : texts->actionCaptions) {
        findChild<QAction*>(name, Qt::FindDirectChildrenOnly)->setText(caption);
    }
    for (const auto& [name, hint] : texts->actionHints) {
        QAction* action = findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    pairListBox_->setToolTip(texts->workspaceListHint);
    workspaceCaption_->setText(texts->workspacePanelCaption);
    messages_ = texts->messages;
    extraTexts_ = texts->extra;
    const EditorTexts editor = editorTexts(code == LanguageGermanCode);
    Action_Find->setText(editor.find);
    Action_FindNext->setText(editor.findNext);
    Action_FindPrevious->setText(editor.findPrevious);
    Action_GoToLine->setText(editor.goToLine);
    Action_ZoomIn->setText(editor.zoomIn);
    Action_ZoomOut->setText(editor.zoomOut);
    Action_ZoomReset->setText(editor.zoomReset);
    findBar_->setGerman(code == LanguageGermanCode);
    Action_NextMessage->setText(editor.nextMessage);
    Action_PreviousMessage->setText(editor.previousMessage);
    statusLabels_[1]->fitTexts({messages_[MsgInsertVertex], messages_[MsgOverwriteVertex],
                                messages_[MsgInsertFragment], messages_[MsgOverwriteFragment]});
}

void TForm_Master::updateCommandStates() {
    const QListWidgetItem* current = pairListBox_->currentItem();
    const bool pairSelected = current != nullptr && current->isSelected();
    for (QAction* action :
         {Action_Compile, Action_TestAll, Action_SaveShader, Action_DelS, Action_Rename,
          Action_Find, Action_FindNext, Action_FindPrevious, Action_GoToLine}) {
        action->setEnabled(pairSelected);
    }
    // Without a pair there is nothing to search; the focus stays where it is.
    if (!pairSelected) {
        findBar_->hide();
    }
    vertexPage_->setEnabled(pairSelected);
    fragmentPage_->setEnabled(pairSelected);
}

void TForm_Master::updateCaption() {
    QString title = kProgramTitle + QStringLiteral(" - [") + openPair_.name() +
                    (anyPaneModified() ? QStringLiteral("] *") : QStringLiteral("]"));
    // "[*]" is Qt's placeholder for a modified mark; doubled, it shows as written (a pair "*").
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

}  // namespace tessory
