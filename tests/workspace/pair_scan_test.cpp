// SPDX-License-Identifier: MIT
#include "workspace/pair_scan.h"

#include "temp_files.h"

#include <QTemporaryDir>

#include <unistd.h>
#include <cerrno>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

const PairExtensions kDefaultExtensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

struct ScanCase {
    const char* title;
    QStringList files;
    QStringList folders;
    QStringList pairs;
    QStringList missing;
    QStringList unpaired;
};

void PrintTo(const ScanCase& c, std::ostream* out) {
    *out << c.title;
}

class WorkspaceScanTable : public ::testing::TestWithParam<ScanCase> {};

}  // namespace

TEST_P(WorkspaceScanTable, FindsPairsAndTheFilesWithoutPartner) {
    const ScanCase& c = GetParam();
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const QString& file : c.files) {
        test_files::writeBytes(dir + file, "void main() {}\n");
    }
    for (const QString& folder : c.folders) {
        ASSERT_TRUE(QDir(dir).mkdir(folder));
    }

    const WorkspaceScan scan = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(scan.pairs.names(), c.pairs);
    EXPECT_EQ(scan.missingFiles, c.missing);
    EXPECT_EQ(scan.unpairedFiles, c.unpaired);
    EXPECT_EQ(scan.complete(), c.missing.isEmpty());
    EXPECT_EQ(scan.listedNames(), c.missing.isEmpty() ? c.pairs : QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    Workspaces, WorkspaceScanTable,
    ::testing::Values(
        ScanCase{"pairs sorted ignoring case",
                 {"water.vert", "water.frag", "Fire.frag", "Fire.vert", "earth.frag", "earth.vert"},
                 {},
                 {"earth", "Fire", "water"},
                 {},
                 {}},
        // B.vert is met first (byte order) and keeps its case; its fragment file is found as
        // b.frag, since pair files are found ignoring A-Z case.
        ScanCase{"case variants of one name",
                 {"a.vert", "a.frag", "B.vert", "b.frag"},
                 {},
                 {"a", "B"},
                 {},
                 {}},
        ScanCase{"a case variant beside a whole pair is listed under the pair",
                 {"B.vert", "B.frag", "b.frag"},
                 {},
                 {"B"},
                 {},
                 {}},
        ScanCase{"lone fragment file",
                 {"a.vert", "a.frag", "c.frag"},
                 {},
                 {"a", "c"},
                 {"c.vert"},
                 {"c.frag"}},
        ScanCase{"no shader files", {"readme.txt", "noext", "x.glsl", "vert"}, {}, {}, {}, {}},
        ScanCase{"empty directory", {}, {}, {}, {}, {}},
        ScanCase{"files named only by the extensions", {".vert", ".frag"}, {}, {""}, {}, {}},
        ScanCase{"dots in the base name", {"x.y.vert", "x.y.frag"}, {}, {"x.y"}, {}, {}},
        ScanCase{"folders named like pair files",
                 {"a.vert", "a.frag"},
                 {"d.vert", "d.frag"},
                 {"a"},
                 {},
                 {}},
        ScanCase{
            "folder in place of a partner", {"e.frag"}, {"e.vert"}, {"e"}, {"e.vert"}, {"e.frag"}},
        ScanCase{"extensions count in any letter case",
                 {"Water.VERT", "Water.FRAG", "Sky.VERT", "Sky.frag", "Sun.Vert"},
                 {},
                 {"Sky", "Sun", "Water"},
                 {"Sun.frag"},
                 {"Sun.Vert"}},
        ScanCase{"hidden files", {".hidden.vert", ".hidden.frag"}, {}, {".hidden"}, {}, {}},
        ScanCase{
            "extension only at the end", {"a.vert.bak", "a.frag~", "a.vertx"}, {}, {}, {}, {}}));

