// SPDX-License-Identifier: MIT
#pragma once

#include "app/status_panels.h"
#include "compile/gl_context.h"
#include "options/settings.h"

#include <QMainWindow>
#include <QSettings>

#include <functional>
#include <memory>

class QLabel;

namespace tessory {

class AppSettings;
class ArchiveCommand;
class BuildController;
class ProgramContext;
class TargetPanel;
class DriverHost;
class CommandSet;
class HelpCommands;
class OptionsController;
class PairDocument;
class PairEditor;
class PreviewDock;
class Prompter;
class QtGermanTranslations;
class RecoveryKeeper;
class WorkspaceController;

// The main window: the WorkSpace list beside the pair's panes, the error list under them, the
// preview dock, the menus and the status bar. It lays them out and connects the controllers that
// do the work; it carries out no command itself.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // What the window needs from outside; tests pass their own.
    struct Environment {
        Prompter* prompter = nullptr;
        QString programDir;    // the default WorkSpace
        QString workspace;     // given on the command line: replaces the stored one
        QString languageName;  // the user's language as the platform names it
        std::function<std::unique_ptr<QSettings>()> openSettings;
        // The program that runs the driver for the window when started with --driver-host.
        QString driverHostProgram;
        QString recoveryFolder;  // where unsaved texts are kept; the user's state folder if empty
    };

    explicit MainWindow(Environment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The settings the window would store now.
    TCFG settings() const;

    WorkspaceController& workspace() const { return *workspace_; }
    PairDocument& documents() const { return *documents_; }
    PairEditor& editor() const { return *editor_; }
    BuildController& build() const { return *build_; }
    ProgramContext& program() const { return *program_; }
    OptionsController& options() const { return *options_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupLayout();
    void connectControllers();
    void start();
    void applyTexts();
    void rememberGeometry();

    Environment env_;
    AppSettings* settings_;
    std::unique_ptr<QtGermanTranslations> qtGerman_;
    CommandSet* commands_;
    PairDocument* documents_;
    PairEditor* editor_;
    WorkspaceController* workspace_;
    DriverHost* driverHost_;
    ProgramContext* program_;
    TargetPanel* targetPanel_ = nullptr;
    BuildController* build_;
    PreviewDock* preview_;
    OptionsController* options_;
    ArchiveCommand* archive_;
    HelpCommands* help_;
    RecoveryKeeper* recoveryKeeper_;
    QWidget* workspacePanel_ = nullptr;
    QLabel* workspaceCaption_ = nullptr;
    StatusPanels status_;
    bool shown_ = false;
};

}  // namespace tessory
