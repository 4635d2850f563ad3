// SPDX-License-Identifier: MIT
// The WorkSpace side of the main window: the scan, the list, loading, saving and the save prompt.
#include "app/form_master.h"

#include "editor/shader_pane.h"
#include "preview/preview_panel.h"
#include "texts/ui_texts.h"
#include "workspace/pair_scan.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

namespace tessory {
namespace {

// The bytes of a pair file, or nothing when there is no file at the path (absent, or not a
// file): the caller reports the file as not loaded. A file that cannot be read throws FileError.
std::optional<QByteArray> readPairFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    return readShaderFile(path);
}

}  // namespace

void TForm_Master::selectListEntry(int row) {
    const bool wasSelecting = selectingFromCode_;
    selectingFromCode_ = true;
    pairListBox_->setCurrentRow(row);
    selectingFromCode_ = wasSelecting;
}

void TForm_Master::showListedPairs() {
    const bool wasSelecting = selectingFromCode_;
    selectingFromCode_ = true;
    pairListBox_->setUpdatesEnabled(false);
    pairListBox_->clear();
    pairListBox_->addItems(openPair_.listed());
    // A long name is elided in the list; its tooltip shows it whole.
    for (int i = 0; i < pairListBox_->count(); ++i) {
        QListWidgetItem* item = pairListBox_->item(i);
        item->setToolTip(item->text());
    }
    pairListBox_->setUpdatesEnabled(true);
    selectingFromCode_ = wasSelecting;
}

void TForm_Master::rescanWorkspace() {
    openPair_.clearPairs();
    showListedPairs();
    const QString& dir = openPair_.directory();
    statusLabels_[2]->setFullText(dir);
    WorkspaceScan scan = scanWorkspace(dir, openPair_.extensions());
    const bool accepted = scan.readError.isEmpty() && scan.complete();
    openPair_.setScan(std::move(scan.pairs), accepted);
    if (!scan.readError.isEmpty()) {
        message(QMessageBox::Critical, extraTexts_.unreadableWorkspace.arg(dir, scan.readError));
        return;
    }
    if (!scan.undecodableFiles.isEmpty()) {
        message(QMessageBox::Warning,
                extraTexts_.undecodableFileNames.arg(scan.undecodableFiles.join(u'\n')));
    }
    if (!accepted) {
        message(QMessageBox::Critical, messages_[MsgPairNotFound]);
        return;
    }
    showListedPairs();
}

void TForm_Master::reopenLastPair() {
    const int row = openPair_.listedIndexOfOpen();
    if (row < 0 || !openPair_.filesExist(openPair_.name())) {
        return;
    }
    loadPair(openPair_.name());
    setPanesUnmodified();
    selectListEntry(row);
}

void TForm_Master::loadPair(const QString& name) {
    // Both files are read before either pane changes, so that a file that cannot be read leaves
    // the panes as they were.
    const QString vertexFile = openPair_.path(PairSide::Vertex, name);
    const QString fragmentFile = openPair_.path(PairSide::Fragment, name);
    const std::optional<QByteArray> vertex = readPairFile(vertexFile);
    const std::optional<QByteArray> fragment = readPairFile(fragmentFile);
    loadPane(PairSide::Vertex, vertexFile, vertex, MsgCouldNotLoadVertex);
    loadPane(PairSide::Fragment, fragmentFile, fragment, MsgCouldNotLoadFragment);
    updateEditActions();
    previewPanel_->setPair(name, openPair_.directory());
}

void TForm_Master::loadPane(PairSide side, const QString& path,
                            const std::optional<QByteArray>& file, int missingMessage) {
    if (file) {
        pane(side).load(decodeShaderText(*file), FileStamp::of(path, *file));
        return;
    }
    message(QMessageBox::Critical, messages_[missingMessage]);
    // An empty pane rather than the previous pair's text, which a save would otherwise write
    // into this pair's file.
    pane(side).clear();
}

void TForm_Master::savePanes(const QString& name) {
    struct Side {
        QString path;
        ShaderPane& pane;
        QByteArray bytes;
    };
    Side sides[] = {{openPair_.path(PairSide::Vertex, name), pane(PairSide::Vertex), {}},
                    {openPair_.path(PairSide::Fragment, name), pane(PairSide::Fragment), {}}};
    // Every character is checked before anything is asked or written.
    for (Side& side : sides) {
        side.bytes = encodeShaderText({side.pane.text(), side.pane.lineEnd()}, side.path);
    }
    QList<FileContent> files;
    QList<Side*> written;
    QList<Side*> kept;
    for (Side& side : sides) {
        // A file saved under another name than it was loaded from is expected not to exist.
        const FileStamp& stamp = side.pane.stamp();
        const bool loadedHere = stamp.path() == side.path;
        const bool changed = (loadedHere ? stamp : FileStamp()).changedOnDisk(side.path);
        if (loadedHere && !changed && !side.pane.isModified()) {
            continue;
        }
        // Only a file is kept: what else stands there now fails the write, with its cause.
        if (changed && QFileInfo(side.path).isFile() && !overwriteChangedFile(side.path)) {
            kept.append(&side);
            continue;
        }
        files.append({side.path, side.bytes});
        written.append(&side);
    }
    writeFilesTogether(files);
    for (Side* side : written) {
        side->pane.setStamp(FileStamp::of(side->path, side->bytes));
    }
    // The pane of a file kept on disk shows that file, so that pane and file agree again.
    for (Side* side : kept) {
        const QByteArray bytes = readShaderFile(side->path);
        side->pane.load(decodeShaderText(bytes), FileStamp::of(side->path, bytes));
    }
}

