// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

class QTextCursor;
class QTextDocument;

namespace tessory {

// The white space that one Tab adds to the start of each line of a selected block.
inline const QString kIndentUnit = QStringLiteral("    ");

// The editing commands of a code pane, each one undo step. The lines of a cursor are those its
// selection touches; a selection that ends at the start of a line leaves that line out, as it
// does in other code editors after selecting whole lines with Shift+Down.

// Replaces the selection with a line break followed by the leading white space of the line the
// cursor is on (only the part before the cursor).
void insertIndentedLineBreak(QTextCursor& cursor);

// Adds kIndentUnit to the start of every line; the cursor then selects the whole lines.
void indentLines(QTextCursor& cursor);

// Removes one level from the start of every line: a tab, or up to as many spaces as kIndentUnit.
void unindentLines(QTextCursor& cursor);

// Puts "//" at the start of every line, or, when every non-blank line already starts with "//"
// after its indent, removes that "//" instead. Blank lines are left as they are.
void toggleLineComments(QTextCursor& cursor);

// A bracket and its partner, as document positions of the two characters.
struct BracketPair {
    int open = -1;
    int close = -1;
    friend bool operator==(const BracketPair&, const BracketPair&) = default;
};

// The bracket pair of the bracket just after the caret, or else just before it: (), [] or {}.
// The search for the partner stops after `maxLines` lines, so a lone bracket stays cheap.
std::optional<BracketPair> matchingBrackets(const QTextDocument* document, int caret,
                                            int maxLines = 2000);

}  // namespace tessory
