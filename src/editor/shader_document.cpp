// SPDX-License-Identifier: MIT
#include "editor/shader_document.h"

#include "editor/pane_layout.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"

#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tessory {

ShaderDocument::ShaderDocument(QObject* parent)
    : QObject(parent), document_(new QTextDocument(this)) {
    document_->setDocumentLayout(new PaneLayout(document_));
    highlighter_ = new PaneHighlighter(document_, [this] { return loading_; });
}

// Not toPlainText(): that turns the no-break space (byte 0xA0) into a plain space.
QString ShaderDocument::text() const {
    QString text = document_->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QByteArray ShaderDocument::source() const {
    return withCrLfLineEnds(toWin1252Lossy(text()));
}

int ShaderDocument::lineCount() const {
    return document_->blockCount();
}

QString ShaderDocument::lineText(int line) const {
    return document_->findBlockByNumber(line).text();
}

void ShaderDocument::load(const ShaderText& text, const FileStamp& stamp) {
    {
        loading_ = true;
        const auto loaded = qScopeGuard([this] { loading_ = false; });
        document_->setPlainText(text.text);
    }
    lineEnd_ = text.lineEnd;
    emit replaced();
    highlighter_->highlightAll();
    setModified(false);
    setStamp(stamp);
}

void ShaderDocument::reload(const ShaderText& text, const FileStamp& stamp) {
    emit aboutToReload();
    load(text, stamp);
    emit reloaded();
}

void ShaderDocument::recoverText(const ShaderText& text) {
    QTextCursor all(document_);
    all.select(QTextCursor::Document);
    all.insertText(text.text);
    lineEnd_ = text.lineEnd;
    setModified(true);
}

void ShaderDocument::clear() {
    document_->clear();
    lineEnd_ = LineEnd::Lf;
    emit replaced();
    setModified(false);
    setStamp(FileStamp());
}

void ShaderDocument::setStamp(const FileStamp& stamp) {
    stamp_ = stamp;
    emit stampChanged();
}

bool ShaderDocument::isModified() const {
    return document_->isModified();
}

void ShaderDocument::setModified(bool modified) {
    document_->setModified(modified);
}

void ShaderDocument::setFormats(const CategoryFormats& formats) {
    highlighter_->setFormats(formats);
    emit restyled();
    highlighter_->highlightAll();
}

}  // namespace tessory
