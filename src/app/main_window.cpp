// SPDX-License-Identifier: MIT
#include "app/main_window.h"

#include "app/command_set.h"
#include "app/elided_label.h"
#include "app/hints.h"
#include "app/live_wiring.h"
#include "archive/archive_command.h"
#include "compile/build_controller.h"
#include "compile/driver_host.h"
#include "compile/error_list_view.h"
#include "compile/program_context.h"
#include "compile/target_panel.h"
#include "editor/code_edit.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "editor/recovery_keeper.h"
#include "editor/shader_pane.h"
#include "options/app_settings.h"
#include "options/options_controller.h"
#include "preview/preview_dock.h"
#include "texts/qt_translations.h"
#include "ui/guarded.h"
#include "ui/help_commands.h"
#include "ui/key_up_relay.h"
#include "ui/prompter.h"
#include "workspace/pair_list_view.h"
#include "workspace/recovery_store.h"
#include "workspace/workspace_controller.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tessory {
namespace {

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize(860, 660);
}

// Two parts that the user may resize against each other, the second taking what is left.
QSplitter* splitBetween(Qt::Orientation orientation, const QString& name, QWidget* first,
                        QWidget* second, const QList<int>& sizes) {
    auto* splitter = new QSplitter(orientation);
    splitter->setObjectName(name);
    splitter->setHandleWidth(2);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(first);
    splitter->addWidget(second);
    splitter->setStretchFactor(orientation == Qt::Horizontal ? 1 : 0, 1);
    splitter->setSizes(sizes);
    return splitter;
}

}  // namespace

MainWindow::MainWindow(Environment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)) {
    setObjectName(QStringLiteral("Form_Master"));
    setWindowTitle(kProgramTitle);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    Prompter& prompter = *env_.prompter;
    settings_ = new AppSettings(this);
    commands_ = new CommandSet(this);
    documents_ = new PairDocument(prompter, *settings_, this);
    editor_ = new PairEditor(*documents_);
    workspace_ = new WorkspaceController(*settings_, *documents_, prompter, this);
    driverHost_ = new DriverHost(env_.driverHostProgram, {QStringLiteral("--driver-host")}, this);
    program_ = new ProgramContext(*documents_, *workspace_, *settings_, this);
    build_ = new BuildController(*documents_, *editor_, *workspace_, *program_, prompter,
                                 *driverHost_, this);
    options_ = new OptionsController(*settings_, *workspace_, prompter, this);
    archive_ = new ArchiveCommand(workspace_->openPair(), prompter, this);
    help_ = new HelpCommands(prompter, this);
    recoveryKeeper_ = new RecoveryKeeper(
        env_.recoveryFolder.isEmpty() ? defaultRecoveryFolder() : env_.recoveryFolder, this);
    for (const PairSide side : kPanes) {
        recoveryKeeper_->watch(&documents_->document(side));
    }
    workspace_->setRecoveryStore(&recoveryKeeper_->store());
    setupLayout();
    status_ = StatusPanels::addTo(statusBar());
    auto* live = startLiveCheck(env_.driverHostProgram, *documents_, *editor_, *build_, *program_,
                                *settings_, this);
    preview_ = new PreviewDock(prompter, *documents_, *workspace_, *live, *settings_, this);
    preview_->setVulkan([this] { return program_->setup().target == Target::Vulkan; });
    targetPanel_ = addTargetPanel(statusBar(), *program_, *workspace_, *live);
    connectControllers();
    start();
}

MainWindow::~MainWindow() = default;

