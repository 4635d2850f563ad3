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

// One line of the text, without the separator that ends it.
struct Line {
    int start = 0;
    int end = 0;
};

Line lineAt(QStringView text, int position) {
    constexpr QChar kLineEnd = QChar::ParagraphSeparator;
    position = std::clamp(position, 0, int(text.size()));
    const qsizetype before = position == 0 ? -1 : text.lastIndexOf(kLineEnd, position - 1);
    const qsizetype after = text.indexOf(kLineEnd, position);
    return {int(before + 1), after < 0 ? int(text.size()) : int(after)};
}

Line nextLine(QStringView text, const Line& line) {
    return lineAt(text, line.end == text.size() ? 0 : line.end + 1);
}

Line previousLine(QStringView text, const Line& line) {
    return lineAt(text, line.start == 0 ? int(text.size()) : line.start - 1);
}

// Hands each non-empty match of the line from the offset on to visit, in order, until visit
// returns false; false when stopped. The whole line is the subject, so that lookbehinds and ^
// see what lies before the offset. The iterator steps over an empty match by one character
// instead of searching the line again from its start.
template <typename Visit>
bool visitLine(const QRegularExpression& pattern, QStringView text, const Line& line, int offset,
               const StopCheck& stop, Visit visit) {
    if (stop()) {
        return false;
    }
    QRegularExpressionMatchIterator matches =
        pattern.globalMatch(text.sliced(line.start, line.end - line.start), offset);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.capturedLength() > 0 && !visit(match)) {
            return true;
        }
        if (stop()) {
            return false;
        }
    }
    return true;
}

TextRange rangeOf(const Line& line, const QRegularExpressionMatch& match) {
    return {line.start + int(match.capturedStart()), line.start + int(match.capturedEnd())};
}

}  // namespace

TextSearch::TextSearch(const QString& text, const SearchOptions& options)
    : pattern_(patternOf(text, options)),
      usable_(!text.isEmpty() && pattern_.isValid()),
      regularExpression_(options.regularExpression) {}

QString TextSearch::error() const {
    return pattern_.isValid() ? QString() : pattern_.errorString();
}

std::optional<TextRange> TextSearch::find(QStringView text, TextRange selection,
                                          SearchDirection direction, const StopCheck& stop) const {
    if (!usable_) {
        return std::nullopt;
    }
    const bool forward = direction == SearchDirection::Forward;
    const int from = forward ? selection.end : selection.start;
    const Line first = lineAt(text, from);
    // Forward the first line is searched from the selection's end, backward up to its start;
    // what that leaves of it is searched last, after wrapping round.
    const bool firstSeenWhole = forward ? from == first.start : from == first.end;
    Line line = first;
    int offset = forward ? from - first.start : 0;
    int limit = from - first.start;
    for (bool again = false;;) {
        std::optional<TextRange> found;
        const bool finished = visitLine(pattern_, text, line, offset, stop, [&](const auto& match) {
            if (!forward && match.capturedStart() >= limit) {
                return false;
            }
            found = rangeOf(line, match);
            return !forward;  // backward the last match before the limit is the one
        });
        if (!finished) {
            return std::nullopt;
        }
        if (found || again) {
            return found;
        }
        line = forward ? nextLine(text, line) : previousLine(text, line);
        offset = 0;
        limit = line.end - line.start;
        if (line.start == first.start) {
            if (firstSeenWhole) {
                return std::nullopt;
            }
            again = true;
        }
    }
}

std::optional<Replacement> TextSearch::replacementAt(QStringView text, TextRange selection,
                                                     const QString& replacement,
                                                     const StopCheck& stop) const {
    const Line line = lineAt(text, selection.start);
    if (!usable_ || selection.end > line.end) {
        return std::nullopt;
    }
    std::optional<Replacement> found;
    const bool finished =
        visitLine(pattern_, text, line, selection.start - line.start, stop, [&](const auto& match) {
            if (rangeOf(line, match) == selection) {
                found = Replacement{selection, replacementFor(match, replacement)};
            }
            return false;
        });
    return finished ? found : std::nullopt;
}

ReplacePlan TextSearch::planReplaceAll(QStringView text, const QString& replacement,
                                       const StopCheck& stop) const {
    ReplacePlan plan;
    if (!usable_) {
        return plan;
    }
    for (Line line = lineAt(text, 0);; line = nextLine(text, line)) {
        const bool finished = visitLine(pattern_, text, line, 0, stop, [&](const auto& match) {
            ++plan.matches;
            QString replaced = replacementFor(match, replacement);
            if (replaced != match.capturedView()) {
                plan.changes.append({rangeOf(line, match), std::move(replaced)});
            }
            return true;
        });
        if (!finished) {
            return {};
        }
        if (line.end == text.size()) {
            return plan;
        }
    }
}

QString TextSearch::replacementFor(const QRegularExpressionMatch& match,
                                   const QString& replacement) const {
    if (!regularExpression_) {
        return replacement;
    }
    const auto digit = [&](qsizetype i) {
        return i < replacement.size() && replacement[i] >= u'0' && replacement[i] <= u'9'
                   ? replacement[i].unicode() - u'0'
                   : -1;
    };
    const int groups = pattern_.captureCount();
    QString replaced;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        if (replacement[i] != u'\\' || i + 1 == replacement.size()) {
            replaced += replacement[i];
        } else if (replacement[i + 1] == u'\\') {
            replaced += u'\\';
            ++i;
        } else if (int group = digit(i + 1); group >= 0 && group <= groups) {
            ++i;
            // Two digits name a group when there are that many.
            if (const int second = digit(i + 1); second >= 0 && group * 10 + second <= groups) {
                group = group * 10 + second;
                ++i;
            }
            replaced += match.capturedView(group);
        } else {
            replaced += replacement[i];
        }
    }
    return replaced;
}

int applyReplacements(QTextDocument* document, const QList<Replacement>& changes) {
    if (changes.isEmpty()) {
        return 0;
    }
    QTextCursor edit(document);
    edit.beginEditBlock();
    // From the last to the first, so that each change leaves the positions before it alone.
    for (auto change = changes.crbegin(); change != changes.crend(); ++change) {
        edit.setPosition(change->range.start);
        edit.setPosition(change->range.end, QTextCursor::KeepAnchor);
        edit.insertText(change->text);
    }
    edit.endEditBlock();
    return int(changes.size());
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
