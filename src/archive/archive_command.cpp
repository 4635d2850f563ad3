// SPDX-License-Identifier: MIT
#include "archive/archive_command.h"

#include "archive/archive_file.h"
#include "ui/form_progress.h"
#include "ui/prompter.h"
#include "workspace/open_pair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QThread>

#include <memory>

namespace tessory {

ArchiveCommand::ArchiveCommand(const OpenPair& workspace, Prompter& prompter, QWidget* owner)
    : QObject(owner),
      workspace_(workspace),
      prompter_(prompter),
      owner_(owner),
      texts_(Texts::of(false)) {}

void ArchiveCommand::writeShaderArchive() {
    const QString archive = workspace_.directory() + QStringLiteral("shaders.dat");
    // The archive holds pairs: a shader that stands alone has no place in its format.
    const QStringList names = workspace_.listedPairs();
    // An archive without a pair is a backup of nothing: an archive that exists keeps its pairs.
    if (names.isEmpty() && QFileInfo::exists(archive)) {
        prompter_.showMessage(owner_, QMessageBox::Warning,
                              texts_.extra().archiveWithoutPairs.arg(archive), QMessageBox::Ok);
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
    SaveAllShadersEnCrypted(archive, names, workspace_.directory(), workspace_.extensions().vertex,
                            workspace_.extensions().fragment, generator_, advance);

    // The full bar stays in sight for a moment before the window goes.
    QThread::msleep(50);
    progress->ProgressBar1->setValue(100);
    QCoreApplication::processEvents();
    QThread::msleep(50);
}

}  // namespace tessory
