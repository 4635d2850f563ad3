// SPDX-License-Identifier: MIT
// The highlighter's line scanner over a table built by fillKeywordTable, and the table's sort and
// lookup on buckets the input chooses. The raw input is scanned as a line (8-bit, or UTF-16
// behind a byte-order mark); the same bytes also build a line of known keywords, names,
// separators and a comment, whose ranges are known.
#include "editor/keyword_table.h"
#include "editor/line_scanner.h"
#include "texts/win1252.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QHash>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>

using namespace tessory;

namespace {

// Each category its own format, so that a range tells which category it was drawn with.
const CategoryFormats kFormats = {
    TextFormat{0x00000011, EffectBold}, TextFormat{0x00002200, EffectItalic},
    TextFormat{0x00330000, EffectUnderline}, TextFormat{0x00444444, EffectBold | EffectItalic},
    TextFormat{0x00555555, EffectUnderline | EffectBold}};
const TextFormat& kComment = kFormats[int(Category::Comment)];
constexpr TColor kBackground = 0x00ABCDEF;

KeywordTable table;
QHash<QString, Category> vocabulary;

int category(const FormatRange& r) {
    for (int c = 0; c < kCategoryCount; ++c) {
        if (kFormats[c] == TextFormat{r.color, r.effects}) {
            return c;
        }
    }
    return -1;
}

void checkRanges(QStringView line, const std::vector<FormatRange>& ranges) {
    const int n = int(line.size());
    FUZZ_CHECK(!ranges.empty() && ranges[0] == (FormatRange{0, n, kBlack, 0, kBackground}));
    int end = 0;
    for (std::size_t k = 1; k < ranges.size(); ++k) {
        const FormatRange& r = ranges[k];
        FUZZ_CHECK(r.background == kBackground);
        FUZZ_CHECK(r.start >= end && r.length >= 1 && r.start + r.length <= n);
        end = r.start + r.length;
        const QStringView text = line.sliced(r.start, r.length);
        const bool comment = k + 1 == ranges.size() && text.startsWith(u"//") && end == n &&
                             TextFormat{r.color, r.effects} == kComment;
        if (comment) {
            continue;
        }
        // Anything else is a whole keyword drawn in its category's format.
        const auto word = vocabulary.constFind(text.toString());
        FUZZ_CHECK(word != vocabulary.constEnd() && category(r) == int(*word));
        FUZZ_CHECK(end == n || isTokenSeparator(line[end].unicode()));
    }
}

QString utf16Of(QByteArrayView bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes.data(), std::size_t(text.size()) * 2);
    return text;
}

// Shell sort and binary search on a bucket of words the input picks (repeats allowed).
void checkBucket(FuzzedDataProvider& in) {
    const std::vector<VocabularyWord>& words = keywordVocabulary();
    KeywordBucket bucket(in.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (TSearchList& entry : bucket) {
        entry.Keyword = words[in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1)].keyword;
    }
    const KeywordBucket before = bucket;
    shell_sort(bucket, int(bucket.size()) - 1);
    const auto byKeyword = [](const TSearchList& a, const TSearchList& b) {
        return a.Keyword.compare(b.Keyword) < 0;
    };
    if (bucket.size() <= 2) {
        FUZZ_CHECK(std::equal(bucket.begin(), bucket.end(), before.begin(),
                              [](auto& a, auto& b) { return a.Keyword == b.Keyword; }));
    } else {
        FUZZ_CHECK(std::is_sorted(bucket.begin(), bucket.end(), byKeyword));
    }
    FUZZ_CHECK(std::is_permutation(bucket.begin(), bucket.end(), before.begin(), before.end(),
                                   [](auto& a, auto& b) { return a.Keyword == b.Keyword; }));
    for (const TSearchList& entry : before) {
        const int found =
            FindTokenFromSearchList(bucket, int(bucket.size()) - 1, QString(entry.Keyword));
        FUZZ_CHECK(found >= 0 && bucket[found].Keyword == entry.Keyword);
    }
    FUZZ_CHECK(FindTokenFromSearchList(bucket, int(bucket.size()) - 1, u"notAKeyword") == -1);
}

