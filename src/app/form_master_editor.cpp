// SPDX-License-Identifier: MIT
// The editor side of the main window: the panes' signals, the status bar, the edit commands and
// the removal of the error mark.
#include "app/form_master.h"

#include "editor/code_edit.h"
#include "editor/find_bar.h"
#include "editor/shader_pane.h"
#include "texts/ui_texts.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTextBlock>

namespace tessory {

void TForm_Master::setupEditors() {
    for (const PairSide side : kPairSides) {
        CodeEdit* edit = pane(side).widget();
        connect(edit, &QPlainTextEdit::textChanged, this, &TForm_Master::updateCaption);
        connect(edit, &CodeEdit::keyDown, this,
                [this, side](int key, Qt::KeyboardModifiers modifiers) {
                    paneKeyDown(side, key, modifiers);
                });
        connect(edit, &CodeEdit::mouseDown, this, &TForm_Master::clearErrorMarks);
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this,
                [this, side] { paneSelectionChange(side); });
        connect(edit, &QPlainTextEdit::selectionChanged, this,
                [this, side] { paneSelectionChange(side); });
        // Undo can also become possible or impossible without a key press (a drop, a paste).
        connect(edit->document(), &QTextDocument::undoAvailable, this,
                &TForm_Master::updateEditActions);
    }
    connect(paneTabs_, &QTabWidget::currentChanged, this, &TForm_Master::activePaneChanged);
}

QString TForm_Master::insertModeText(PairSide side) const {
    const bool overwrite = pane(side).overwrite();
    if (side == PairSide::Vertex) {
        return messages_[overwrite ? MsgOverwriteVertex : MsgInsertVertex];
    }
    return messages_[overwrite ? MsgOverwriteFragment : MsgInsertFragment];
}

void TForm_Master::paneKeyDown(PairSide side, int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Insert && modifiers == Qt::NoModifier &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        pane(side).setOverwrite(!pane(side).overwrite());
        statusLabels_[1]->setText(insertModeText(side));
    }
    updateEditActions();
    clearErrorMarks();
}

void TForm_Master::paneSelectionChange(PairSide side) {
    const QPlainTextEdit* edit = pane(side).widget();
    const int start = edit->textCursor().selectionStart();
    const QTextBlock block = edit->document()->findBlock(start);
    statusLabels_[0]->setText(QStringLiteral("Cursor: %1 : %2")
                                  .arg(block.blockNumber() + 1)
                                  .arg(start - block.position() + 1));
    updateEditActions();
}

void TForm_Master::connectCodeEditorCommands() {
    connect(Action_Find, &QAction::triggered, findBar_, &FindBar::openFind);
    connect(Action_FindNext, &QAction::triggered, findBar_, &FindBar::findNext);
    connect(Action_FindPrevious, &QAction::triggered, findBar_, &FindBar::findPrevious);
    connect(Action_GoToLine, &QAction::triggered, findBar_, &FindBar::openGoToLine);
    connect(Action_ZoomIn, &QAction::triggered, this, [this] {
        if (CodeEdit* edit = activePane()) {
            edit->zoomIn();
        }
    });
    connect(Action_ZoomOut, &QAction::triggered, this, [this] {
        if (CodeEdit* edit = activePane()) {
            edit->zoomOut();
        }
    });
    connect(Action_ZoomReset, &QAction::triggered, this, [this] {
        if (CodeEdit* edit = activePane()) {
            edit->resetZoom();
        }
    });
    for (const PairSide side : kPairSides) {
        connect(pane(side).widget(), &CodeEdit::zoomStepChanged, this, &TForm_Master::applyZoom);
    }
    findBar_->setEditor(activePane());
}

void TForm_Master::applyZoom(int step) {
    for (const PairSide side : kPairSides) {
        pane(side).widget()->setZoomStep(step);
    }
    settings_.EditorZoom = pane(PairSide::Vertex).widget()->zoomStep();
}

void TForm_Master::activePaneChanged() {
    findBar_->setEditor(activePane());
    statusLabels_[1]->setText(
        insertModeText(paneTabs_->currentIndex() == 0 ? PairSide::Vertex : PairSide::Fragment));
    updateEditActions();
}

CodeEdit* TForm_Master::activePane() const {
    const int index = paneTabs_->currentIndex();
    return index == 0 || index == 1 ? pane(PairSide(index)).widget() : nullptr;
}

void TForm_Master::updateEditActions() {
    const CodeEdit* pane = activePane();
    if (pane == nullptr) {
        return;
    }
    const bool selection = pane->textCursor().hasSelection();
    Action_Cut->setEnabled(selection);
    Action_Copy->setEnabled(selection);
    Action_Undo->setEnabled(pane->document()->isUndoAvailable());
    Action_Paste->setEnabled(pane->canPaste());
}

void TForm_Master::runEditCommand(void (QPlainTextEdit::*command)()) {
    if (CodeEdit* pane = activePane()) {
        (pane->*command)();
    }
    updateEditActions();
}

void TForm_Master::Action_UndoExecute() {
    runEditCommand(&QPlainTextEdit::undo);
}

void TForm_Master::Action_CutExecute() {
    runEditCommand(&QPlainTextEdit::cut);
}

void TForm_Master::Action_CopyExecute() {
    runEditCommand(&QPlainTextEdit::copy);
}

void TForm_Master::Action_PasteExecute() {
    runEditCommand(&QPlainTextEdit::paste);
}

void TForm_Master::clearErrorMarks() {
    for (const PairSide side : kPairSides) {
        pane(side).clearMark();
    }
}

}  // namespace tessory
