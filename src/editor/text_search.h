// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>
#include <QTextCursor>

#include <optional>

class QTextDocument;

namespace tessory {

struct SearchOptions {
    bool wholeWords = false;
    bool matchCase = false;
    bool regularExpression = false;
};

enum class SearchDirection { Forward, Backward };

// Why a search text cannot be searched for (an invalid regular expression), or empty.
QString searchTextError(const QString& text, const SearchOptions& options);

// The next match after the cursor's selection (forward) or before it (backward), wrapping round
// the document once; a null cursor when there is none, the text is empty or invalid. Matches lie
// within one line, and a regular expression's empty matches do not count.
QTextCursor findMatch(const QTextDocument* document, const QString& text, const QTextCursor& from,
                      const SearchOptions& options, SearchDirection direction);

// True when the cursor's selection is exactly one match of the text.
bool isMatch(const QTextCursor& selection, const QString& text, const SearchOptions& options);

// Replaces the cursor's selection, a match, with the replacement; with a regular expression
// "\1" and the like stand for the match's groups.
void replaceMatch(QTextCursor& match, const QString& text, const QString& replacement,
                  const SearchOptions& options);

// Replaces every match of the document as one undo step; the number of matches replaced.
int replaceAll(QTextDocument* document, const QString& text, const QString& replacement,
               const SearchOptions& options);

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
