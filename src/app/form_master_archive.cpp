// SPDX-License-Identifier: MIT
// The F10 key of the main window: the archive of every pair of the WorkSpace, behind the progress
// window.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "archive/archive_file.h"
#include "ui/form_progress.h"
#include "editor/code_edit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QThread>

#include <memory>
#include <utility>

namespace tessory {
namespace {

// Hands the key releases that a widget receives to one handler. A held key repeats its release
// on some platforms; only the real release counts, so that one F10 writes one archive.
class KeyUpRelay final : public QObject {
public:
    using Handler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

    KeyUpRelay(Handler handler, QObject* parent) : QObject(parent), handler_(std::move(handler)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) {
                handler_(key->key(), key->modifiers());
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Handler handler_;
};

}  // namespace

void TForm_Master::connectKeyUp() {
    auto* relay = new KeyUpRelay(
        [this](int key, Qt::KeyboardModifiers modifiers) { keyReleased(key, modifiers); }, this);
    for (QWidget* widget : std::initializer_list<QWidget*>{pane(PairSide::Vertex).widget(),
                                                           pane(PairSide::Fragment).widget(),
                                                           pairListBox_, messageList_}) {
        widget->installEventFilter(relay);
    }
}

void TForm_Master::keyReleaseEvent(QKeyEvent* event) {
    // A release that a child ignored climbs up to here as well: the four watched children have
    // already had theirs, and one from the tab strip or any other child is not the window's. The
    // window's own is the one it receives while none of its children holds the focus.
    const QWidget* focus = focusWidget();
    if ((focus == nullptr || focus == this) && !event->isAutoRepeat()) {
        keyReleased(event->key(), event->modifiers());
    }
    QMainWindow::keyReleaseEvent(event);
}

void TForm_Master::keyReleased(int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_F10) {
        guarded([this] { writeShaderArchive(); });
    }
}

void TForm_Master::writeShaderArchive() {
    const QString archive = openPair_.directory() + QStringLiteral("shaders.dat");
    const QStringList names = openPair_.listed();
    // An archive without a pair is a backup of nothing: an archive that exists keeps its pairs.
    if (names.isEmpty() && QFileInfo::exists(archive)) {
        message(QMessageBox::Warning, extraTexts_.archiveWithoutPairs.arg(archive));
        return;
    }
    // A fresh window every time, gone however the writing ends, so that a failure never leaves
    // it on screen in front of its own error message.
    const auto release = [](TForm_Progress* window) {
        window->hide();
        window->deleteLater();
    };
    const std::unique_ptr<TForm_Progress, decltype(release)> progress(new TForm_Progress(nullptr),
                                                                      release);
    // The keyboard focus stays where the user pressed F10.
    progress->setAttribute(Qt::WA_ShowWithoutActivating);
    progress->show();
    progress->raise();
    progress->ProgressBar1->setMaximum(100);
    progress->ProgressBar1->setValue(20);
    progress->Label1->setText(QStringLiteral("Building File"));
    // Paints the window before the writing blocks the event loop.
    QCoreApplication::processEvents();

    // Over a large WorkSpace the writing takes seconds: the bar moves on from 20 with the pairs
    // written and is repainted a few times a second, so the window never looks stuck. The user's
    // input waits until the archive is written, so no command runs in the middle of it.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const ArchiveProgress advance = [&progress, &sinceRepaint](qsizetype done, qsizetype total) {
        if (done == total || sinceRepaint.elapsed() < 100) {
            return;
        }
        progress->ProgressBar1->setValue(int(20 + 80 * done / total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceRepaint.restart();
    };
    SaveAllShadersEnCrypted(archive, names, openPair_.directory(), openPair_.extensions().vertex,
                            openPair_.extensions().fragment, archiveGenerator_, advance);

    // The full bar stays in sight for a moment before the window goes.
    QThread::msleep(50);
    progress->ProgressBar1->setValue(100);
    QCoreApplication::processEvents();
    QThread::msleep(50);
}

}  // namespace tessory
