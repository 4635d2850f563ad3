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

#include <functional>

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
    const FileQuestion asking = holdFileChecks();
    const EditorTexts texts = editorTexts(german_);
    for (const PairSide side : kPairSides) {
        ShaderPane& shown = pane(side);
        const QString path = shown.stamp().path();
        if (!path.isEmpty() && shown.stamp().changedOnDisk(path)) {
            settleChangedFile(shown, path, texts);
        }
    }
    updateCaption();
    updateEditActions();
}

void TForm_Master::settleChangedFile(ShaderPane& shown, const QString& path,
                                     const EditorTexts& texts) {
    // Another program may write again while the question is open: the answer holds for the text
    // the user was asked about, and a newer one is looked at like any other change.
    for (;;) {
        if (!QFileInfo(path).isFile()) {
            // Gone, or a folder in its place. Modified, so that the caption says so and Save
            // writes the file again.
            shown.setStamp(FileStamp::of(path, {}));
            shown.setModified(true);
            message(QMessageBox::Warning, texts.deletedOnDisk.arg(path));
            return;
        }
        const QByteArray asked = readShaderFile(path);
        if (!shown.isModified()) {
            shown.reload(decodeShaderText(asked), FileStamp::of(path, asked));
            return;
        }
        const bool reload =
            env_.prompter->askChoice(this, QMessageBox::Warning, texts.changedWhileEdited.arg(path),
                                     {texts.keepMine, texts.reloadAndLose}) == 1;
        if (!QFileInfo(path).isFile()) {
            continue;
        }
        const QByteArray now = readShaderFile(path);
        if (reload) {
            shown.reload(decodeShaderText(now), FileStamp::of(path, now));
            return;
        }
        if (now == asked) {
            // The user has chosen: the next Save writes this version without asking again.
            shown.setStamp(FileStamp::of(path, now));
            return;
        }
    }
}

TForm_Master::FileQuestion TForm_Master::holdFileChecks() {
    const bool outermost = !std::exchange(checkingFiles_, true);
    return qScopeGuard(std::function<void()>([this, outermost] {
        if (!outermost) {
            return;
        }
        checkingFiles_ = false;
        if (std::exchange(recheckFiles_, false)) {
            QTimer::singleShot(0, this, [this] { guarded([this] { checkFilesOnDisk(); }); });
        }
    }));
}

}  // namespace tessory
