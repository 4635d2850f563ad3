// SPDX-License-Identifier: MIT
// The open pair's files as other programs change them: reloaded when the pane holds no edits,
// asked about when it does, and said so when they are deleted.
#include "app/form_master.h"

#include "editor/shader_pane.h"
#include "texts/editor_texts.h"
#include "workspace/pair_watcher.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>

#include <utility>

namespace tessory {

void TForm_Master::setupWatcher() {
    pairWatcher_ = new PairWatcher(this);
    for (const PairSide side : kPairSides) {
        connect(&pane(side), &ShaderPane::stampChanged, this, &TForm_Master::watchOpenPair);
    }
    connect(pairWatcher_, &PairWatcher::changed, this,
            [this] { guarded([this] { checkFilesOnDisk(); }); });
}

void TForm_Master::watchOpenPair() {
    QStringList files;
    for (const PairSide side : kPairSides) {
        if (!pane(side).stamp().path().isEmpty()) {
            files.append(pane(side).stamp().path());
        }
    }
    if (files != pairWatcher_->files()) {
        pairWatcher_->watch(files);
    }
}

void TForm_Master::checkFilesOnDisk() {
    // A question still open, or a WorkSpace test loading pair after pair, comes first; the
    // next change looks again.
    if (checkingFiles_ || testRunning_) {
        recheckFiles_ = true;
        return;
    }
    checkingFiles_ = true;
    const auto checked = qScopeGuard([this] {
        checkingFiles_ = false;
        if (std::exchange(recheckFiles_, false)) {
            QTimer::singleShot(0, this, [this] { guarded([this] { checkFilesOnDisk(); }); });
        }
    });
    const EditorTexts texts = editorTexts(german_);
    for (const PairSide side : kPairSides) {
        ShaderPane& shown = pane(side);
        const QString path = shown.stamp().path();
        if (path.isEmpty() || !shown.stamp().changedOnDisk(path)) {
            continue;
        }
        if (!QFileInfo(path).isFile()) {
            // Modified, so that the caption says so and Save writes the file again.
            shown.setStamp(FileStamp::of(path, {}));
            shown.setModified(true);
            message(QMessageBox::Warning, texts.deletedOnDisk.arg(path));
            continue;
        }
        const QByteArray bytes = readShaderFile(path);
        if (shown.isModified() &&
            env_.prompter->askChoice(this, QMessageBox::Warning, texts.changedWhileEdited.arg(path),
                                     {texts.keepMine, texts.reloadAndLose}) != 1) {
            // The user has chosen: the next Save writes this version without asking again.
            shown.setStamp(FileStamp::of(path, bytes));
            continue;
        }
        shown.reload(decodeShaderText(bytes), FileStamp::of(path, bytes));
    }
    updateCaption();
    updateEditActions();
}

}  // namespace tessory