bool TForm_Master::overwriteChangedFile(const QString& path) {
    // The watcher's question about the same change waits, and finds it settled by this answer.
    const FileQuestion asking = holdFileChecks();
    return env_.prompter->askChoice(this, QMessageBox::Warning, extraTexts_.changedOnDisk.arg(path),
                                    {extraTexts_.keepOnDisk, extraTexts_.overwrite}) == 1;
}

bool TForm_Master::maybeSave() {
    if (!anyPaneModified()) {
        return true;
    }
    if (settings_.AutoSaveOnChange) {
        savePanes(openPair_.name());
        return true;
    }
    const QMessageBox::StandardButton answer =
        message(QMessageBox::Question, messages_[MsgSaveChanges],
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        return false;
    }
    if (answer == QMessageBox::Yes) {
        savePanes(openPair_.name());
    }
    return true;
}

bool TForm_Master::anyPaneModified() const {
    return pane(PairSide::Vertex).isModified() || pane(PairSide::Fragment).isModified();
}

void TForm_Master::clearPanes() {
    for (const PairSide side : kPairSides) {
        pane(side).clear();
    }
}

void TForm_Master::setPanesUnmodified() {
    for (const PairSide side : kPairSides) {
        pane(side).setModified(false);
    }
}

void TForm_Master::reselectOpenPair() {
    selectListEntry(openPair_.listedIndexOfOpen());
}

void TForm_Master::openSelectedPair() {
    bool leave = false;
    try {
        leave = maybeSave();
    } catch (...) {
        // The open pair could not be saved: stay on it.
        reselectOpenPair();
        throw;
    }
    if (!leave && openPair_.listedIndexOfOpen() >= 0) {
        reselectOpenPair();
        return;
    }
    const QListWidgetItem* selected = pairListBox_->currentItem();
    if (selected == nullptr) {
        return;
    }
    const QString previous = openPair_.name();
    openPair_.setName(selected->text());
    try {
        loadPair(openPair_.name());
    } catch (...) {
        openPair_.setName(previous);
        reselectOpenPair();
        throw;
    }
    messageList_->clear();
    setPanesUnmodified();
    updateCaption();
    updateCommandStates();
}

void TForm_Master::Action_SaveShaderExecute() {
    savePanes(openPair_.name());
    setPanesUnmodified();
    updateCaption();
}

std::optional<QString> TForm_Master::chooseWorkspace(const QString& caption,
                                                     const QString& directory) {
    return env_.prompter->chooseDirectory(this, caption,
                                          QFileInfo(directory).isDir() ? directory : QString());
}

void TForm_Master::Action_SelWorkSpaceExecute() {
    if (!maybeSave()) {
        return;
    }
    closeOpenPair();
    const QString current = openPair_.directory();
    // A cancelled chooser keeps the WorkSpace; one that is gone gives way to the root folder,
    // which always exists.
    openPair_.setDirectory(
        chooseWorkspace(messages_[MsgSelectWorkspaceTitle], current)
            .value_or(QFileInfo(current).isDir() ? current : QStringLiteral("/")));
    reopenWorkspace();
}

void TForm_Master::closeOpenPair() {
    clearPanes();
    setPanesUnmodified();
    openPair_.close();
    updateCaption();
}

void TForm_Master::reopenWorkspace() {
    if (QFileInfo(openPair_.directory()).isDir()) {
        rescanWorkspace();
    } else {
        // The names listed so far belong to a WorkSpace that is gone.
        openPair_.clearPairs();
        showListedPairs();
    }
    openFirstPair();
    messageList_->clear();
    updateCommandStates();
}

bool TForm_Master::takeGivenWorkspace() {
    // The stored WorkSpace given again keeps its open pair; another one is opened as if chosen.
    if (env_.workspace.isEmpty() || QFileInfo(env_.workspace).canonicalFilePath() ==
                                        QFileInfo(openPair_.directory()).canonicalFilePath()) {
        return false;
    }
    openPair_.setDirectory(env_.workspace);
    openPair_.close();
    return true;
}

void TForm_Master::openFirstPair() {
    const QStringList listed = openPair_.listed();
    if (listed.isEmpty()) {
        return;
    }
    openPair_.setName(listed.first());
    loadPair(openPair_.name());
    setPanesUnmodified();
    updateCaption();
    selectListEntry(0);
}

}  // namespace tessory
