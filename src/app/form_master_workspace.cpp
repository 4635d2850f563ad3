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

PairExtensions TForm_Master::extensions() const {
    return {cfg.FileExtVertex, cfg.FileExtFragment};
}

QString TForm_Master::vertexPath(const QString& dir, const QString& name) const {
    return findPairFile(dir, name, cfg.FileExtVertex);
}

QString TForm_Master::fragmentPath(const QString& dir, const QString& name) const {
    return findPairFile(dir, name, cfg.FileExtFragment);
}

QStringList TForm_Master::listedNames() const {
    QStringList names;
    names.reserve(ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i) {
        names.append(ListBox1->item(i)->text());
    }
    return names;
}

void TForm_Master::selectListEntry(int row) {
    const bool wasSelecting = selectingFromCode_;
    selectingFromCode_ = true;
    ListBox1->setCurrentRow(row);
    selectingFromCode_ = wasSelecting;
}

void TForm_Master::fillList(const QStringList& names) {
    const bool wasSelecting = selectingFromCode_;
    selectingFromCode_ = true;
    ListBox1->setUpdatesEnabled(false);
    ListBox1->clear();
    ListBox1->addItems(names);
    // A long name is elided in the list; its tooltip shows it whole.
    for (int i = 0; i < ListBox1->count(); ++i) {
        QListWidgetItem* item = ListBox1->item(i);
        item->setToolTip(item->text());
    }
    ListBox1->setUpdatesEnabled(true);
    selectingFromCode_ = wasSelecting;
}

void TForm_Master::ScanDir() {
    fillList({});
    StatusPanel[2]->setFullText(cfg.CurrentDir);
    WorkspaceScan scan = scanWorkspace(cfg.CurrentDir, extensions());
    pairList = std::move(scan.pairs);
    if (!scan.readError.isEmpty()) {
        message(QMessageBox::Critical,
                ExtraTexts.unreadableWorkspace.arg(cfg.CurrentDir, scan.readError));
        return;
    }
    if (!scan.undecodableFiles.isEmpty()) {
        message(QMessageBox::Warning,
                ExtraTexts.undecodableFileNames.arg(scan.undecodableFiles.join(u'\n')));
    }
    if (!scan.complete()) {
        message(QMessageBox::Critical, MessageTexts[MsgPairNotFound]);
        return;
    }
    fillList(pairList.names());
}

void TForm_Master::ReloadLastPair() {
    for (int i = 0; i < ListBox1->count() && i < pairList.size(); ++i) {
        if (sameNameIgnoringAsciiCase(pairList.at(i), cfg.CurrentFileName) &&
            QFileInfo(fragmentPath(cfg.CurrentDir, cfg.CurrentFileName)).isFile() &&
            QFileInfo(vertexPath(cfg.CurrentDir, cfg.CurrentFileName)).isFile()) {
            LoadFilesToEdit(cfg.CurrentDir, cfg.CurrentFileName);
            RichEdits_SetUnModified();
            selectListEntry(i);
            return;
        }
    }
}

void TForm_Master::LoadFilesToEdit(const QString& dir, const QString& name) {
    // Both files are read before either pane changes, so that a file that cannot be read leaves
    // the panes as they were.
    const QString vertexFile = vertexPath(dir, name);
    const QString fragmentFile = fragmentPath(dir, name);
    const std::optional<QByteArray> vertex = readPairFile(vertexFile);
    const std::optional<QByteArray> fragment = readPairFile(fragmentFile);
    loadPane(PairSide::Vertex, vertexFile, vertex, MsgCouldNotLoadVertex);
    loadPane(PairSide::Fragment, fragmentFile, fragment, MsgCouldNotLoadFragment);
    SetEditOptions();
    previewPanel_->setPair(name, dir);
}

void TForm_Master::loadPane(PairSide side, const QString& path,
                            const std::optional<QByteArray>& file, int missingMessage) {
    if (file) {
        pane(side).load(decodeShaderText(*file), FileStamp::of(path, *file));
        return;
    }
    message(QMessageBox::Critical, MessageTexts[missingMessage]);
    // An empty pane rather than the previous pair's text, which a save would otherwise write
    // into this pair's file.
    pane(side).clear();
}

void TForm_Master::SaveRichEditsToFiles(const QString& dir, const QString& name) {
    struct Side {
        QString path;
        ShaderPane& pane;
        QByteArray bytes;
    };
    Side sides[] = {{vertexPath(dir, name), pane(PairSide::Vertex), {}},
                    {fragmentPath(dir, name), pane(PairSide::Fragment), {}}};
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
    return env_.prompter->askChoice(this, QMessageBox::Warning, ExtraTexts.changedOnDisk.arg(path),
                                    {ExtraTexts.keepOnDisk, ExtraTexts.overwrite}) == 1;
}

