// SPDX-License-Identifier: MIT
#include "workspace/file_replace.h"

#include "workspace/file_io.h"

#include "temp_files.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

void replace(const QString& path, const QByteArray& bytes) {
    FileReplacement file(path);
    file.write(bytes);
    file.commit();
}

struct stat statOf(const QString& path) {
    struct stat info {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

// Everything a reader of the pipe gets until the writer closes it.
std::future<QByteArray> readPipe(const QString& path) {
    return std::async(std::launch::async, [path] {
        QFile pipe(path);
        return pipe.open(QIODevice::ReadOnly) ? pipe.readAll() : QByteArray("<no reader>");
    });
}

}  // namespace

TEST(FileReplacement, WritesIntoAPipeWithAReaderAndLeavesThePipe) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("out.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    std::future<QByteArray> received = readPipe(pipe);
    // The reader opens the pipe in its own time; the write must not be refused meanwhile.
    for (int tries = 0; tries < 500; ++tries) {
        try {
            replace(pipe, "archive bytes");
            break;
        } catch (const FileError&) {
            usleep(10000);
        }
    }
    EXPECT_EQ(received.get(), "archive bytes");
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
    EXPECT_EQ(test_files::entriesOf(dir.path()), QStringList({"out.dat"}));
}

TEST(FileReplacement, RefusesAPipeWithoutAReaderInsteadOfWaiting) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath("out.dat");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    try {
        replace(pipe, "bytes");
        FAIL() << "wrote into a pipe nobody reads";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), pipe);
        EXPECT_NE(QString::fromStdString(e.what()).indexOf("nobody reads"), -1) << e.what();
    }
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
}

TEST(FileReplacement, KeepsHardLinksModeAndOwner) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a.vert");
    const QString second = dir.filePath("linked.vert");
    test_files::writeBytes(file, "old");
    ASSERT_EQ(link(QFile::encodeName(file).constData(), QFile::encodeName(second).constData()), 0);
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0640), 0);
    const struct stat before = statOf(file);
    replace(file, "new text");
    EXPECT_EQ(test_files::readBytes(second), "new text");
    EXPECT_EQ(statOf(file).st_ino, before.st_ino);
    EXPECT_EQ(statOf(file).st_mode & 07777, 0640u);
    EXPECT_EQ(test_files::entriesOf(dir.path()), QStringList({"a.vert", "linked.vert"}));

    // A file of another user keeps its owner, written by root or in place by anyone else.
    const QString other = dir.filePath("b.vert");
    test_files::writeBytes(other, "old");
    if (geteuid() == 0) {
        ASSERT_EQ(chown(QFile::encodeName(other).constData(), 65534, 65534), 0);
    }
    const struct stat owner = statOf(other);
    replace(other, "new");
    EXPECT_EQ(test_files::readBytes(other), "new");
    EXPECT_EQ(statOf(other).st_uid, owner.st_uid);
    EXPECT_EQ(statOf(other).st_gid, owner.st_gid);
}

TEST(FileReplacement, RemovesOnlyItsOwnLeftoversOfThatFile) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a.vert");
    const QString stale = file + FileReplacement::kLeftoverMarker + "Ab12Cd";
    test_files::writeBytes(stale, "from a killed save");
    test_files::writeBytes(file + ".backup", "the user's");
    test_files::writeBytes(dir.filePath("b.vert") + FileReplacement::kLeftoverMarker + "Ab12Cd",
                           "another file's");
    {
        // A write still under way elsewhere keeps its temporary.
        FileReplacement busy(file);
        replace(file, "new");
        EXPECT_EQ(test_files::entriesOf(dir.path()).size(), 4);
    }
    replace(file, "newer");
    const QStringList left = test_files::entriesOf(dir.path());
    EXPECT_EQ(left, QStringList({"a.vert", "a.vert.backup", "b.vert.tessory-Ab12Cd"}));
}

TEST(FileReplacement, WritesWhereALinkLeadsAndReplacesALinkThatLeadsNowhere) {
    QTemporaryDir dir;
    const QString real = dir.filePath("real.vert");
    const QString linked = dir.filePath("linked.vert");
    const QString loop = dir.filePath("loop.vert");
    test_files::writeBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, linked));
    ASSERT_TRUE(QFile::link(loop, loop));
    replace(linked, "through the link");
    replace(loop, "in place of the loop");
    EXPECT_EQ(test_files::readBytes(real), "through the link");
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
    EXPECT_EQ(test_files::readBytes(loop), "in place of the loop");
    EXPECT_FALSE(QFileInfo(loop).isSymLink());
}
