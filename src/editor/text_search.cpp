// SPDX-License-Identifier: MIT
#include "editor/text_search.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace tessory {

namespace {

QRegularExpression patternOf(const QString& text, const SearchOptions& options) {
    QString pattern = options.regularExpression ? text : QRegularExpression::escape(text);
    if (options.wholeWords) {
        pattern = QStringLiteral("\\b(?:%1)\\b").arg(pattern);
    }
    return QRegularExpression(pattern, options.matchCase
                                           ? QRegularExpression::NoPatternOption
                                           : QRegularExpression::CaseInsensitiveOption);
}

// One search without wrapping, skipping empty matches.
QTextCursor findFrom(const QTextDocument* document, const QRegularExpression& pattern,
                     QTextCursor from, SearchDirection direction) {
    QTextDocument::FindFlags flags;
    if (direction == SearchDirection::Backward) {
        flags |= QTextDocument::FindBackward;
    }
    // Qt makes a pattern case-insensitive unless told otherwise; the pattern's own option rules.
    if (!(pattern.patternOptions() & QRegularExpression::CaseInsensitiveOption)) {
        flags |= QTextDocument::FindCaseSensitively;
    }
    const int end = document->characterCount() - 1;
    for (;;) {
        QTextCursor match = document->find(pattern, from, flags);
        if (match.isNull() || match.hasSelection()) {
            return match;
        }
        const int next = match.position() + (direction == SearchDirection::Forward ? 1 : -1);
        if (next < 0 || next > end) {
            return {};
        }
        from = QTextCursor(const_cast<QTextDocument*>(document));
        from.setPosition(next);
    }
}

}  // namespace

QString searchTextError(const QString& text, const SearchOptions& options) {
    const QRegularExpression pattern = patternOf(text, options);
    return pattern.isValid() ? QString() : pattern.errorString();
}

QTextCursor findMatch(const QTextDocument* document, const QString& text, const QTextCursor& from,
                      const SearchOptions& options, SearchDirection direction) {
    const QRegularExpression pattern = patternOf(text, options);
    if (document == nullptr || text.isEmpty() || !pattern.isValid()) {
        return {};
    }
    QTextCursor match = findFrom(document, pattern, from, direction);
    if (match.isNull()) {
        QTextCursor wrapped(const_cast<QTextDocument*>(document));
        if (direction == SearchDirection::Backward) {
            wrapped.movePosition(QTextCursor::End);
        }
        match = findFrom(document, pattern, wrapped, direction);
    }
    return match;
}

bool isMatch(const QTextCursor& selection, const QString& text, const SearchOptions& options) {
    if (!selection.hasSelection() || text.isEmpty()) {
        return false;
    }
    QTextCursor before(selection.document());
    before.setPosition(selection.selectionStart());
    const QTextCursor match =
        findFrom(selection.document(), patternOf(text, options), before, SearchDirection::Forward);
    return !match.isNull() && match.selectionStart() == selection.selectionStart() &&
           match.selectionEnd() == selection.selectionEnd();
}

void replaceMatch(QTextCursor& match, const QString& text, const QString& replacement,
                  const SearchOptions& options) {
    if (!options.regularExpression) {
        match.insertText(replacement);
        return;
    }
    // The match is searched again inside its own text so that its groups fill the replacement.
    QString replaced = match.selectedText();
    const QRegularExpression pattern = patternOf(text, options);
    const QRegularExpressionMatch groups = pattern.match(replaced);
    if (groups.hasMatch()) {
        replaced.replace(groups.capturedStart(), groups.capturedLength(),
                         QString(groups.captured(0)).replace(pattern, replacement));
    }
    match.insertText(replaced);
}

int replaceAll(QTextDocument* document, const QString& text, const QString& replacement,
               const SearchOptions& options) {
    const QRegularExpression pattern = patternOf(text, options);
    if (document == nullptr || text.isEmpty() || !pattern.isValid()) {
        return 0;
    }
    int count = 0;
    QTextCursor edit(document);
    edit.beginEditBlock();
    QTextCursor at(document);
    for (;;) {
        QTextCursor match = findFrom(document, pattern, at, SearchDirection::Forward);
        if (match.isNull()) {
            break;
        }
        replaceMatch(match, text, replacement, options);
        ++count;
        // The search goes on after the replacement, which never matches again itself.
        at = match;
    }
    edit.endEditBlock();
    return count;
}

std::optional<LinePosition> parseLinePosition(QStringView text) {
    static const QRegularExpression kForm(
        QStringLiteral("^\\s*(\\d{1,9})\\s*(?::\\s*(\\d{1,9})\\s*)?$"));
    const QRegularExpressionMatch match = kForm.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    LinePosition position;
    position.line = match.capturedView(1).toInt();
    if (match.hasCaptured(2)) {
        position.column = match.capturedView(2).toInt();
    }
    if (position.line < 1 || position.column < 1) {
        return std::nullopt;
    }
    return position;
}

QTextCursor cursorAt(QTextDocument* document, const LinePosition& position) {
    const int line = std::clamp(position.line, 1, document->blockCount()) - 1;
    const QTextBlock block = document->findBlockByNumber(line);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(position.column - 1, block.length() - 1));
    return cursor;
}

}  // namespace tessory
