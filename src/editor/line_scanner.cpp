// SPDX-License-Identifier: MIT
#include "editor/line_scanner.h"

#include <array>

namespace tessory {

namespace {

// Tokens are at most this long; a longer run of token characters is never looked up.
constexpr int kMaxTokenLength = 31;

constexpr std::array<bool, 128> makeSeparators() {
    std::array<bool, 128> s{};
    for (int c = 0; c <= 47; ++c) {
        s[c] = true;
    }
    for (int c = 58; c <= 63; ++c) {
        s[c] = true;
    }
    s[92] = true;
    s[94] = true;
    for (int c = 123; c <= 126; ++c) {
        s[c] = true;
    }
    return s;
}

constexpr std::array<bool, 128> kSeparators = makeSeparators();

// The character at index n (just past the line) reads as a NUL, which is a separator.
char16_t charAt(QStringView line, qsizetype i) {
    return i < line.size() ? line[i].unicode() : u'\0';
}

}  // namespace

bool isTokenSeparator(char16_t c) {
    return c < kSeparators.size() && kSeparators[c];
}

void scanLine(QStringView line, const KeywordTable& table, const TextFormat& comment,
              TColor background, std::vector<FormatRange>& ranges) {
    const int n = static_cast<int>(line.size());
    ranges.push_back({0, n, kBlack, 0, background});
    int i = 0;
    while (i < n) {
        if (line[i] == u' ') {
            ++i;
            continue;
        }
        // The skip stops one short of the end, and never at a "/" that may open a comment.
        while (i + 2 <= n && line[i] != u'/' && isTokenSeparator(line[i].unicode())) {
            ++i;
        }
        if (line[i] == u'/' && charAt(line, i + 1) == u'/') {
            ranges.push_back({i, n - i, comment.color, comment.effects, background});
            return;
        }
        // The first two characters belong to the token whatever they are; the first separator
        // from the third on ends it.
        int length = 2;
        bool found = false;
        while (i + length <= n) {
            if (isTokenSeparator(charAt(line, i + length))) {
                found = true;
                break;
            }
            if (length >= kMaxTokenLength) {
                break;
            }
            ++length;
        }
        if (!found) {
            ++i;
            continue;
        }
        TSearchList entry;
        if (FindTokenFromList(table, line.mid(i, length), length, entry) >= 0) {
            ranges.push_back({i, length, entry.FontColor, entry.TextEffects, background});
        }
        i += length;
    }
}

std::vector<FormatRange> scanLine(QStringView line, const KeywordTable& table,
                                  const TextFormat& comment, TColor background) {
    std::vector<FormatRange> ranges;
    scanLine(line, table, comment, background, ranges);
    return ranges;
}

}  // namespace tessory
