// SPDX-License-Identifier: MIT
#pragma once

#include "editor/keyword_table.h"
#include "editor/text_format.h"

#include <QStringView>

#include <vector>

namespace tessory {

// One run of characters of a line to draw in one format; positions count from the line's start.
struct FormatRange {
    int start = 0;
    int length = 0;
    TColor color = kBlack;
    qint32 effects = 0;
    TColor background = kWhite;
    friend bool operator==(const FormatRange&, const FormatRange&) = default;
};

// True for the characters that end a token. Every code unit from 127 on belongs to tokens.
bool isTokenSeparator(char16_t c);

// The formats of one line, in the order they are to be applied (later ones win where they
// overlap): first the whole line as plain black text on `background`, then every keyword and a
// "//" comment running to the line's end. Ranges are appended to `ranges`.
void scanLine(QStringView line, const KeywordTable& table, const TextFormat& comment,
              TColor background, std::vector<FormatRange>& ranges);

std::vector<FormatRange> scanLine(QStringView line, const KeywordTable& table,
                                  const TextFormat& comment, TColor background);

}  // namespace tessory
