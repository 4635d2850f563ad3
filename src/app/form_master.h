#pragma once

#include "app/prompter.h"
#include "app/settings.h"

#include <QMainWindow>
#include <QSettings>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTextEdit;
class QToolBar;

namespace tessory {

// The main window: the WorkSpace list, the two editor panes, the error list and every command.
class TForm_Master : public QMainWindow {
    Q_OBJECT

public:
    // What the window needs from outside; tests pass their own.
    struct Environment {
        Prompter* prompter = nullptr;
        QString programDir;    // the default WorkSpace
        QString languageName;  // the user's language as the platform names it
        std::function<std::unique_ptr<QSettings>()> openSettings;
    };

    explicit TForm_Master(Environment environment, QWidget* parent = nullptr);
    ~TForm_Master() override;

    void CheckStatusEnabled();
    void SetAppCaption();
    void SetLanguageTexts(int code);

    // The settings block.
    TCFG cfg;
    QStringList MessageTexts;
    bool LanguageGerman = false;

    // Components, named as in the layout.
    QToolBar* ActionToolBar1 = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QTextEdit* RichEdit_Vertex = nullptr;
    QTextEdit* RichEdit_Fragment = nullptr;
    QSplitter* Splitter2 = nullptr;
    QListWidget* ListBox_Err = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel[3] = {};
    QMenu* PopupActionBar1 = nullptr;
    QList<QMenu*> MainMenus;

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

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setupActions();
    void setupMenus();
    void setupToolBar();
    void setupLayout();
    void setupStatusBar();

    void FormCreate();
    void FormShow();
    void FormResize();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void SystemCommand(Qt::WindowStates states);
    void RegIniRead();
    void RegIniSave();

    QAction* makeAction(const char* name, const QString& caption, const QString& icon = {});
    // Runs a command; anything it throws is shown to the user and the program goes on.
    void guarded(const std::function<void()>& command);
    void showError(const std::exception& error);
    QMessageBox::StandardButton message(QMessageBox::Icon icon, const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    Environment env_;
    bool shown_ = false;
    // True from start-up until the first pair is loaded or the window is shown: text changes in
    // the panes then are loads, not edits, and are not re-highlighted one by one.
    bool loading_ = true;
};

}  // namespace tessory
