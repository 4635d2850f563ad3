// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <QTextCursor>

#include <functional>
#include <optional>

class QTextDocument;

namespace tessory {

struct SearchOptions {
    bool wholeWords = false;
    bool matchCase = false;
    bool regularExpression = false;
};

enum class SearchDirection { Forward, Backward };

// Positions in a document's text, the end one past the last character.
struct TextRange {
    int start = 0;
    int end = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// A match and the text that takes its place.
struct Replacement {
    TextRange range;
    QString text;
};

// What replacing every match would do: the matches found and, in order, those whose replacement
// differs from the matched text.
struct ReplacePlan {
    int matches = 0;
    QList<Replacement> changes;
};

// Asked between matches; true makes a long search give up at once with nothing found.
using StopCheck = std::function<bool()>;

// A search text compiled with its options. It runs over a document's text as
// QTextDocument::toRawText gives it, so that positions are the document's own. Matches lie
// within one line: a regular expression sees one line at a time, its ^ and $ are that line's
// ends, and its lookarounds stop there. Empty matches are stepped over, one character at a time,
// and do not count. Not to be shared between threads: each makes its own.
class TextSearch {
public:
    TextSearch(const QString& text, const SearchOptions& options);

    // Why the text cannot be searched for (an invalid regular expression), or empty.
    QString error() const;

    // The next match after the selection (forward) or before it (backward), wrapping round the
    // text once; nothing when there is none or the search text is empty or invalid.
    std::optional<TextRange> find(QStringView text, TextRange selection, SearchDirection direction,
                                  const StopCheck& stop) const;

    // The selection's replacement when the selection is exactly the match found from its start;
    // with a regular expression "\1" to "\99" stand for its groups, "\0" for all of it and "\\"
    // for a backslash.
    std::optional<Replacement> replacementAt(QStringView text, TextRange selection,
                                             const QString& replacement,
                                             const StopCheck& stop) const;

    // Every match in the order Find next meets them from the start, with its replacement.
    ReplacePlan planReplaceAll(QStringView text, const QString& replacement,
                               const StopCheck& stop) const;

private:
    QString replacementFor(const QRegularExpressionMatch& match, const QString& replacement) const;

    QRegularExpression pattern_;
    bool usable_ = false;
    bool regularExpression_ = false;
};

// Makes the planned changes as one undo step; the number made. Nothing at all is done, not even
// an empty undo step, for no changes.
int applyReplacements(QTextDocument* document, const QList<Replacement>& changes);

// A place to go to, 1-based as the user counts.
struct LinePosition {
    int line = 1;
    int column = 1;
    friend bool operator==(const LinePosition&, const LinePosition&) = default;
};

// "LINE" or "LINE:COLUMN", both at least 1, white space around allowed; nothing otherwise.
std::optional<LinePosition> parseLinePosition(QStringView text);

// A cursor at the position; a line beyond the end is the last line, a column beyond the line's
// end is its end.
QTextCursor cursorAt(QTextDocument* document, const LinePosition& position);

}  // namespace tessory
