// SPDX-License-Identifier: MIT
#include "workspace/pair_list.h"

#include "workspace/name_rules.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

using namespace tessory;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QStringList addedOneByOne(const QStringList& names, const QLocale& locale) {
    PairList list(locale);
    for (const QString& name : names) {
        list.add(name);
    }
    return list.names();
}

}  // namespace

TEST(PairList, SortsByTheLocaleWithoutRegardToCase) {
    const QStringList names = {"beta", "Alpha", "Gamma", "_under", "\u00e4hnlich", "Zeta", "xa"};
    EXPECT_EQ(addedOneByOne(names, kEnglish),
              QStringList({"_under", "\u00e4hnlich", "Alpha", "beta", "Gamma", "xa", "Zeta"}));
    // The C locale has no accent rules: characters beyond ASCII sort after the letters.
    EXPECT_EQ(addedOneByOne(names, QLocale::c()),
              QStringList({"_under", "Alpha", "beta", "Gamma", "xa", "Zeta", "\u00e4hnlich"}));
}

TEST(PairList, KeepsTheFirstOfNamesEqualIgnoringAsciiCase) {
    PairList list(kEnglish);
    EXPECT_TRUE(list.add("Water"));
    EXPECT_FALSE(list.add("water"));
    EXPECT_FALSE(list.add("WATER"));
    EXPECT_TRUE(list.add("fire"));
    EXPECT_EQ(list.names(), QStringList({"fire", "Water"}));
    EXPECT_EQ(list.indexOf(u"wAtEr"), 1);
    EXPECT_EQ(list.indexOf(u"earth"), -1);
    EXPECT_TRUE(list.contains(u"FIRE"));
}

TEST(PairList, TellsApartNamesThatDifferOutsideAsciiCase) {
    // The collation ignores the case of the umlaut and "\x01" altogether; the names still differ.
    for (const QStringList& order : {QStringList{"\u00e4", "\u00c4", "a\x01", "a"},
                                     QStringList{"a", "a\x01", "\u00c4", "\u00e4"}}) {
        PairList list(kEnglish);
        for (const QString& name : order) {
            EXPECT_TRUE(list.add(name)) << name.toStdString();
        }
        EXPECT_EQ(list.names(), QStringList({"a", "a\x01", "\u00c4", "\u00e4"}));
        EXPECT_EQ(list.indexOf(u"\u00c4"), 2);
        EXPECT_EQ(list.indexOf(u"A"), 0);
    }
}

TEST(PairList, OrderDependsOnlyOnTheNamesAndAssignMatchesAddingOneByOne) {
    QStringList names = {"b",   "B",   "a",   "A2",  "a2",    "\u00e9t\u00e9",
                         "ete", "Ete", "x.y", "x_y", "",      ".hidden",
                         "Z",   "z",   "10",  "9",   "a\x01", "\u00c9T\u00c9"};
    // Which case variant survives depends on the order; the place of each name does not.
    const auto folded = [](const QStringList& list) {
        QStringList result;
        for (const QString& name : list) {
            result.append(foldAsciiCase(name));
        }
        return result;
    };
    const QStringList expected = folded(addedOneByOne(names, kEnglish));
    EXPECT_EQ(expected.size(), names.size() - 4);
    QRandomGenerator random(42);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(names.begin(), names.end(), random);
        PairList assigned(kEnglish);
        assigned.assign(names);
        EXPECT_EQ(assigned.names(), addedOneByOne(names, kEnglish));
        EXPECT_EQ(folded(assigned.names()), expected);
        // The case variant that came first survives.
        const QString firstB = names.indexOf("b") < names.indexOf("B") ? "b" : "B";
        EXPECT_EQ(assigned.at(assigned.indexOf(u"b")), firstB);
    }
}

TEST(PairList, ClearEmptiesAndForgetsNames) {
    PairList list(kEnglish);
    list.assign({"a", "b"});
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(list.add("A"));
    EXPECT_EQ(list.names(), QStringList({"A"}));
}
