// SPDX-License-Identifier: MIT
#include "editor/shader_pane.h"

#include "editor/code_edit.h"

#include <QScrollBar>
#include <QTextBlock>

namespace tessory {

ShaderPane::ShaderPane(ShaderDocument& document, const QString& objectName)
    : document_(document), edit_(new CodeEdit) {
    edit_->setObjectName(objectName);
    setParent(edit_);
    edit_->setDocument(document.textDocument());
    // A document handed to the widget keeps the font it was made with.
    document.textDocument()->setDefaultFont(edit_->font());
    edit_->setHighlighter(document.highlighter());
    connect(&document, &ShaderDocument::replaced, this, &ShaderPane::documentReplaced);
    connect(&document, &ShaderDocument::restyled, edit_, [this] { edit_->setMarkedLine(-1); });
    connect(&document, &ShaderDocument::aboutToReload, this, [this] {
        reloading_ = true;
        reloadLine_ = edit_->textCursor().blockNumber();
        reloadScroll_ = edit_->verticalScrollBar()->value();
    });
    connect(&document, &ShaderDocument::reloaded, this, [this] {
        reloading_ = false;
        QTextCursor caret(document_.textDocument()->findBlockByNumber(
            qMin(reloadLine_, document_.lineCount() - 1)));
        edit_->setTextCursor(caret);
        edit_->verticalScrollBar()->setValue(reloadScroll_);
    });
}

void ShaderPane::documentReplaced() {
    edit_->setMarkedLine(-1);
    if (!reloading_) {
        // A new text is read from its start, as when it was opened.
        edit_->setTextCursor(QTextCursor(document_.textDocument()));
        edit_->verticalScrollBar()->setValue(0);
        edit_->horizontalScrollBar()->setValue(0);
    }
}

bool ShaderPane::overwrite() const {
    return edit_->overwriteMode();
}

void ShaderPane::setOverwrite(bool overwrite) {
    edit_->setOverwriteMode(overwrite);
}

bool ShaderPane::markError(int line, int column) {
    const QTextBlock block = document_.textDocument()->findBlockByNumber(line);
    if (!block.isValid()) {
        return false;
    }
    QTextCursor caret(document_.textDocument());
    caret.setPosition(block.position() + qBound(0, column, block.length() - 1));
    edit_->setTextCursor(caret);
    edit_->ensureCursorVisible();
    clearMark();
    document_.highlighter()->highlightLine(line, kRed);
    edit_->setMarkedLine(line);
    return true;
}

void ShaderPane::clearMark() {
    if (const std::optional<int> line = markedLine()) {
        document_.highlighter()->highlightLine(*line, kWhite);
        edit_->setMarkedLine(-1);
    }
}

std::optional<int> ShaderPane::markedLine() const {
    const int line = edit_->markedLine();
    return line < 0 ? std::nullopt : std::optional<int>(line);
}

}  // namespace tessory
