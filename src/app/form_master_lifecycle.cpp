// SPDX-License-Identifier: MIT
// Start-up, showing, geometry tracking and closing of the main window.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "app/hints.h"
#include "options/settings_file.h"
#include "texts/ui_texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTabWidget>

namespace tessory {
namespace {

const QString kSettingsGroup = QStringLiteral("V1/settings");

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize(860, 660);
}

}  // namespace

void TForm_Master::FormCreate() {
    cfg = defaultSettings(env_.programDir);
    RegIniRead();
    trimExtensions(cfg);
    checkWorkspace(cfg, env_.programDir);
    openPair_.setDirectory(cfg.CurrentDir);
    openPair_.setName(cfg.CurrentFileName);
    openPair_.setExtensions({cfg.FileExtVertex, cfg.FileExtFragment});
    const bool workspaceGiven = takeGivenWorkspace();
    fitToScreen(cfg, primaryScreenSize());
    move(cfg.main_pos_left, cfg.main_pos_top);
    resize(cfg.main_size_width, cfg.main_size_height);
    if (cfg.main_size_maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // The texts come before the WorkSpace scan, which may already need a message.
    LanguageGerman = IsGermanLanguage(env_.languageName);
    if (LanguageGerman) {
        qtGerman_ = std::make_unique<QtGermanTranslations>();
    }
    SetLanguageTexts(LanguageGerman ? LanguageGermanCode : LanguageEnglish);
    applyZoom(cfg.EditorZoom);
    FillSearchList(keywordTable, categoryFormats(cfg));
    if (QFileInfo(openPair_.directory()).isDir()) {
        ScanDir();
    }
    guarded([this, workspaceGiven] { workspaceGiven ? openFirstPair() : ReloadLastPair(); });
    CheckStatusEnabled();
    CreateGlContext();
    applyPreviewSettings();
    installHintTiming(*qApp);
}

void TForm_Master::FormShow() {
    SetAppCaption();
    StatusPanel[0]->setText(QStringLiteral("Cursor:"));
    StatusPanel[1]->setText(
        insertModeText(PageControl1->currentIndex() == 0 ? PairSide::Vertex : PairSide::Fragment));
    ListBox1->setFocus();
}

void TForm_Master::FormResize() {
    // Only the normal bounds are kept, so that a maximized window comes back from its normal size.
    if (cfg.main_size_maximized || windowState() != Qt::WindowNoState) {
        return;
    }
    if (y() > 0) {
        cfg.main_pos_top = y();
    }
    if (x() > 0) {
        cfg.main_pos_left = x();
    }
    cfg.main_size_width = width();
    cfg.main_size_height = height();
}

void TForm_Master::SystemCommand(Qt::WindowStates states) {
    cfg.main_size_maximized = (states & ~Qt::WindowActive) == Qt::WindowMaximized;
}

bool TForm_Master::FormCloseQuery() {
    return CheckFileSave();
}

void TForm_Master::FormClose() {
    if (!cfg.main_size_maximized) {
        FormResize();
    }
    storePreviewState();
    // Settings that cannot be written are no reason to keep the window open: the user learns
    // why, once, and it closes.
    guarded([this] { RegIniSave(); });
}

void TForm_Master::RegIniRead() {
    const std::unique_ptr<QSettings> store = env_.openSettings();
    store->beginGroup(kSettingsGroup);
    if (store->childKeys().isEmpty()) {
        return;
    }
    const SettingsLookup lookup = [&store](const QString& name) -> std::optional<QVariant> {
        if (!store->contains(name)) {
            return std::nullopt;
        }
        return store->value(name);
    };
    readSettings(lookup, cfg, primaryScreenSize());
}

void TForm_Master::RegIniSave() {
    const std::unique_ptr<QSettings> store = env_.openSettings();
    writeSettingsFile(*store, kSettingsGroup, storedValues(settings()));
}

TCFG TForm_Master::settings() const {
    TCFG current = cfg;
    current.CurrentDir = openPair_.directory();
    current.CurrentFileName = openPair_.name();
    current.FileExtVertex = openPair_.extensions().vertex;
    current.FileExtFragment = openPair_.extensions().fragment;
    return current;
}

void TForm_Master::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        FormShow();
    }
}

void TForm_Master::closeEvent(QCloseEvent* event) {
    // A save that fails keeps the window open, with the error shown.
    event->ignore();
    if (testRunning_) {
        return;
    }
    guarded([this, event] {
        if (FormCloseQuery()) {
            FormClose();
            event->accept();
        }
    });
}

void TForm_Master::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm_Master::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    FormResize();
}

void TForm_Master::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        SystemCommand(windowState());
    }
}

}  // namespace tessory