TEST(WorkspaceScan, NamesThePairsHiddenBehindACaseVariant) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const char* file : {"B.vert", "B.frag", "b.vert", "b.frag", "bB.vert", "c.vert"}) {
        test_files::writeBytes(dir + file, "");
    }
    const WorkspaceScan scan = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(scan.pairs.names(), QStringList({"B", "bB", "c"}));
    EXPECT_EQ(scan.shadowedNames, QStringList({"b"}));
    EXPECT_EQ(scan.unpairedFiles, QStringList({"bB.vert", "c.vert"}));
}

TEST(WorkspaceScan, FindsPairFilesAsNamedOnDiskWhereTheExactNameWins) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const char* file :
         {"Water.VERT", "Water.Vert", "Water.FRAG", "Sky.vert", "Sky.VERT", "Sky.frag"}) {
        test_files::writeBytes(dir + file, "");
    }
    const WorkspaceScan scan = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(scan.listedNames(), QStringList({"Sky", "Water"}));
    EXPECT_EQ(scan.caseVariantFiles, QStringList({"Sky.VERT", "Water.Vert"}));
    EXPECT_EQ(findPairFile(dir, "Sky", ".vert"), dir + "Sky.vert");
    EXPECT_EQ(findPairFile(dir, "Water", ".vert"), dir + "Water.VERT");
    EXPECT_EQ(findPairFile(dir, "water", ".frag"), dir + "Water.FRAG");
    // Nothing on disk: the exact name, for a file to be created.
    EXPECT_EQ(findPairFile(dir, "Moon", ".vert"), dir + "Moon.vert");
}

TEST(WorkspaceScan, LinksCountAsWhatTheyPointTo) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    ASSERT_TRUE(QDir(dir).mkdir("sub"));
    test_files::writeBytes(dir + "sub/real.vert", "");
    ASSERT_TRUE(QFile::link(dir + "sub/real.vert", dir + "linked.vert"));
    test_files::writeBytes(dir + "linked.frag", "");
    ASSERT_TRUE(QFile::link(dir + "sub", dir + "folder.vert"));
    ASSERT_TRUE(QFile::link(dir + "nowhere", dir + "broken.vert"));
    test_files::writeBytes(dir + "broken.frag", "");

    const WorkspaceScan scan = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(scan.pairs.names(), QStringList({"broken", "linked"}));
    EXPECT_EQ(scan.missingFiles, QStringList({"broken.vert"}));
    EXPECT_EQ(scan.unpairedFiles, QStringList({"broken.frag", "broken.vert"}));
    EXPECT_EQ(scan.unusableFiles.keys(), QStringList({"broken.vert"}));

    // A link loop is no file either, and the scan names the real cause.
    ASSERT_TRUE(QFile::link(dir + "loop.vert", dir + "loop.vert"));
    test_files::writeBytes(dir + "loop.frag", "");
    const WorkspaceScan loop = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(loop.unusableFiles.value("loop.vert"), qt_error_string(ELOOP));
    EXPECT_TRUE(loop.readError.isEmpty());
}

TEST(WorkspaceScan, UsesTheConfiguredExtensions) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const char* file : {"a.vs", "a.fs", "b.vert", "b.frag", "c.glsl"}) {
        test_files::writeBytes(dir + file, "");
    }
    EXPECT_EQ(scanWorkspace(dir, {".vs", ".fs"}, kEnglish).listedNames(), QStringList({"a"}));
    // Without its dot an extension never equals a file's extension.
    EXPECT_TRUE(scanWorkspace(dir, {"vs", "fs"}, kEnglish).pairs.isEmpty());
    // One extension for both files: each such file is a whole pair on its own.
    EXPECT_EQ(scanWorkspace(dir, {".glsl", ".glsl"}, kEnglish).listedNames(), QStringList({"c"}));
}

TEST(WorkspaceScan, MissingDirectoryIsAnEmptyWorkspace) {
    QTemporaryDir temp;
    const WorkspaceScan scan = scanWorkspace(temp.path() + "/gone/", kDefaultExtensions, kEnglish);
    EXPECT_TRUE(scan.pairs.isEmpty());
    EXPECT_TRUE(scan.complete());
}

