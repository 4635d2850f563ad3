// SPDX-License-Identifier: MIT
#include "editor/keyword_table.h"

#include "editor/test_formats.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QString>

#include <map>

using namespace tessory;
using tessory::testing::filledTable;
using tessory::testing::formatOf;
using tessory::testing::kTestFormats;

namespace {

int find(const KeywordTable& table, const QString& token, TSearchList* entry = nullptr) {
    TSearchList found;
    const int index = FindTokenFromList(table, token, static_cast<int>(token.size()), found);
    if (entry != nullptr) {
        *entry = found;
    }
    return index;
}

QSet<QString> vocabularySet() {
    QSet<QString> words;
    for (const VocabularyWord& w : keywordVocabulary()) {
        words.insert(QString(w.keyword));
    }
    return words;
}

}  // namespace

TEST(KeywordTable, BucketSizesFollowKeywordLengths) {
    const std::map<int, int> expected = {{2, 1},   {3, 15},  {4, 19}, {5, 14},  {6, 8},   {7, 6},
                                         {8, 7},   {9, 10},  {10, 2}, {11, 9},  {12, 10}, {13, 8},
                                         {14, 12}, {15, 42}, {16, 5}, {17, 17}, {18, 33}, {19, 9},
                                         {21, 9},  {22, 9},  {23, 8}, {24, 1},  {25, 1},  {28, 1}};
    const KeywordTable table = filledTable();
    for (int length = 0; length < kKeywordBucketCount; ++length) {
        const auto it = expected.find(length);
        EXPECT_EQ(table[length].size(), it == expected.end() ? 0u : std::size_t(it->second))
            << "length " << length;
        for (const TSearchList& e : table[length]) {
            EXPECT_EQ(e.Keyword.size(), length);
        }
    }
}

TEST(KeywordTable, VocabularyHasItsCategorySizesAndNoDuplicates) {
    std::map<Category, int> counts;
    for (const VocabularyWord& w : keywordVocabulary()) {
        ++counts[w.category];
    }
    EXPECT_EQ(counts[Category::DataTypes], 23);
    EXPECT_EQ(counts[Category::FunctionNames], 73);
    EXPECT_EQ(counts[Category::StateVars], 153);
    EXPECT_EQ(counts[Category::TypeQualifiers], 7);
    EXPECT_EQ(counts[Category::Comment], 0);
    EXPECT_EQ(vocabularySet().size(), kKeywordCount);
    EXPECT_EQ(keywordVocabulary().front().keyword, QLatin1StringView("void"));
    EXPECT_EQ(keywordVocabulary().back().keyword, QLatin1StringView("inout"));
}

TEST(KeywordTable, TwoEntryBucketKeepsTheOrderOfAddition) {
    const KeywordTable table = filledTable();
    ASSERT_EQ(table[10].size(), 2u);
    EXPECT_EQ(table[10][0].Keyword, QLatin1StringView("smoothstep"));
    EXPECT_EQ(table[10][1].Keyword, QLatin1StringView("ftransform"));
    EXPECT_EQ(find(table, "smoothstep"), 0);
    EXPECT_EQ(find(table, "ftransform"), 1);
}

TEST(KeywordTable, LargerBucketsAreSortedOrdinally) {
    const KeywordTable table = filledTable();
    for (const KeywordBucket& bucket : table) {
        if (bucket.size() < 3) {
            continue;
        }
        for (std::size_t i = 1; i < bucket.size(); ++i) {
            EXPECT_LT(QByteArray(bucket[i - 1].Keyword.data(), bucket[i - 1].Keyword.size()),
                      QByteArray(bucket[i].Keyword.data(), bucket[i].Keyword.size()));
        }
    }
}

TEST(FindTokenFromSearchList, HandlesEveryBucketSize) {
    const KeywordBucket bucket = {{QLatin1StringView("ab"), 0, 0},
                                  {QLatin1StringView("cd"), 0, 0},
                                  {QLatin1StringView("ef"), 0, 0}};
    EXPECT_EQ(FindTokenFromSearchList(bucket, -1, u"ab"), -1);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 0, u"ab"), 0);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 0, u"cd"), -1);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 1, u"cd"), 1);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 2, u"ef"), 2);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 2, u"ee"), -1);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 2, u"zz"), -1);
    EXPECT_EQ(FindTokenFromSearchList(bucket, 2, u"aa"), -1);
}

class EveryKeyword : public ::testing::TestWithParam<VocabularyWord> {};

