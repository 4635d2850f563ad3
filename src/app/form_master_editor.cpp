// SPDX-License-Identifier: MIT
// The editor side of the main window: the panes' highlighting, the status bar, the edit commands
// and the removal of the error mark.
#include "app/form_master.h"

#include "editor/highlighter.h"
#include "editor/shader_edit.h"
#include "texts/ui_texts.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTextBlock>

namespace tessory {

void TForm_Master::setupEditors() {
    const auto commentFormat = [this] {
        return TextFormat{cfg.FontColor_Comment, cfg.TextEffects_Comment};
    };
    const auto isLoading = [this] { return loading_; };
    vertexHighlighter_ =
        new PaneHighlighter(RichEdit_Vertex->document(), keywordTable, commentFormat, isLoading);
    fragmentHighlighter_ =
        new PaneHighlighter(RichEdit_Fragment->document(), keywordTable, commentFormat, isLoading);

    connect(RichEdit_Vertex, &QTextEdit::textChanged, this, &TForm_Master::RichEdit_VertexChange);
    connect(RichEdit_Fragment, &QTextEdit::textChanged, this,
            &TForm_Master::RichEdit_FragmentChange);
    connect(RichEdit_Vertex, &ShaderEdit::keyDown, this, &TForm_Master::RichEdit_VertexKeyDown);
    connect(RichEdit_Fragment, &ShaderEdit::keyDown, this, &TForm_Master::RichEdit_FragmentKeyDown);
    connect(RichEdit_Vertex, &ShaderEdit::mouseDown, this, &TForm_Master::RichEdit_VertexMouseDown);
    connect(RichEdit_Fragment, &ShaderEdit::mouseDown, this,
            &TForm_Master::RichEdit_FragmentMouseDown);
    connect(RichEdit_Vertex, &QTextEdit::cursorPositionChanged, this,
            &TForm_Master::RichEdit_VertexSelectionChange);
    connect(RichEdit_Vertex, &QTextEdit::selectionChanged, this,
            &TForm_Master::RichEdit_VertexSelectionChange);
    connect(RichEdit_Fragment, &QTextEdit::cursorPositionChanged, this,
            &TForm_Master::RichEdit_FragmentSelectionChange);
    connect(RichEdit_Fragment, &QTextEdit::selectionChanged, this,
            &TForm_Master::RichEdit_FragmentSelectionChange);
    // Undo can also become possible or impossible without a key press (a drop, a paste).
    for (ShaderEdit* pane : {RichEdit_Vertex, RichEdit_Fragment}) {
        connect(pane->document(), &QTextDocument::undoAvailable, this,
                &TForm_Master::SetEditOptions);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm_Master::PageControl1Change);
}

PaneHighlighter* TForm_Master::highlighterOf(const QTextEdit* pane) const {
    return pane == RichEdit_Vertex ? vertexHighlighter_ : fragmentHighlighter_;
}

void TForm_Master::ParseAll(QTextEdit* pane) {
    highlighterOf(pane)->ParseAll();
}

void TForm_Master::ParseTextRange(QTextEdit* pane, int line, TColor background) {
    highlighterOf(pane)->ParseTextRange(line, background);
}

// The highlighter has re-coloured the changed lines by the time the text change is announced.
void TForm_Master::RichEdit_VertexChange() {
    SetAppCaption();
}

void TForm_Master::RichEdit_FragmentChange() {
    SetAppCaption();
}

QString TForm_Master::insertModeText(bool vertex) const {
    if (vertex) {
        return MessageTexts[cfg.vertex_overwrite ? MsgOverwriteVertex : MsgInsertVertex];
    }
    return MessageTexts[cfg.fragment_overwrite ? MsgOverwriteFragment : MsgInsertFragment];
}

void TForm_Master::paneKeyDown(ShaderEdit* pane, bool& overwrite, int key,
                               Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Insert && modifiers == Qt::NoModifier &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        overwrite = !overwrite;
        pane->setOverwriteMode(overwrite);
        StatusPanel[1]->setText(insertModeText(pane == RichEdit_Vertex));
    }
    SetEditOptions();
    UnHighLightErrorLine();
}

void TForm_Master::RichEdit_VertexKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    paneKeyDown(RichEdit_Vertex, cfg.vertex_overwrite, key, modifiers);
}

void TForm_Master::RichEdit_FragmentKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    paneKeyDown(RichEdit_Fragment, cfg.fragment_overwrite, key, modifiers);
}

void TForm_Master::RichEdit_VertexMouseDown() {
    UnHighLightErrorLine();
}

void TForm_Master::RichEdit_FragmentMouseDown() {
    UnHighLightErrorLine();
}

void TForm_Master::paneSelectionChange(const QTextEdit* pane) {
    const int start = pane->textCursor().selectionStart();
    const QTextBlock block = pane->document()->findBlock(start);
    StatusPanel[0]->setText(QStringLiteral("Cursor: %1 : %2")
                                .arg(block.blockNumber() + 1)
                                .arg(start - block.position() + 1));
    SetEditOptions();
}

void TForm_Master::RichEdit_VertexSelectionChange() {
    paneSelectionChange(RichEdit_Vertex);
}

void TForm_Master::RichEdit_FragmentSelectionChange() {
    paneSelectionChange(RichEdit_Fragment);
}

void TForm_Master::PageControl1Change() {
    StatusPanel[1]->setText(insertModeText(PageControl1->currentIndex() == 0));
    SetEditOptions();
}

ShaderEdit* TForm_Master::activePane() const {
    switch (PageControl1->currentIndex()) {
        case 0:
            return RichEdit_Vertex;
        case 1:
            return RichEdit_Fragment;
        default:
            return nullptr;
    }
}

void TForm_Master::SetEditOptions() {
    const ShaderEdit* pane = activePane();
    if (pane == nullptr) {
        return;
    }
    const bool selection = pane->textCursor().hasSelection();
    Action_Cut->setEnabled(selection);
    Action_Copy->setEnabled(selection);
    Action_Undo->setEnabled(pane->document()->isUndoAvailable());
    Action_Paste->setEnabled(pane->canPaste());
}

void TForm_Master::runEditCommand(void (QTextEdit::*command)()) {
    if (ShaderEdit* pane = activePane()) {
        (pane->*command)();
    }
    SetEditOptions();
}

void TForm_Master::Action_UndoExecute() {
    runEditCommand(&QTextEdit::undo);
}

void TForm_Master::Action_CutExecute() {
    runEditCommand(&QTextEdit::cut);
}

void TForm_Master::Action_CopyExecute() {
    runEditCommand(&QTextEdit::copy);
}

void TForm_Master::Action_PasteExecute() {
    runEditCommand(&QTextEdit::paste);
}

void TForm_Master::UnHighLightErrorLine() {
    if (ErrorMarkPane < 0 || ErrorMarkLine < 0) {
        return;
    }
    if (ErrorMarkPane == 0) {
        ParseTextRange(RichEdit_Vertex, ErrorMarkLine, kWhite);
    } else if (ErrorMarkPane == 1) {
        ParseTextRange(RichEdit_Fragment, ErrorMarkLine, kWhite);
    }
    ErrorMarkPane = -1;
    ErrorMarkLine = -1;
}

}  // namespace tessory