TEST(forEachDirectoryEntry, WalksFilesInByteOrderAndStopsWhenAsked) {
    QTemporaryDir temp;
    const QString dir = temp.path();
    for (const char* file : {"b", "B.x", "a.frag", ".h", "\u00e4", "z.frag"}) {
        test_files::writeBytes(dir + u'/' + QString::fromUtf8(file), "");
    }
    ASSERT_TRUE(QDir(dir).mkdir("c.frag"));

    QStringList seen;
    forEachDirectoryEntry(dir, "*.*", [&](const QString& path, const DirEntry& entry) {
        EXPECT_EQ(path, dir + u'/');
        EXPECT_EQ(entry.kind, EntryKind::File);
        seen.append(entry.name);
        return true;
    });
    EXPECT_EQ(seen, QStringList({".h", "B.x", "a.frag", "b", "z.frag", "\u00e4"}));

    seen.clear();
    forEachDirectoryEntry(dir + u'/', "*.frag", [&](const QString&, const DirEntry& entry) {
        seen.append(entry.name);
        return true;
    });
    EXPECT_EQ(seen, QStringList({"a.frag", "z.frag"}));

    seen.clear();
    forEachDirectoryEntry(dir, "*", [&](const QString&, const DirEntry& entry) {
        seen.append(entry.name);
        return seen.size() < 2;
    });
    EXPECT_EQ(seen, QStringList({".h", "B.x"}));
}

TEST(pairFileNames, TakesTheBaseNameForEachMatchingExtension) {
    const auto baseNames = [](const char* name, EntryKind kind, const PairExtensions& extensions) {
        QStringList names;
        for (const PairFileName& found : pairFileNames(DirEntry{name, kind}, extensions)) {
            names.append(found.baseName + (found.side == PairSide::Vertex ? ":v" : ":f"));
        }
        return names;
    };
    // Dots, folders, capitals and one extension for both are met through the scans above.
    EXPECT_EQ(baseNames(".frag", EntryKind::Other, kDefaultExtensions), QStringList({":f"}));
    EXPECT_EQ(baseNames("s.glsl", EntryKind::File, {".glsl", ".glsl"}),
              QStringList({"s:v", "s:f"}));
    EXPECT_EQ(baseNames("noext", EntryKind::File, {"", ".frag"}), QStringList({"noext:v"}));
}

// What the editor lists: a lone vertex or fragment file and a compute file are shaders of their
// own; a compute file whose name a pair has stays out, and so does a name without a usable file.
TEST(WorkspaceScanPrograms, ListsEveryShaderWithItsShape) {
    QTemporaryDir temp;
    const QString dir = temp.path() + u'/';
    for (const char* file : {"pair.vert", "pair.frag", "pair.comp", "glow.frag", "Wave.FRAG",
                             "skin.vert", "skin.geom", "blur.comp", "notes.txt"}) {
        test_files::writeBytes(dir + QString::fromLatin1(file), "void main() {}\n");
    }
    ASSERT_EQ(symlink("nowhere", QFile::encodeName(dir + "dangling.frag").constData()), 0);
    const WorkspaceScan scan = scanWorkspace(dir, kDefaultExtensions, kEnglish);
    EXPECT_EQ(scan.programs.names(), QStringList({"blur", "glow", "pair", "skin", "Wave"}));
    EXPECT_EQ(scan.shape("pair"), EntryShape::Pair);
    EXPECT_EQ(scan.shape("glow"), EntryShape::FragmentOnly);
    EXPECT_EQ(scan.shape("WAVE"), EntryShape::FragmentOnly);
    EXPECT_EQ(scan.shape("skin"), EntryShape::VertexOnly);
    EXPECT_EQ(scan.shape("blur"), EntryShape::Compute);
    // The checker's view of the pairs is as it was: the lone files are its problems.
    EXPECT_FALSE(scan.complete());
    EXPECT_TRUE(scan.unusableFiles.contains("dangling.frag"));
}
