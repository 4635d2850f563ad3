// SPDX-License-Identifier: MIT
#pragma once

// What the text around a position says, for the queries on a document being typed: its last
// parse is a little behind, and the line being typed may not parse at all. These read tokens of
// a bounded window before the position, never the whole text, and use no recursion, so that a
// 16 MB text or 10,000 nested parentheses cost no more than the window.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace tessory::glsl {

// A place in a document's text: 0-based line and column in UTF-16 code units, as the editor
// counts them.
struct TextPosition {
    int line = 0;
    int column = 0;
    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// A part of one line of a text.
struct TextRange {
    TextPosition start;
    TextPosition end;
};

// The offset of a position, clamped to its line and to the text.
qsizetype offsetOf(QStringView text, TextPosition position);

bool isIdentifierStart(QChar c);
bool isIdentifierPart(QChar c);

// The identifier the offset is in or right after, as [start, end); start -1 for none.
struct Span {
    qsizetype start = -1;
    qsizetype end = -1;
    bool isValid() const { return start >= 0; }
};
Span identifierAt(QStringView text, qsizetype offset);

struct CodeToken {
    qsizetype start = 0;
    qsizetype end = 0;
    char16_t punctuation = 0;  // the character of a punctuation token, 0 for the others
    bool identifier = false;
};

// The tokens of the text before `offset`, from a line start at most `window` characters back,
// without comments. `inComment` says whether the offset itself is inside one.
struct Lexed {
    std::vector<CodeToken> tokens;
    bool inComment = false;
};
Lexed lexBefore(QStringView text, qsizetype offset, qsizetype window = 16384);

// One step of an expression like `lights[i].color`: a name, a call of a name, an index, a
// member.
struct Access {
    enum Kind { Name, Call, Index, Member };
    Kind kind = Name;
    QString name;
};

// The chain of steps that ends right before the last token (a '.'), or nothing when the
// expression is one these steps cannot describe.
std::optional<std::vector<Access>> accessChainBeforeDot(QStringView text, const Lexed& lexed);

// The innermost call the last token is inside, and which of its arguments that is (0-based).
struct CallSite {
    QString name;
    int argument = 0;
    qsizetype nameStart = 0;
};
std::optional<CallSite> enclosingCall(QStringView text, const Lexed& lexed);

}  // namespace tessory::glsl
