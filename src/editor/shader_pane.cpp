// SPDX-License-Identifier: MIT
#include "editor/shader_pane.h"

#include "editor/code_edit.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"

#include <QScopeGuard>
#include <QScrollBar>
#include <QTextBlock>

namespace tessory {

ShaderPane::ShaderPane(const QString& objectName) : edit_(new CodeEdit) {
    edit_->setObjectName(objectName);
    setParent(edit_);
    highlighter_ = new PaneHighlighter(edit_->document(), [this] { return loading_; });
    edit_->setHighlighter(highlighter_);
}

// Not toPlainText(): that turns the no-break space (byte 0xA0) into a plain space.
QString ShaderPane::text() const {
    QString text = edit_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QByteArray ShaderPane::source() const {
    return withCrLfLineEnds(toWin1252Lossy(text()));
}

int ShaderPane::lineCount() const {
    return edit_->document()->blockCount();
}

QString ShaderPane::lineText(int line) const {
    return edit_->document()->findBlockByNumber(line).text();
}

void ShaderPane::load(const ShaderText& text, const FileStamp& stamp) {
    {
        loading_ = true;
        const auto loaded = qScopeGuard([this] { loading_ = false; });
        edit_->setPlainText(text.text);
    }
    edit_->setMarkedLine(-1);
    lineEnd_ = text.lineEnd;
    highlighter_->highlightAll();
    setModified(false);
    setStamp(stamp);
}

void ShaderPane::reload(const ShaderText& text, const FileStamp& stamp) {
    const int line = edit_->textCursor().blockNumber();
    const int scrolled = edit_->verticalScrollBar()->value();
    load(text, stamp);
    QTextCursor caret(edit_->document()->findBlockByNumber(qMin(line, lineCount() - 1)));
    edit_->setTextCursor(caret);
    edit_->verticalScrollBar()->setValue(scrolled);
}

void ShaderPane::clear() {
    edit_->clear();
    edit_->setMarkedLine(-1);
    lineEnd_ = LineEnd::Lf;
    setModified(false);
    setStamp(FileStamp());
}

void ShaderPane::setStamp(const FileStamp& stamp) {
    stamp_ = stamp;
    emit stampChanged();
}

bool ShaderPane::isModified() const {
    return edit_->document()->isModified();
}

void ShaderPane::setModified(bool modified) {
    edit_->document()->setModified(modified);
}

bool ShaderPane::overwrite() const {
    return edit_->overwriteMode();
}

void ShaderPane::setOverwrite(bool overwrite) {
    edit_->setOverwriteMode(overwrite);
}

bool ShaderPane::markError(int line, int column) {
    const QTextBlock block = edit_->document()->findBlockByNumber(line);
    if (!block.isValid()) {
        return false;
    }
    QTextCursor caret(edit_->document());
    caret.setPosition(block.position() + qBound(0, column, block.length() - 1));
    edit_->setTextCursor(caret);
    edit_->ensureCursorVisible();
    clearMark();
    highlighter_->highlightLine(line, kRed);
    edit_->setMarkedLine(line);
    return true;
}

void ShaderPane::clearMark() {
    if (const std::optional<int> line = markedLine()) {
        highlighter_->highlightLine(*line, kWhite);
        edit_->setMarkedLine(-1);
    }
}

std::optional<int> ShaderPane::markedLine() const {
    const int line = edit_->markedLine();
    return line < 0 ? std::nullopt : std::optional<int>(line);
}

void ShaderPane::setFormats(const CategoryFormats& formats) {
    highlighter_->setFormats(formats);
    edit_->setMarkedLine(-1);
    highlighter_->highlightAll();
}

}  // namespace tessory
