// SPDX-License-Identifier: MIT
#include "editor/shader_edit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPalette>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace tessory {

QFont shaderEditFont() {
    QFont font(QStringLiteral("Courier"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QString plainTextFromMimeData(const QMimeData* source) {
    if (source == nullptr) {
        return {};
    }
    QString text;
    if (source->hasText()) {
        text = source->text();
    } else if (source->hasHtml()) {
        text = QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    }
    // A pane line is a document block; a soft line break would hide a line from the highlighter
    // and the line numbers of the compiler.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

ShaderEdit::ShaderEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(shaderEditFont());
    // The highlighter draws every character black on white; the rest of the pane matches it.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
}

void ShaderEdit::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    // Shift+Return would insert a soft line break inside the line; make it a real one.
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void ShaderEdit::mousePressEvent(QMouseEvent* event) {
    emit mouseDown();
    QTextEdit::mousePressEvent(event);
}

void ShaderEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    emit mouseDown();
    QTextEdit::mouseDoubleClickEvent(event);
}

bool ShaderEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && (source->hasText() || source->hasHtml());
}

void ShaderEdit::insertFromMimeData(const QMimeData* source) {
    const QString text = plainTextFromMimeData(source);
    if (text.isEmpty()) {
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

}  // namespace tessory