void MainWindow::setupLayout() {
    workspaceCaption_ = new QLabel(QStringLiteral("WorkSpace"));
    workspaceCaption_->setObjectName(QStringLiteral("Panel2"));
    workspaceCaption_->setFixedHeight(24);
    workspaceCaption_->setAlignment(Qt::AlignCenter);
    workspacePanel_ = new QWidget;
    workspacePanel_->setObjectName(QStringLiteral("Panel1"));
    auto* column = new QVBoxLayout(workspacePanel_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(workspaceCaption_);
    column->addWidget(workspace_->listView());

    QSplitter* panes = splitBetween(Qt::Horizontal, QStringLiteral("Splitter1"), workspacePanel_,
                                    editor_, {177, 683});
    QSplitter* messages = splitBetween(Qt::Vertical, QStringLiteral("Splitter2"), panes,
                                       build_->errorList(), {500, 80});
    setCentralWidget(messages);
}

void MainWindow::connectControllers() {
    const PairCommands& pair = commands_->pair();
    workspace_->connectPairActions(pair);
    const AppCommands& app = commands_->app();
    connect(app.exit, &QAction::triggered, this, &QWidget::close);
    connect(app.options, &QAction::triggered, options_, &OptionsController::Action_ConfigExecute);
    connect(app.homepage, &QAction::triggered, help_, &HelpCommands::Action_hpExecute);
    connect(app.about, &QAction::triggered, help_, &HelpCommands::Action_infoExecute);
    editor_->connectEditActions(commands_->edit(), commands_->view());
    build_->connectBuildActions(commands_->build());
    preview_->connectPreviewAction(commands_->view().preview);
    build_->setFrozenWhileTesting(
        commands_->changingCommands() +
        QList<QObject*>{workspace_->listView(), editor_->pages()[0], editor_->pages()[1]});

    PairListView* list = workspace_->listView();
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
        commands_->pairMenu()->popup(list->viewport()->mapToGlobal(at));
    });
    connect(workspace_, &WorkspaceController::captionChanged, this, &QWidget::setWindowTitle);
    connect(workspace_, &WorkspaceController::pairSelectionChanged, commands_,
            &CommandSet::setPairCommandsEnabled);
    connect(workspace_, &WorkspaceController::pairSelectionChanged, editor_,
            &PairEditor::setPairSelected);
    connect(workspace_, &WorkspaceController::pairLoaded, editor_, &PairEditor::updateEditActions);
    connect(workspace_, &WorkspaceController::pairLoaded, preview_, &PreviewDock::showPair);
    connect(workspace_, &WorkspaceController::workspaceShown, status_.path,
            &ElidedLabel::setFullText);
    connect(workspace_, &WorkspaceController::messagesOutdated, build_,
            &BuildController::clearMessages);
    connect(documents_, &PairDocument::filesChecked, workspace_,
            &WorkspaceController::updateCaption);
    connect(documents_, &PairDocument::filesChecked, editor_, &PairEditor::updateEditActions);
    connect(build_, &BuildController::diagnosticsReady, preview_, &PreviewDock::diagnosticsReady);
    // Said in the status bar, once: the editing goes on.
    const auto note = [this](const QString& text) { statusBar()->showMessage(text, 20000); };
    const auto recoveryTrouble = [this, note](const QString& why) {
        note(Texts::of(settings_->german()).extra().recoveryFailed.arg(why));
    };
    connect(editor_, &PairEditor::noteShown, this, note);
    connect(recoveryKeeper_, &RecoveryKeeper::failed, this, recoveryTrouble);
    connect(workspace_, &WorkspaceController::recoveryTrouble, this, recoveryTrouble);
    connect(editor_, &PairEditor::caretShown, status_.caret, &ElidedLabel::setText);
    connect(editor_, &PairEditor::insertModeShown, status_.mode, &ElidedLabel::setText);
    connect(editor_, &PairEditor::zoomChanged, settings_, &AppSettings::setZoom);
    connect(settings_, &AppSettings::formatsChanged, editor_, &PairEditor::setFormats);
    connect(settings_, &AppSettings::zoomChanged, editor_, &PairEditor::setZoom);
    connect(settings_, &AppSettings::timeLimitsChanged, build_,
            &BuildController::setCompileTimeLimit);
    connect(settings_, &AppSettings::languageChanged, this, &MainWindow::applyTexts);

    auto* keys = new KeyUpRelay(this);
    for (const PairSide side : kPanes) {
        keys->watch(editor_->pane(side).widget());
    }
    keys->watch(list);
    keys->watch(build_->errorList());
    keys->watchWindow(this);
    connect(keys, &KeyUpRelay::keyReleased, this, [this](int key) {
        if (key == Qt::Key_F10) {
            runGuarded(*env_.prompter, this, [this] { archive_->writeShaderArchive(); });
        }
    });
}

