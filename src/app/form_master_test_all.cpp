// SPDX-License-Identifier: MIT
// "Test all shaders (WorkSpace)": every pair compiled from disk until the driver reports something.
#include "app/form_master.h"

#include "compile/compile_and_link.h"
#include "ui/form_progress.h"
#include "compile/gl_context.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QScopeGuard>

#include <vector>

namespace tessory {
namespace {

// Turns widgets and commands off for the length of a task and back to what they were after it,
// however the task ends.
class DisabledWhileRunning {
public:
    explicit DisabledWhileRunning(const QList<QObject*>& objects) {
        for (QObject* object : objects) {
            if (auto* action = qobject_cast<QAction*>(object)) {
                saved_.push_back({object, action->isEnabled()});
                action->setEnabled(false);
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                saved_.push_back({object, widget->isEnabled()});
                widget->setEnabled(false);
            }
        }
    }
    ~DisabledWhileRunning() {
        for (const auto& [object, enabled] : saved_) {
            if (auto* action = qobject_cast<QAction*>(object.data())) {
                action->setEnabled(enabled);
            } else if (auto* widget = qobject_cast<QWidget*>(object.data())) {
                widget->setEnabled(enabled);
            }
        }
    }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    std::vector<std::pair<QPointer<QObject>, bool>> saved_;
};

}  // namespace

void TForm_Master::Action_TestAllExecute() {
    const int selectedRow = pairListBox_->currentRow();
    if (pairListBox_->count() == 0 || selectedRow < 0 || !maybeSave()) {
        return;
    }
    showCompiling();
    if (!glReady()) {
        return;
    }
    // The window keeps repainting while the test runs; nothing may change the WorkSpace, the pair
    // or the panes under it, nor start a second test.
    const DisabledWhileRunning frozen(
        {pairListBox_, vertexPage_, fragmentPage_, Action_SelWorkSpace, Action_NES,
         Action_NewShader, Action_SaveShader, Action_DelS, Action_Rename, Action_Undo, Action_Cut,
         Action_Paste, Action_Config, Action_Compile, Action_TestAll});
    testRunning_ = true;
    const auto stopped = qScopeGuard([this] { testRunning_ = false; });

    const int reportedRow = compileWorkspace();

    const int row = reportedRow >= 0 ? reportedRow : selectedRow;
    selectListEntry(row);
    openPair_.setName(pairListBox_->item(row)->text());
    loadPair(openPair_.name());
    setPanesUnmodified();
    updateCaption();
    compilePanes();
    jumpToFirstError();
    // Files changed while the test ran are looked at now.
    checkFilesOnDisk();
}

int TForm_Master::compileWorkspace() {
    auto* progress = new TForm_Progress(this);
    const auto closeProgress = qScopeGuard([progress] {
        progress->hide();
        progress->deleteLater();
    });
    progress->ProgressBar1->setRange(0, pairListBox_->count() - 1);
    progress->show();
    // The bar follows the pairs but is painted, with the rest of the window, about once a frame:
    // painting it for every pair was a large part of the command's own time on small pairs.
    QElapsedTimer sincePaint;
    for (int i = 0; i < pairListBox_->count(); ++i) {
        if (!sincePaint.isValid() || sincePaint.elapsed() >= 20) {
            progress->ProgressBar1->setValue(i);
            QCoreApplication::processEvents();
            sincePaint.start();
        }
        const QString name = pairListBox_->item(i)->text();
        const QString vertex = openPair_.path(PairSide::Vertex, name);
        const QString fragment = openPair_.path(PairSide::Fragment, name);
        // Owned by the progress window, which stays on top: a box owned by the main window
        // would open behind it.
        if (!QFileInfo(vertex).isFile()) {
            env_.prompter->showMessage(progress, QMessageBox::Critical,
                                       messages_[MsgCouldNotLoadVertex], QMessageBox::Ok);
        } else if (!QFileInfo(fragment).isFile()) {
            env_.prompter->showMessage(progress, QMessageBox::Critical,
                                       messages_[MsgCouldNotLoadFragment], QMessageBox::Ok);
        } else {
            const QByteArray vertexBytes = readShaderFile(vertex);
            const QByteArray fragmentBytes = readShaderFile(fragment);
            // A NUL byte ends what the driver reads: the pair is reported, as its pane says why.
            if (vertexBytes.contains('\0') || fragmentBytes.contains('\0') ||
                compileAndLinkFileTexts(glContext_->arb(), vertexBytes, fragmentBytes).hasLog()) {
                return i;
            }
        }
    }
    return -1;
}

}  // namespace tessory
