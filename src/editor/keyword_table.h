// SPDX-License-Identifier: MIT
#pragma once

#include "editor/text_format.h"

#include <QLatin1StringView>
#include <QStringView>

#include <array>
#include <vector>

namespace tessory {

// One keyword with the format its category had when the table was last built. The keyword text
// is a view of a string literal, so entries copy as plain values.
struct TSearchList {
    QLatin1StringView Keyword;
    TColor FontColor = 0;
    qint32 TextEffects = 0;
};

// The entries of one keyword length, and the table: bucket n holds the keywords of n characters.
using KeywordBucket = std::vector<TSearchList>;
inline constexpr int kKeywordBucketCount = 29;
using KeywordTable = std::array<KeywordBucket, kKeywordBucketCount>;

// The number of keywords in the vocabulary, over all categories.
inline constexpr int kKeywordCount = 256;

struct VocabularyWord {
    QLatin1StringView keyword;
    Category category;
};

// Every keyword with its category, in the order in which the table is filled.
const std::vector<VocabularyWord>& keywordVocabulary();

// Rebuilds the whole table from the category formats; the Comment format is not used, as comments
// have no keywords.
void fillKeywordTable(KeywordTable& table, const CategoryFormats& formats);

// Sorts bucket entries 0..highIndex by keyword. The first gap is half the highest index, so a
// bucket of one or two entries keeps its order.
void shell_sort(KeywordBucket& bucket, int highIndex);

// The index of the entry of bucket[0..highIndex] whose keyword equals the token, or -1.
int FindTokenFromSearchList(const KeywordBucket& bucket, int highIndex, QStringView token);

// Looks the token up in the bucket for `length`. On a match copies the entry into `entry` and
// returns its index within the bucket; otherwise returns -1 and leaves `entry` alone.
int FindTokenFromList(const KeywordTable& table, QStringView token, int length, TSearchList& entry);

}  // namespace tessory