// A line of tokens between runs of separators (no "/", which may open a comment), perhaps ending
// in a comment; every keyword token must come back as its range, and nothing else.
void checkBuiltLine(FuzzedDataProvider& in) {
    static const QString kSeparators = QStringLiteral(" \t(),;+-*=<>{}.!&|:?^~\\\"'#%$");
    static const QString kNameChars = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_[]@`\u00e9\u20ac");
    const std::vector<VocabularyWord>& words = keywordVocabulary();
    QString line;
    std::vector<FormatRange> expected{{0, 0, kBlack, 0, kBackground}};
    const auto separators = [&](int least) {
        const int n = in.ConsumeIntegralInRange(least, 3);
        for (int k = 0; k < n; ++k) {
            line += kSeparators[in.ConsumeIntegralInRange<qsizetype>(0, kSeparators.size() - 1)];
        }
    };
    separators(0);
    const int tokens = in.ConsumeIntegralInRange(0, 12);
    for (int t = 0; t < tokens; ++t) {
        if (t > 0) {
            separators(1);
        }
        QString token;
        if (in.ConsumeBool()) {
            token = words[in.ConsumeIntegralInRange<std::size_t>(0, words.size() - 1)].keyword;
        } else {
            // Names have two characters at least: the scanner takes the first two whatever they
            // are, so a one-character name would run on into what follows.
            const int n = in.ConsumeIntegralInRange(2, 31);
            for (int k = 0; k < n; ++k) {
                token += kNameChars[in.ConsumeIntegralInRange<qsizetype>(0, kNameChars.size() - 1)];
            }
        }
        const auto word = vocabulary.constFind(token);
        if (word != vocabulary.constEnd()) {
            const TextFormat& f = kFormats[int(*word)];
            expected.push_back(
                {int(line.size()), int(token.size()), f.color, f.effects, kBackground});
        }
        line += token;
    }
    if (in.ConsumeBool()) {
        separators(0);
        const qsizetype start = line.size();
        line += "//" + fromWin1252(QByteArray::fromStdString(in.ConsumeRandomLengthString(40)));
        expected.push_back(
            {int(start), int(line.size() - start), kComment.color, kComment.effects, kBackground});
    } else if (in.ConsumeBool()) {
        separators(1);
    }
    expected[0].length = int(line.size());
    const std::vector<FormatRange> ranges = scanLine(line, table, kComment, kBackground);
    FUZZ_CHECK(ranges == expected);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fillKeywordTable(table, kFormats);
    for (const VocabularyWord& word : keywordVocabulary()) {
        vocabulary.insert(QString(word.keyword), word.category);
        TSearchList entry;
        FUZZ_CHECK(
            FindTokenFromList(table, QString(word.keyword), int(word.keyword.size()), entry) >= 0);
        FUZZ_CHECK(entry.Keyword == word.keyword);
        FUZZ_CHECK((TextFormat{entry.FontColor, entry.TextEffects}) ==
                   kFormats[int(word.category)]);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Behind a UTF-16 byte-order mark the line is UTF-16, to reach characters beyond 8 bits.
    const bool utf16 = bytes.startsWith("\xFF\xFE");
    const QString line = utf16 ? utf16Of(bytes.sliced(2)) : fromWin1252(bytes);
    checkRanges(line, scanLine(line, table, kComment, kBackground));
    TSearchList entry;
    const int found = FindTokenFromList(table, line, int(line.size()), entry);
    FUZZ_CHECK((found >= 0) == vocabulary.contains(line));

    FuzzedDataProvider in(data, size);
    checkBucket(in);
    checkBuiltLine(in);
    return 0;
}