bool TForm_Master::CheckFileSave() {
    if (!anyPaneModified()) {
        return true;
    }
    if (cfg.AutoSaveOnChange) {
        SaveRichEditsToFiles(cfg.CurrentDir, cfg.CurrentFileName);
        return true;
    }
    const QMessageBox::StandardButton answer =
        message(QMessageBox::Question, MessageTexts[MsgSaveChanges],
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        return false;
    }
    if (answer == QMessageBox::Yes) {
        SaveRichEditsToFiles(cfg.CurrentDir, cfg.CurrentFileName);
    }
    return true;
}

bool TForm_Master::anyPaneModified() const {
    return pane(PairSide::Vertex).isModified() || pane(PairSide::Fragment).isModified();
}

void TForm_Master::RichEdits_Clear() {
    for (const PairSide side : kPairSides) {
        pane(side).clear();
    }
}

void TForm_Master::RichEdits_SetUnModified() {
    for (const PairSide side : kPairSides) {
        pane(side).setModified(false);
    }
}

void TForm_Master::reselectOpenPair() {
    const QStringList names = listedNames();
    for (int i = 0; i < names.size(); ++i) {
        if (sameNameIgnoringAsciiCase(names[i], cfg.CurrentFileName)) {
            selectListEntry(i);
            return;
        }
    }
    selectListEntry(-1);
}

void TForm_Master::ListBox1Click() {
    bool leave = false;
    try {
        leave = CheckFileSave();
    } catch (...) {
        // The open pair could not be saved: stay on it.
        reselectOpenPair();
        throw;
    }
    if (!leave) {
        const QStringList names = listedNames();
        for (int i = 0; i < names.size(); ++i) {
            if (sameNameIgnoringAsciiCase(names[i], cfg.CurrentFileName)) {
                selectListEntry(i);
                return;
            }
        }
    }
    const QListWidgetItem* selected = ListBox1->currentItem();
    if (selected == nullptr) {
        return;
    }
    const QString previous = cfg.CurrentFileName;
    cfg.CurrentFileName = selected->text();
    try {
        LoadFilesToEdit(cfg.CurrentDir, cfg.CurrentFileName);
    } catch (...) {
        cfg.CurrentFileName = previous;
        reselectOpenPair();
        throw;
    }
    ListBox_Err->clear();
    RichEdits_SetUnModified();
    SetAppCaption();
    CheckStatusEnabled();
}

void TForm_Master::Action_SaveShaderExecute() {
    SaveRichEditsToFiles(cfg.CurrentDir, cfg.CurrentFileName);
    RichEdits_SetUnModified();
    SetAppCaption();
}

bool TForm_Master::AdvSelectDirectory(const QString& caption, QString& directory) {
    if (!QFileInfo(directory).isDir()) {
        directory.clear();
    }
    const std::optional<QString> chosen = env_.prompter->chooseDirectory(this, caption, directory);
    if (!chosen) {
        return false;
    }
    directory = *chosen;
    return true;
}

void TForm_Master::Action_SelWorkSpaceExecute() {
    if (!CheckFileSave()) {
        return;
    }
    closeOpenPair();
    AdvSelectDirectory(MessageTexts[MsgSelectWorkspaceTitle], cfg.CurrentDir);
    reopenWorkspace();
}

void TForm_Master::closeOpenPair() {
    RichEdits_Clear();
    RichEdits_SetUnModified();
    cfg.CurrentFileName.clear();
    SetAppCaption();
}

void TForm_Master::reopenWorkspace() {
    if (!cfg.CurrentDir.endsWith(QLatin1Char('/'))) {
        cfg.CurrentDir += QLatin1Char('/');
    }
    if (QFileInfo(cfg.CurrentDir).isDir()) {
        ScanDir();
    } else {
        // The names listed so far belong to a WorkSpace that is gone.
        pairList.clear();
        fillList({});
    }
    openFirstPair();
    ListBox_Err->clear();
    CheckStatusEnabled();
}

bool TForm_Master::takeGivenWorkspace() {
    // The stored WorkSpace given again keeps its open pair; another one is opened as if chosen.
    if (env_.workspace.isEmpty() || QFileInfo(env_.workspace).canonicalFilePath() ==
                                        QFileInfo(cfg.CurrentDir).canonicalFilePath()) {
        return false;
    }
    cfg.CurrentDir = env_.workspace;
    cfg.CurrentFileName.clear();
    return true;
}

void TForm_Master::openFirstPair() {
    if (ListBox1->count() == 0) {
        return;
    }
    cfg.CurrentFileName = ListBox1->item(0)->text();
    LoadFilesToEdit(cfg.CurrentDir, cfg.CurrentFileName);
    RichEdits_SetUnModified();
    SetAppCaption();
    selectListEntry(0);
}

}  // namespace tessory
