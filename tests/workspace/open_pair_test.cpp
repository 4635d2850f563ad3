// SPDX-License-Identifier: MIT
#include "workspace/open_pair.h"
#include "workspace/pair_scan.h"

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

// A program's files: its shape's own, the added stages a pair or vertex shader has on disk, and
// the same sides under another name for New and Rename.
TEST(OpenPair, TheFilesOfAProgramFollowItsShape) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const char* file :
         {"t.vert", "t.frag", "t.tesc", "t.tese", "f.frag", "f.geom", "c.comp"}) {
        QFile out(dir + QString::fromLatin1(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    }
    OpenPair pair;
    pair.setDirectory(dir);
    pair.setExtensions({QStringLiteral(".vert"), QStringLiteral(".frag")});
    const WorkspaceScan scan = scanWorkspace(dir, pair.extensions());
    pair.setScan(scan.programs, scan.shapes, true);

    const ProgramPaths terrain = pair.paths(QStringLiteral("t"));
    EXPECT_EQ(terrain[int(PairSide::TessControl)], dir + "t.tesc");
    EXPECT_EQ(terrain[int(PairSide::TessEval)], dir + "t.tese");
    EXPECT_TRUE(terrain[int(PairSide::Geometry)].isEmpty());
    // A lone fragment shader takes no added stage, even one with its name.
    const ProgramPaths lone = pair.paths(QStringLiteral("f"));
    EXPECT_EQ(lone[int(PairSide::Fragment)], dir + "f.frag");
    EXPECT_TRUE(lone[int(PairSide::Vertex)].isEmpty());
    EXPECT_TRUE(lone[int(PairSide::Geometry)].isEmpty());
    EXPECT_EQ(pair.paths(QStringLiteral("c"))[int(PairSide::Compute)], dir + "c.comp");
    EXPECT_TRUE(pair.filesExist(QStringLiteral("f")));
    EXPECT_EQ(pair.listedPairs(), QStringList({"t"}));

    const ProgramPaths renamed = pair.pathsAs(QStringLiteral("u"), terrain);
    EXPECT_EQ(renamed[int(PairSide::TessEval)], dir + "u.tese");
    EXPECT_TRUE(renamed[int(PairSide::Geometry)].isEmpty());
}