TEST_P(EveryKeyword, IsFoundWithTheFormatOfItsCategory) {
    const KeywordTable table = filledTable();
    const QString word(GetParam().keyword);
    TSearchList entry;
    const int index = find(table, word, &entry);
    ASSERT_GE(index, 0);
    EXPECT_EQ(table[word.size()][index].Keyword, GetParam().keyword);
    EXPECT_EQ(entry.Keyword, GetParam().keyword);
    EXPECT_EQ(entry.FontColor, formatOf(GetParam().category).color);
    EXPECT_EQ(entry.TextEffects, formatOf(GetParam().category).effects);
}

TEST_P(EveryKeyword, NearMissesAreNotKeywords) {
    const KeywordTable table = filledTable();
    const QSet<QString> words = vocabularySet();
    const QString word(GetParam().keyword);
    QString upperFirst = word;
    upperFirst[0] = upperFirst[0].toUpper();
    QString lowerLast = word;
    lowerLast.back() =
        lowerLast.back().isUpper() ? lowerLast.back().toLower() : lowerLast.back().toUpper();
    const QString misses[] = {word.chopped(1),    word + "x",          "x" + word,
                              word.mid(1) + "_",  upperFirst,          lowerLast,
                              word + QChar(0xE9), QChar(0x20AC) + word};
    for (const QString& miss : misses) {
        if (miss == word || words.contains(miss)) {
            continue;
        }
        TSearchList entry{QLatin1StringView("unchanged"), 7, 3};
        EXPECT_EQ(FindTokenFromList(table, miss, int(miss.size()), entry), -1)
            << miss.toStdString();
        EXPECT_EQ(entry.Keyword, QLatin1StringView("unchanged"));
        EXPECT_EQ(entry.FontColor, 7u);
    }
}

INSTANTIATE_TEST_SUITE_P(Vocabulary, EveryKeyword, ::testing::ValuesIn(keywordVocabulary()),
                         [](const ::testing::TestParamInfo<VocabularyWord>& info) {
                             QString name(info.param.keyword);
                             name.replace('[', '_').replace(']', '_');
                             return name.toStdString();
                         });

TEST(FindTokenFromList, IndexedStateVarsNeedAnIndexFromZeroToSeven) {
    const KeywordTable table = filledTable();
    TSearchList entry;
    ASSERT_GE(find(table, "gl_TexCoord[0]", &entry), 0);
    EXPECT_EQ(entry.FontColor, formatOf(Category::StateVars).color);
    EXPECT_GE(find(table, "gl_TexCoord[7]"), 0);
    EXPECT_EQ(find(table, "gl_TexCoord"), -1);
    EXPECT_EQ(find(table, "gl_TexCoord[8]"), -1);
    EXPECT_EQ(find(table, "gl_TexCoord[i]"), -1);
    EXPECT_EQ(find(table, "gl_TexCoord[]"), -1);
}

TEST(FindTokenFromList, NeverLooksUpTokensOfTwentyNineOrMoreCharacters) {
    const KeywordTable table = filledTable();
    const QString longest = "gl_ModelViewProjectionMatrix";
    ASSERT_EQ(longest.size(), 28);
    EXPECT_EQ(find(table, longest), 0);
    EXPECT_EQ(find(table, longest + "x"), -1);
    EXPECT_EQ(find(table, QString(31, 'a')), -1);
    TSearchList entry;
    EXPECT_EQ(FindTokenFromList(table, longest, 29, entry), -1);
    EXPECT_EQ(FindTokenFromList(table, longest, 1000, entry), -1);
    EXPECT_EQ(FindTokenFromList(table, longest, -1, entry), -1);
}

TEST(FindTokenFromList, EmptyTableFindsNothing) {
    const KeywordTable table;
    EXPECT_EQ(find(table, "vec4"), -1);
}

TEST(fillKeywordTable, RebuildReplacesEveryEntryWithTheNewCategoryFormats) {
    KeywordTable table = filledTable();
    CategoryFormats changed = kTestFormats;
    changed[int(Category::DataTypes)].color = 0x00FF0000;
    fillKeywordTable(table, changed);

    std::size_t entries = 0;
    for (const KeywordBucket& bucket : table) {
        entries += bucket.size();
    }
    EXPECT_EQ(entries, std::size_t(kKeywordCount));
    for (const VocabularyWord& w : keywordVocabulary()) {
        TSearchList entry;
        ASSERT_GE(find(table, QString(w.keyword), &entry), 0);
        const TextFormat& expected = changed[int(w.category)];
        EXPECT_EQ(entry.FontColor, expected.color) << QString(w.keyword).toStdString();
        EXPECT_EQ(entry.TextEffects, expected.effects);
    }
}
