// SPDX-License-Identifier: MIT
#include "app/command_line.h"
#include "app/first_start.h"
#include "support/master_harness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;
using tessory::testing::entries;
using tessory::testing::MasterHarness;
using tessory::testing::selectedEntry;

namespace {

// A program directory, installed examples and a user's data directory in a sandbox.
struct Installation {
    QTemporaryDir root;
    QString programDir = root.filePath(QStringLiteral("usr/bin")) + '/';
    QString examplesDir = root.filePath(QStringLiteral("usr/share/examples"));
    QString dataDir = root.filePath(QStringLiteral("home/.local/share/Brimvale/GLSL Tessory"));

    Installation() {
        QDir().mkpath(programDir);
        put(examplesDir + "/a.vert", "installed a.vert");
        put(examplesDir + "/a.frag", "installed a.frag");
        put(examplesDir + "/b.vert", "installed b.vert");
        put(examplesDir + "/b.frag", "installed b.frag");
    }

    ExampleFolders folders() const { return {programDir, examplesDir, dataDir}; }
    QStringList copied() const { return QDir(dataDir).entryList(QDir::Files, QDir::Name); }

    static void put(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST(FirstStart, TheDefaultWorkspaceAndTheCopyFollowTheInstallation) {
    const QStringList all{"a.frag", "a.vert", "b.frag", "b.vert"};
    struct Case {
        const char* what;
        bool examplesInstalled;
        const char* besideProgram;  // a file in the program's directory, or nullptr
        bool firstStart;
        bool dataDirExpected;
        QStringList copied;
    };
    const Case cases[] = {
        {"build tree: pairs beside the program", true, "water.frag", true, false, {}},
        {"no installed examples", false, nullptr, true, false, {}},
        {"installed, first start", true, nullptr, true, true, all},
        {"installed, other files beside it", true, "README", true, true, all},
        {"installed, later start", true, nullptr, false, true, {}},
    };
    for (const Case& c : cases) {
        Installation install;
        if (!c.examplesInstalled) {
            QDir(install.examplesDir).removeRecursively();
        }
        if (c.besideProgram != nullptr) {
            Installation::put(install.programDir + c.besideProgram, "");
        }
        const DefaultWorkspace result = prepareDefaultWorkspace(install.folders(), c.firstStart);
        EXPECT_EQ(result.dir, c.dataDirExpected ? install.dataDir + '/' : install.programDir)
            << c.what;
        EXPECT_EQ(install.copied(), c.copied) << c.what;
        EXPECT_EQ(result.copyErrors, QStringList()) << c.what;
    }
}

TEST(FirstStart, TheCopyNeverReplacesAUsersFileAndCanBeEdited) {
    Installation install;
    Installation::put(install.dataDir + "/a.vert", "the user's a.vert");
    QFile::setPermissions(install.examplesDir + "/b.frag", QFile::ReadOwner | QFile::ReadOther);

    const DefaultWorkspace result = prepareDefaultWorkspace(install.folders(), true);

    EXPECT_EQ(result.copyErrors, QStringList());
    EXPECT_EQ(Installation::read(install.dataDir + "/a.vert"), "the user's a.vert");
    EXPECT_EQ(Installation::read(install.dataDir + "/a.frag"), "installed a.frag");
    EXPECT_EQ(Installation::read(install.dataDir + "/b.frag"), "installed b.frag");
    EXPECT_TRUE(QFileInfo(install.dataDir + "/b.frag").isWritable());
}

TEST(FirstStart, AFolderThatCannotBeMadeIsReportedByName) {
    Installation install;
    Installation::put(install.dataDir, "a file where the folder should be");
    const DefaultWorkspace result = prepareDefaultWorkspace(install.folders(), true);
    ASSERT_EQ(result.copyErrors.size(), 1);
    EXPECT_TRUE(result.copyErrors.first().contains(install.dataDir));
}

TEST(CommandLine, ReadsTheWorkspaceHelpAndVersion) {
    QTemporaryDir dir;
    const QString file = dir.filePath("water.vert");
    Installation::put(file, "");
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        Action action;
        QString workspace;
        QString textPart;
    };
    const Case cases[] = {
        {{}, Action::Run, {}, {}},
        {{dir.path()}, Action::Run, dir.path() + '/', {}},
        {{dir.path() + "/"}, Action::Run, dir.path() + '/', {}},
        {{"."}, Action::Run, QDir::currentPath() + '/', {}},
        {{"/"}, Action::Run, "/", {}},
        {{"--help"}, Action::Help, {}, "Usage: glsl-tessory [options] [DIR]"},
        {{"-h"}, Action::Help, {}, "--version"},
        {{"--version"}, Action::Version, {}, "glsl-tessory 1."},
        {{"-v"}, Action::Version, {}, "glsl-tessory 1."},
        {{dir.filePath("gone")}, Action::Error, {}, dir.filePath("gone") + ": no such directory"},
        {{file}, Action::Error, {}, file + " is not a directory"},
        {{dir.path(), dir.path()}, Action::Error, {}, "one WorkSpace directory at most"},
        {{"--frobnicate"}, Action::Error, {}, "frobnicate"},
    };
    for (const Case& c : cases) {
        const CommandLine result = parseCommandLine(QStringList{"glsl-tessory"} + c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.action, c.action) << what;
        EXPECT_EQ(result.workspace, c.workspace) << what;
        EXPECT_TRUE(result.text.contains(c.textPart)) << what << ": " << result.text.toStdString();
    }
}

// Two WorkSpaces: "ws" stored by the last run with pair b open, "other" given on the command line.
struct GivenWorkspace : ::testing::Test {
    MasterHarness h;
    void SetUp() override {
        for (const char* file : {"ws/a.vert", "ws/a.frag", "ws/b.vert", "ws/b.frag", "other/x.vert",
                                 "other/x.frag", "other/y.vert", "other/y.frag"}) {
            h.writeFile(file, QByteArray("// ") + file + '\n');
        }
        h.storeSettings(h.path("ws/"), "b");
    }
};

TEST_F(GivenWorkspace, OpensItsFirstPairAndIsStoredAtClose) {
    h.workspace = h.path("other/");
    MainWindow& w = h.start();
    EXPECT_EQ(entries(w), QStringList({"x", "y"}));
    EXPECT_EQ(selectedEntry(w), "x");
    EXPECT_EQ(w.settings().CurrentDir, h.path("other/"));
    ASSERT_TRUE(h.close());
    EXPECT_EQ(h.settings()->value("CurrentDir").toString(), h.path("other/"));
    EXPECT_EQ(h.settings()->value("CurrentFileName").toString(), "x");
}

TEST_F(GivenWorkspace, TheStoredOneGivenAgainKeepsItsOpenPair) {
    h.workspace = h.path("ws/");
    MainWindow& w = h.start();
    EXPECT_EQ(entries(w), QStringList({"a", "b"}));
    EXPECT_EQ(selectedEntry(w), "b");
}

}  // namespace
