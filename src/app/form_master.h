// SPDX-License-Identifier: MIT
#pragma once

#include "app/elided_label.h"
#include "archive/rcx.h"
#include "compile/gl_context.h"
#include "editor/keyword_table.h"
#include "options/settings.h"
#include "ui/prompter.h"
#include "texts/qt_translations.h"
#include "texts/ui_texts.h"
#include "workspace/name_rules.h"
#include "workspace/open_pair.h"
#include "workspace/shader_file.h"

#include <QMainWindow>
#include <QPointer>
#include <QScopeGuard>
#include <QSettings>
#include <QStringList>

#include <array>
#include <exception>
#include <functional>
#include <memory>

class QAction;
class QDockWidget;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QPlainTextEdit;
class QToolBar;

namespace tessory {

class PreviewPanel;
class CodeEdit;
class ShaderPane;
class PairWatcher;
class FindBar;
class TForm_Config;
struct DriverMessage;
struct EditorTexts;
struct NameDialogTexts;

// The main window: the WorkSpace list, the two editor panes, the error list and every command.
class TForm_Master : public QMainWindow {
    Q_OBJECT

public:
    // What the window needs from outside; tests pass their own.
    struct Environment {
        Prompter* prompter = nullptr;
        QString programDir;    // the default WorkSpace
        QString workspace;     // given on the command line: replaces the stored one
        QString languageName;  // the user's language as the platform names it
        std::function<std::unique_ptr<QSettings>()> openSettings;
        std::function<GlContextResult()> createGlContext;
    };

    explicit TForm_Master(Environment environment, QWidget* parent = nullptr);
    ~TForm_Master() override;

    // The settings the window would store now.
    TCFG settings() const;
    // The message table of the interface language, in MessageSlot order.
    const QStringList& messageTexts() const { return messages_; }

    void updateCommandStates();
    void updateCaption();
    void applyLanguage(int code);

    // WorkSpace and pairs.
    void rescanWorkspace();
    void loadPair(const QString& name);
    bool maybeSave();
    void Action_SaveShaderExecute();
    void Action_SelWorkSpaceExecute();
    void Action_NewShaderExecute();
    void Action_NESExecute();
    void Action_DelSExecute();
    void Action_RenameExecute();

    // Editor panes.
    void updateEditActions();
    void Action_UndoExecute();
    void Action_CutExecute();
    void Action_CopyExecute();
    void Action_PasteExecute();

    // Compiling and the error list.
    void Action_CompileExecute();
    void Action_TestAllExecute();
    void jumpToFirstError();
    void jumpToSelectedMessage();

    // Options.
    void Action_ConfigExecute();
    // Saves the open pair if need be, then reads the WorkSpace with the new extensions and opens
    // its first pair; false when the user cancelled the save prompt.
    bool changeExtensions(const QString& vertexExt, const QString& fragmentExt);

    // The preview dock, F9.
    void Action_PreviewExecute();

    // Help.
    void Action_hpExecute();
    void Action_infoExecute();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void savePanes(const QString& name);
    void clearPanes();
    void setPanesUnmodified();
    void openSelectedPair();
    // The directory the user chose, starting at `directory` when it is one; nothing on Cancel.
    std::optional<QString> chooseWorkspace(const QString& caption, const QString& directory);
    void activePaneChanged();
    void clearErrorMarks();
    // Jumps to the next message with a place in a pane (-1: the previous one), after the list's
    // current one, round the end of the list.
    void jumpToMessage(int step);
    // The caret to the line and column of a pane, the line marked red: one mark in both panes.
    void markErrorLine(PairSide side, int line, int column);
    static const QString kCompilingEntry;
    // Takes the formats into the settings and pushes them into both panes.
    void applyFormats(const CategoryFormats& formats);
    // Key releases of the window, both panes and both lists; F10 writes the shader archive.
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);
    void openUrl(const QString& address);

    void setupActions();
    void setupMenus();
    void setupToolBar();
    void setupLayout();
    void setupStatusBar();
    void setupPreview();
    void setupWatcher();
    // Watches the files the panes show.
    void watchOpenPair();
    void checkFilesOnDisk();
    void settleChangedFile(ShaderPane& shown, const QString& path, const EditorTexts& texts);
    // One question about the open pair's files at a time: while the returned guard lives, the
    // watcher's checks wait, and they run once it is gone.
    using FileQuestion = QScopeGuard<std::function<void()>>;
    [[nodiscard]] FileQuestion holdFileChecks();
    void applyPreviewSettings();
    void storePreviewState();
    void setupEditors();
    void connectCommands();
    void connectCodeEditorCommands();
    // Both panes take the zoom of the one the user zoomed, and it is kept with the settings.
    void applyZoom(int step);
    void connectKeyUp();

