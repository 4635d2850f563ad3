// SPDX-License-Identifier: MIT
#include "editor/text_commands.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

namespace tessory {

namespace {

qsizetype leadingSpaceLength(QStringView text) {
    qsizetype n = 0;
    while (n < text.size() && (text[n] == u' ' || text[n] == u'\t')) {
        ++n;
    }
    return n;
}

// The first and the last block that the cursor's selection touches.
std::pair<QTextBlock, QTextBlock> touchedBlocks(const QTextCursor& cursor) {
    QTextDocument* document = cursor.document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    QTextBlock last = document->findBlock(cursor.selectionEnd());
    if (cursor.hasSelection() && last != first && cursor.selectionEnd() == last.position()) {
        last = last.previous();
    }
    return {first, last};
}

// Runs `edit` on each touched line as one undo step, then selects those whole lines.
void editLines(QTextCursor& cursor, const std::function<void(QTextCursor&, const QString&)>& edit) {
    const auto [first, last] = touchedBlocks(cursor);
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    QTextDocument* document = cursor.document();
    QTextCursor line(document);
    line.beginEditBlock();
    for (int n = firstNumber; n <= lastNumber; ++n) {
        const QTextBlock block = document->findBlockByNumber(n);
        line.setPosition(block.position());
        edit(line, block.text());
    }
    line.endEditBlock();
    const QTextBlock end = document->findBlockByNumber(lastNumber);
    cursor.setPosition(document->findBlockByNumber(firstNumber).position());
    cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
}

bool startsWithComment(const QString& text) {
    return QStringView(text).mid(leadingSpaceLength(text)).startsWith(u"//");
}

bool isBlank(const QString& text) {
    return leadingSpaceLength(text) == text.size();
}

}  // namespace

void insertIndentedLineBreak(QTextCursor& cursor) {
    const QTextBlock block = cursor.document()->findBlock(cursor.selectionStart());
    const int column = cursor.selectionStart() - block.position();
    const QString before = block.text().left(column);
    cursor.insertText(QLatin1Char('\n') + before.left(leadingSpaceLength(before)));
}

void indentLines(QTextCursor& cursor) {
    editLines(cursor, [](QTextCursor& line, const QString&) { line.insertText(kIndentUnit); });
}

void unindentLines(QTextCursor& cursor) {
    editLines(cursor, [](QTextCursor& line, const QString& text) {
        qsizetype n = 0;
        if (text.startsWith(u'\t')) {
            n = 1;
        } else {
            while (n < kIndentUnit.size() && n < text.size() && text[n] == u' ') {
                ++n;
            }
        }
        if (n > 0) {
            line.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, int(n));
            line.removeSelectedText();
        }
    });
}

void toggleLineComments(QTextCursor& cursor) {
    const auto [first, last] = touchedBlocks(cursor);
    bool allCommented = true;
    bool anyText = false;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!isBlank(text)) {
            anyText = true;
            allCommented = allCommented && startsWithComment(text);
        }
        if (block == last) {
            break;
        }
    }
    const bool uncomment = anyText && allCommented;
    editLines(cursor, [uncomment, anyText](QTextCursor& line, const QString& text) {
        if (uncomment) {
            if (startsWithComment(text)) {
                line.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor,
                                  int(leadingSpaceLength(text)));
                line.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, 2);
                line.removeSelectedText();
            }
        } else if (!anyText || !isBlank(text)) {
            line.insertText(QStringLiteral("//"));
        }
    });
}

std::optional<BracketPair> matchingBrackets(const QTextDocument* document, int caret,
                                            int maxLines) {
    static const QString kOpen = QStringLiteral("([{");
    static const QString kClose = QStringLiteral(")]}");
    const auto bracketAt = [document](int position) {
        return position >= 0 && position < document->characterCount() - 1
                   ? document->characterAt(position)
                   : QChar();
    };
    int at = caret;
    QChar c = bracketAt(at);
    if (!kOpen.contains(c) && !kClose.contains(c)) {
        at = caret - 1;
        c = bracketAt(at);
        if (c.isNull() || (!kOpen.contains(c) && !kClose.contains(c))) {
            return std::nullopt;
        }
    }
    const bool forward = kOpen.contains(c);
    const qsizetype kind = forward ? kOpen.indexOf(c) : kClose.indexOf(c);
    const QChar self = c;
    const QChar partner = forward ? kClose[kind] : kOpen[kind];
    // Walks line texts rather than characters: characterAt looks the position up every time.
    QTextBlock block = document->findBlock(at);
    int column = at - block.position();
    int depth = 0;
    for (int lines = 0; block.isValid() && lines < maxLines; ++lines) {
        const QString text = block.text();
        if (lines > 0) {
            column = forward ? 0 : int(text.size()) - 1;
        }
        for (; column >= 0 && column < text.size(); column += forward ? 1 : -1) {
            if (text[column] == self) {
                ++depth;
            } else if (text[column] == partner && --depth == 0) {
                const int other = block.position() + column;
                return forward ? BracketPair{at, other} : BracketPair{other, at};
            }
        }
        block = forward ? block.next() : block.previous();
    }
    return std::nullopt;
}

}  // namespace tessory
