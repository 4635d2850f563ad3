// SPDX-License-Identifier: MIT
// The commands that create, copy, delete and rename pairs.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "editor/code_edit.h"
#include "texts/ui_texts.h"
#include "workspace/name_dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>

namespace tessory {

NameDialogTexts TForm_Master::nameDialogTexts() const {
    return {messages_[MsgFileExists], extraTexts_.invalidShaderName};
}

void TForm_Master::Action_NewShaderExecute() {
    createPair(false);
}

void TForm_Master::Action_NESExecute() {
    createPair(true);
}

void TForm_Master::createPair(bool empty) {
    if (!maybeSave()) {
        return;
    }
    const QString oldName = openPair_.name();
    const OpenPair& pair = openPair_;
    const std::optional<QString> newName = askPairName<TForm_New>(
        this, *env_.prompter, oldName,
        [&pair](const QString& typed) {
            return checkNewShaderName(typed, pair.name(), pair.directory(), pair.extensions(),
                                      pair.scanned().names());
        },
        nameDialogTexts());
    // An empty name creates nothing, as Cancel does.
    if (!newName || newName->isEmpty() || *newName == oldName) {
        return;
    }
    // The files are written before anything else changes, so that a pair that could not be
    // written leaves the list, the panes and the open pair as they were.
    if (empty) {
        saveShaderPair(openPair_.path(PairSide::Vertex, *newName), {},
                       openPair_.path(PairSide::Fragment, *newName), {});
    } else {
        for (const PairSide side : kPairSides) {
            pane(side).setLineEnd(LineEnd::Lf);
        }
        savePanes(*newName);
    }
    openPair_.setName(*newName);
    openPair_.addPair(*newName);
    showListedPairs();
    reselectOpenPair();
    if (empty) {
        clearPanes();
        for (const PairSide side : kPairSides) {
            pane(side).setStamp(FileStamp::of(openPair_.path(side), {}));
        }
    }
    setPanesUnmodified();
    updateCaption();
    messageList_->clear();
    updateCommandStates();
}

void TForm_Master::Action_DelSExecute() {
    const QListWidgetItem* selected = pairListBox_->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    const QString name = selected->text();
    const QString vertex = openPair_.path(PairSide::Vertex, name);
    const QString fragment = openPair_.path(PairSide::Fragment, name);
    const QString question = extraTexts_.deleteFiles + vertex + QStringLiteral("\n\r") + fragment;
    if (message(QMessageBox::Question, question,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) != QMessageBox::Yes) {
        return;
    }
    closeOpenPair();
    for (const QString& path : {vertex, fragment}) {
        if (QFileInfo(path).isFile()) {
            QFile::remove(path);
        }
    }
    reopenWorkspace();
}

void TForm_Master::Action_RenameExecute() {
    if (!maybeSave()) {
        return;
    }
    const QString oldName = openPair_.name();
    const OpenPair& pair = openPair_;
    const std::optional<QString> newName = askPairName<TForm_Rename>(
        this, *env_.prompter, oldName,
        [&pair](const QString& typed) {
            return checkRenameShaderName(typed, pair.directory(), pair.extensions(), pair.listed());
        },
        nameDialogTexts());
    if (!newName || *newName == oldName) {
        return;
    }
    // Both files move or neither; a failure leaves the pair, the list and the panes as they were.
    moveFilesTogether(
        {{openPair_.path(PairSide::Vertex, oldName), openPair_.path(PairSide::Vertex, *newName)},
         {openPair_.path(PairSide::Fragment, oldName),
          openPair_.path(PairSide::Fragment, *newName)}});
    openPair_.setName(*newName);
    clearPanes();
    openPair_.clearPairs();
    showListedPairs();
    if (QFileInfo(openPair_.directory()).isDir()) {
        rescanWorkspace();
    }
    const int row = openPair_.listedIndexOfOpen();
    if (row >= 0) {
        selectListEntry(row);
        loadPair(openPair_.name());
    }
    setPanesUnmodified();
    updateCaption();
    updateCommandStates();
}

}  // namespace tessory
