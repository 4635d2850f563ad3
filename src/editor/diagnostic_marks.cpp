// SPDX-License-Identifier: MIT
#include "editor/diagnostic_marks.h"

#include "editor/code_edit.h"

#include <QHelpEvent>
#include <QTextBlock>
#include <QToolTip>

namespace tessory {
namespace {

bool isTokenChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.';
}

}  // namespace

std::pair<int, int> underlineSpan(QStringView line, int column) {
    const int length = int(line.size());
    if (column < 0 || column >= length || line.mid(column).trimmed().isEmpty()) {
        int first = 0;
        int end = length;
        while (first < end && line[first].isSpace()) {
            ++first;
        }
        while (end > first && line[end - 1].isSpace()) {
            --end;
        }
        return {first, end};
    }
    int first = column;
    while (line[first].isSpace()) {
        ++first;
    }
    int end = first + 1;
    if (isTokenChar(line[first])) {
        while (end < length && isTokenChar(line[end])) {
            ++end;
        }
    }
    return {first, end};
}

DiagnosticMarks::DiagnosticMarks(CodeEdit* edit) : QObject(edit), edit_(edit) {
    edit->viewport()->installEventFilter(this);
    edit->gutter()->installEventFilter(this);
}

void DiagnosticMarks::show(const QList<PaneDiagnostic>& diagnostics) {
    shown_.clear();
    QList<QTextEdit::ExtraSelection> underlines;
    QTextDocument* document = edit_->document();
    for (const PaneDiagnostic& d : diagnostics) {
        const QTextBlock block = document->findBlockByNumber(d.line);
        if (!block.isValid()) {
            continue;
        }
        const auto [first, end] = underlineSpan(block.text(), d.column);
        QTextEdit::ExtraSelection underline;
        underline.cursor = QTextCursor(block);
        underline.cursor.setPosition(block.position() + first);
        underline.cursor.setPosition(block.position() + end, QTextCursor::KeepAnchor);
        underline.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        underline.format.setUnderlineColor(d.warning ? kWarningMarkColour : kErrorMarkColour);
        underlines.append(underline);
        shown_.append({underline.cursor, d.text});
    }
    edit_->setDiagnostics(underlines);
}

QString DiagnosticMarks::messagesAt(int line, int column) const {
    QStringList texts;
    const QTextBlock block = edit_->document()->findBlockByNumber(line);
    for (const Shown& shown : shown_) {
        if (shown.range.block() != block) {
            continue;
        }
        const int at = block.position() + column;
        if (column < 0 ||
            (at >= shown.range.selectionStart() && at <= shown.range.selectionEnd())) {
            texts << shown.text;
        }
    }
    texts.removeDuplicates();
    return texts.join(u'\n');
}

bool DiagnosticMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || shown_.isEmpty()) {
        return false;
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const bool inGutter = watched == edit_->gutter();
    const QTextCursor at =
        edit_->cursorForPosition(QPoint(inGutter ? 0 : help->pos().x(), help->pos().y()));
    const QString text =
        messagesAt(at.blockNumber(), inGutter ? -1 : at.position() - at.block().position());
    if (text.isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(help->globalPos(), text, static_cast<QWidget*>(watched));
    return true;
}

}  // namespace tessory