    void restoreState();
    void firstShow();
    void rememberGeometry();
    bool canClose();
    void storeStateOnClose();
    void releaseDriver();
    void createGlContext();
    bool glReady();
    void setErrorList(const QList<DriverMessage>& entries);
    void showCompiling();
    void compilePanes();
    // An entry for each pane that holds a NUL byte.
    QList<DriverMessage> nulByteMessages() const;
    bool jumpToEntry(const DriverMessage& entry);
    int compileWorkspace();
    void rememberWindowState(Qt::WindowStates states);
    void readStoredSettings();
    void storeSettings();

    // Selections made here do not count as the user's: they do not load a pair.
    void selectListEntry(int row);
    void showListedPairs();
    void reselectOpenPair();
    void reopenLastPair();
    void openFirstPair();
    // Empties the panes and leaves no pair open.
    void closeOpenPair();
    // Reads the WorkSpace again and opens its first pair.
    void reopenWorkspace();
    // Start-up: true when the command line's WorkSpace replaced the stored one.
    bool takeGivenWorkspace();
    ShaderPane& pane(PairSide side) const { return *panes_[int(side)]; }
    bool anyPaneModified() const;
    // Shows the file in the pane, or says it could not be loaded and empties the pane.
    void loadPane(PairSide side, const QString& path, const std::optional<QByteArray>& file,
                  int missingMessage);
    // Asks whether a file another program changed is overwritten; false keeps it as it is.
    bool overwriteChangedFile(const QString& path);
    void createPair(bool empty);
    CodeEdit* activePane() const;
    QString insertModeText(PairSide side) const;
    void paneKeyDown(PairSide side, int key, Qt::KeyboardModifiers modifiers);
    void paneSelectionChange(PairSide side);
    void runEditCommand(void (QPlainTextEdit::*command)());
    NameDialogTexts nameDialogTexts() const;
    void writeShaderArchive();

    QAction* makeAction(const char* name, const QString& caption, const QString& icon = {});
    // Runs a command; anything it throws is shown to the user and the program goes on.
    void guarded(const std::function<void()>& command);
    void showError(const std::exception& error);
    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // The settings block; the WorkSpace, the open pair and the extensions live in openPair_.
    TCFG settings_;
    QStringList messages_;
    LanguageTexts::Extra extraTexts_;
    bool german_ = false;

    // The window's parts; their object names are those of the layout.
    QToolBar* toolBar_ = nullptr;
    QWidget* workspacePanel_ = nullptr;
    QLabel* workspaceCaption_ = nullptr;
    QListWidget* pairListBox_ = nullptr;
    QSplitter* mainSplitter_ = nullptr;
    QTabWidget* paneTabs_ = nullptr;
    QWidget* vertexPage_ = nullptr;
    QWidget* fragmentPage_ = nullptr;
    QSplitter* messageSplitter_ = nullptr;
    QListWidget* messageList_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    // Caret, insert mode, WorkSpace path.
    ElidedLabel* statusLabels_[3] = {};
    QMenu* pairMenu_ = nullptr;
    QList<QMenu*> menus_;

    QAction* Action_SelWorkSpace = nullptr;
    QAction* Action_NES = nullptr;
    QAction* Action_NewShader = nullptr;
    QAction* Action_SaveShader = nullptr;
    QAction* Action_DelS = nullptr;
    QAction* Action_Rename = nullptr;
    QAction* Action_Exit = nullptr;
    QAction* Action_Undo = nullptr;
    QAction* Action_Cut = nullptr;
    QAction* Action_Copy = nullptr;
    QAction* Action_Paste = nullptr;
    QAction* Action_Config = nullptr;
    QAction* Action_Compile = nullptr;
    QAction* Action_TestAll = nullptr;
    QAction* Action_hp = nullptr;
    QAction* Action_info = nullptr;
    QAction* Action_Preview = nullptr;
    QAction* Action_Find = nullptr;
    QAction* Action_FindNext = nullptr;
    QAction* Action_FindPrevious = nullptr;
    QAction* Action_GoToLine = nullptr;
    QAction* Action_ZoomIn = nullptr;
    QAction* Action_ZoomOut = nullptr;
    QAction* Action_ZoomReset = nullptr;
    QAction* Action_NextMessage = nullptr;
    QAction* Action_PreviousMessage = nullptr;
    QDockWidget* PreviewDock = nullptr;

    // The options dialog while it is open.
    QPointer<TForm_Config> optionsDialog_;

    Environment env_;
    OpenPair openPair_;
    PreviewPanel* previewPanel_ = nullptr;
    std::unique_ptr<QtGermanTranslations> qtGerman_;
    bool shown_ = false;
    bool selectingFromCode_ = false;
    bool listClickPending_ = false;
    std::array<ShaderPane*, 2> panes_{};
    PairWatcher* pairWatcher_ = nullptr;
    FindBar* findBar_ = nullptr;
    bool checkingFiles_ = false;
    bool recheckFiles_ = false;
    std::unique_ptr<GlContext> glContext_;
    QString glFailure_;
    bool testRunning_ = false;
    // The random prefixes of the archive lines: keyed once per run and only ever advanced, so the
    // first archive after a start is always the same and every later one differs.
    RCxState archiveGenerator_ = RCxNewGenerator();
};

}  // namespace tessory
