// SPDX-License-Identifier: MIT
// The commands that create, copy, delete and rename pairs.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "editor/shader_edit.h"
#include "texts/ui_texts.h"
#include "workspace/name_dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTextEdit>

namespace tessory {

NameDialogTexts TForm_Master::nameDialogTexts() const {
    return {MessageTexts[MsgFileExists], ExtraTexts.invalidShaderName};
}

void TForm_Master::Action_NewShaderExecute() {
    createPair(false);
}

void TForm_Master::Action_NESExecute() {
    createPair(true);
}

void TForm_Master::createPair(bool empty) {
    if (!CheckFileSave()) {
        return;
    }
    const QString oldName = cfg.CurrentFileName;
    {
        const QString dir = cfg.CurrentDir;
        const PairExtensions exts = extensions();
        const QStringList listed = pairList.names();
        TForm_New dialog(
            this, *env_.prompter, cfg.CurrentFileName,
            [&](const QString& typed) {
                return checkNewShaderName(typed, oldName, dir, exts, listed);
            },
            nameDialogTexts());
        env_.prompter->execDialog(dialog);
    }
    if (cfg.CurrentFileName.isEmpty()) {
        cfg.CurrentFileName = oldName;
    }
    if (oldName == cfg.CurrentFileName) {
        return;
    }
    // The files are written before anything else changes, so that a pair that could not be
    // written leaves the list, the panes and the open pair as they were.
    try {
        if (empty) {
            saveShaderPair(vertexPath(cfg.CurrentDir, cfg.CurrentFileName), {},
                           fragmentPath(cfg.CurrentDir, cfg.CurrentFileName), {});
        } else {
            for (const PairSide side : kPairSides) {
                pane(side).setLineEnd(LineEnd::Lf);
            }
            SaveRichEditsToFiles(cfg.CurrentDir, cfg.CurrentFileName);
        }
    } catch (...) {
        cfg.CurrentFileName = oldName;
        throw;
    }
    pairList.add(cfg.CurrentFileName);
    fillList(pairList.names());
    reselectOpenPair();
    if (empty) {
        RichEdits_Clear();
        pane(PairSide::Vertex).setStamp(
            FileStamp::of(vertexPath(cfg.CurrentDir, cfg.CurrentFileName), {}));
        pane(PairSide::Fragment).setStamp(
            FileStamp::of(fragmentPath(cfg.CurrentDir, cfg.CurrentFileName), {}));
    }
    RichEdits_SetUnModified();
    SetAppCaption();
    ListBox_Err->clear();
    CheckStatusEnabled();
}

void TForm_Master::Action_DelSExecute() {
    const QListWidgetItem* selected = ListBox1->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    const QString name = selected->text();
    const QString vertex = vertexPath(cfg.CurrentDir, name);
    const QString fragment = fragmentPath(cfg.CurrentDir, name);
    const QString question = QStringLiteral("Wollen Sie wirklich folgende Dateien löschen ?\n\r") +
                             vertex + QStringLiteral("\n\r") + fragment;
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
    if (!CheckFileSave()) {
        return;
    }
    const QString oldName = cfg.CurrentFileName;
    {
        const QString dir = cfg.CurrentDir;
        const PairExtensions exts = extensions();
        const QStringList listed = listedNames();
        TForm_Rename dialog(
            this, *env_.prompter, cfg.CurrentFileName,
            [&](const QString& typed) { return checkRenameShaderName(typed, dir, exts, listed); },
            nameDialogTexts());
        env_.prompter->execDialog(dialog);
    }
    if (oldName == cfg.CurrentFileName) {
        return;
    }
    // Both files move or neither; a failure leaves the pair, the list and the panes as they were.
    try {
        moveFilesTogether(
            {{vertexPath(cfg.CurrentDir, oldName), vertexPath(cfg.CurrentDir, cfg.CurrentFileName)},
             {fragmentPath(cfg.CurrentDir, oldName),
              fragmentPath(cfg.CurrentDir, cfg.CurrentFileName)}});
    } catch (...) {
        cfg.CurrentFileName = oldName;
        throw;
    }
    RichEdits_Clear();
    fillList({});
    if (QFileInfo(cfg.CurrentDir).isDir()) {
        ScanDir();
    }
    const QStringList names = listedNames();
    for (int i = 0; i < names.size(); ++i) {
        if (sameNameIgnoringAsciiCase(names[i], cfg.CurrentFileName)) {
            selectListEntry(i);
            LoadFilesToEdit(cfg.CurrentDir, cfg.CurrentFileName);
            break;
        }
    }
    RichEdits_SetUnModified();
    SetAppCaption();
    CheckStatusEnabled();
}

}  // namespace tessory