void MainWindow::start() {
    settings_->load(*env_.openSettings(), env_.programDir, primaryScreenSize());
    const TCFG& values = settings_->values();
    move(values.main_pos_left, values.main_pos_top);
    resize(values.main_size_width, values.main_size_height);
    if (values.main_size_maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // The texts come before the WorkSpace scan, which may already need a message.
    if (IsGermanLanguage(env_.languageName)) {
        qtGerman_ = std::make_unique<QtGermanTranslations>();
        settings_->setGerman(true);
    } else {
        applyTexts();
    }
    editor_->setZoom(values.EditorZoom);
    editor_->setFormats(categoryFormats(values));
    workspace_->start(env_.workspace);
    build_->setCompileTimeLimit(values.CompileTimeLimit);
    build_->startDriver();
    preview_->showPair(workspace_->openPair().name(), workspace_->openPair().directory());
    preview_->restore(settings_->values());
    installHintTiming(*qApp);
}

void MainWindow::applyTexts() {
    const Texts texts = Texts::of(settings_->german());
    commands_->retranslate(texts);
    workspace_->listView()->setToolTip(texts.ui.workspaceListHint);
    workspaceCaption_->setText(texts.ui.workspacePanelCaption);
    status_.mode->fitTexts({texts.message(MsgInsertVertex), texts.message(MsgOverwriteVertex),
                            texts.message(MsgInsertFragment), texts.message(MsgOverwriteFragment)});
    documents_->setTexts(texts);
    editor_->setTexts(texts);
    workspace_->setTexts(texts);
    build_->setTexts(texts);
    options_->setTexts(texts);
    archive_->setTexts(texts);
    preview_->setTexts(texts);
    program_->setGerman(texts.german);
    targetPanel_->setTexts(texts);
}

TCFG MainWindow::settings() const {
    TCFG current = settings_->values();
    workspace_->storeInto(current);
    return current;
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        workspace_->updateCaption();
        editor_->showStatus();
        workspace_->listView()->setFocus();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A save that fails keeps the window open, with the error shown.
    event->ignore();
    if (build_->busy()) {
        return;
    }
    runGuarded(*env_.prompter, this, [this, event] {
        if (!workspace_->maybeSave()) {
            return;
        }
        // Saved or left unsaved on purpose: nothing is to be recovered.
        recoveryKeeper_->forgetAll();
        if (!settings_->values().main_size_maximized) {
            rememberGeometry();
        }
        preview_->storeInto(*settings_);
        // Settings that cannot be written are no reason to keep the window open: the user
        // learns why, once, and it closes.
        runGuarded(*env_.prompter, this, [this] {
            const std::unique_ptr<QSettings> store = env_.openSettings();
            AppSettings::store(*store, settings());
        });
        event->accept();
    });
}

void MainWindow::rememberGeometry() {
    // Only the normal bounds are kept, so that a maximized window comes back from its normal size.
    const TCFG& values = settings_->values();
    if (values.main_size_maximized || windowState() != Qt::WindowNoState) {
        return;
    }
    settings_->setNormalGeometry({x() > 0 ? x() : values.main_pos_left,
                                  y() > 0 ? y() : values.main_pos_top, width(), height()});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    rememberGeometry();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    rememberGeometry();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        settings_->setMaximized((windowState() & ~Qt::WindowActive) == Qt::WindowMaximized);
    }
}

}  // namespace tessory
