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

void TForm_Master::restoreState() {
    settings_ = defaultSettings(env_.programDir);
    readStoredSettings();
    trimExtensions(settings_);
    checkWorkspace(settings_, env_.programDir);
    openPair_.setDirectory(settings_.CurrentDir);
    openPair_.setName(settings_.CurrentFileName);
    openPair_.setExtensions({settings_.FileExtVertex, settings_.FileExtFragment});
    const bool workspaceGiven = takeGivenWorkspace();
    fitToScreen(settings_, primaryScreenSize());
    move(settings_.main_pos_left, settings_.main_pos_top);
    resize(settings_.main_size_width, settings_.main_size_height);
    if (settings_.main_size_maximized) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    // The texts come before the WorkSpace scan, which may already need a message.
    german_ = IsGermanLanguage(env_.languageName);
    if (german_) {
        qtGerman_ = std::make_unique<QtGermanTranslations>();
    }
    applyLanguage(german_ ? LanguageGermanCode : LanguageEnglish);
    applyZoom(settings_.EditorZoom);
    for (const PairSide side : kPairSides) {
        pane(side).setFormats(categoryFormats(settings_));
    }
    if (QFileInfo(openPair_.directory()).isDir()) {
        rescanWorkspace();
    }
    guarded([this, workspaceGiven] { workspaceGiven ? openFirstPair() : reopenLastPair(); });
    updateCommandStates();
    createGlContext();
    applyPreviewSettings();
    installHintTiming(*qApp);
}

void TForm_Master::firstShow() {
    updateCaption();
    statusLabels_[0]->setText(QStringLiteral("Cursor:"));
    statusLabels_[1]->setText(
        insertModeText(paneTabs_->currentIndex() == 0 ? PairSide::Vertex : PairSide::Fragment));
    pairListBox_->setFocus();
}

void TForm_Master::rememberGeometry() {
    // Only the normal bounds are kept, so that a maximized window comes back from its normal size.
    if (settings_.main_size_maximized || windowState() != Qt::WindowNoState) {
        return;
    }
    if (y() > 0) {
        settings_.main_pos_top = y();
    }
    if (x() > 0) {
        settings_.main_pos_left = x();
    }
    settings_.main_size_width = width();
    settings_.main_size_height = height();
}

void TForm_Master::rememberWindowState(Qt::WindowStates states) {
    settings_.main_size_maximized = (states & ~Qt::WindowActive) == Qt::WindowMaximized;
}

bool TForm_Master::canClose() {
    return maybeSave();
}

void TForm_Master::storeStateOnClose() {
    if (!settings_.main_size_maximized) {
        rememberGeometry();
    }
    storePreviewState();
    // Settings that cannot be written are no reason to keep the window open: the user learns
    // why, once, and it closes.
    guarded([this] { storeSettings(); });
}

void TForm_Master::readStoredSettings() {
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
    readSettings(lookup, settings_, primaryScreenSize());
}

void TForm_Master::storeSettings() {
    const std::unique_ptr<QSettings> store = env_.openSettings();
    writeSettingsFile(*store, kSettingsGroup, storedValues(settings()));
}

TCFG TForm_Master::settings() const {
    TCFG current = settings_;
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
        firstShow();
    }
}

void TForm_Master::closeEvent(QCloseEvent* event) {
    // A save that fails keeps the window open, with the error shown.
    event->ignore();
    if (testRunning_) {
        return;
    }
    guarded([this, event] {
        if (canClose()) {
            storeStateOnClose();
            event->accept();
        }
    });
}

void TForm_Master::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    rememberGeometry();
}

void TForm_Master::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    rememberGeometry();
}

void TForm_Master::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        rememberWindowState(windowState());
    }
}

}  // namespace tessory
