// SPDX-License-Identifier: MIT
#include "workspace/open_pair.h"

#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(OpenPair, DirectoryEndsInASeparatorUnlessItIsEmpty) {
    OpenPair pair;
    pair.setDirectory(QStringLiteral("/work/ws"));
    EXPECT_EQ(pair.directory(), QStringLiteral("/work/ws/"));
    pair.setDirectory(QStringLiteral("/work/ws/"));
    EXPECT_EQ(pair.directory(), QStringLiteral("/work/ws/"));
    pair.setDirectory(QString());
    EXPECT_EQ(pair.directory(), QString());
}

TEST(OpenPair, PathsAreTheFilesOnDiskWhateverTheCaseOfTheirExtension) {
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("Water.VERT")));
    touch(dir.filePath(QStringLiteral("Water.frag")));
    OpenPair pair;
    pair.setDirectory(dir.path());
    pair.setExtensions({QStringLiteral(".vert"), QStringLiteral(".frag")});
    pair.setName(QStringLiteral("Water"));
    EXPECT_EQ(pair.path(PairSide::Vertex), dir.filePath(QStringLiteral("Water.VERT")));
    EXPECT_EQ(pair.path(PairSide::Fragment), dir.filePath(QStringLiteral("Water.frag")));
    // A pair still to be written is named with the extension as configured.
    EXPECT_EQ(pair.path(PairSide::Vertex, QStringLiteral("Fire")),
              dir.filePath(QStringLiteral("Fire.vert")));
    EXPECT_TRUE(pair.filesExist(QStringLiteral("Water")));
    EXPECT_FALSE(pair.filesExist(QStringLiteral("Fire")));
}

TEST(OpenPair, OnlyAnAcceptedScanIsListedAndTheOpenNameIsFoundIgnoringCase) {
    PairList names;
    names.assign({QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")});
    OpenPair pair;
    pair.setName(QStringLiteral("B"));

    pair.setScan(names, {}, false);
    EXPECT_EQ(pair.scanned().names(), QStringList({"A", "b", "c"}));
    EXPECT_TRUE(pair.listed().isEmpty());
    EXPECT_EQ(pair.listedIndexOfOpen(), -1);

    pair.setScan(names, {}, true);
    EXPECT_EQ(pair.listed(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(pair.listedIndexOfOpen(), 1);

    pair.close();
    EXPECT_EQ(pair.listedIndexOfOpen(), -1);

    pair.clearPairs();
    pair.addPair(QStringLiteral("new"));
    EXPECT_EQ(pair.listed(), QStringList({"new"}));
}

}  // namespace
