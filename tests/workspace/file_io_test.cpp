// SPDX-License-Identifier: MIT
#include "workspace/file_io.h"

#include "temp_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

TEST(ReadWholeFile, ReadsEveryByte) {
    QTemporaryDir dir;
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        bytes.append(char(b));
    }
    test_files::writeBytes(dir.filePath("a.vert"), bytes);
    EXPECT_EQ(readWholeFile(dir.filePath("a.vert")), bytes);
}

TEST(ReadWholeFile, NamesTheFileItCannotRead) {
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath("missing.vert"), dir.path()}) {
        try {
            readWholeFile(path);
            FAIL() << "no error for " << path.toStdString();
        } catch (const FileError& e) {
            EXPECT_EQ(e.path(), path);
            EXPECT_NE(QString::fromStdString(e.what()).indexOf(path), -1);
        }
    }
}

TEST(ReadWholeFile, TakesFilesUpToTheLimitAndRefusesLongerOnes) {
    QTemporaryDir dir;
    const struct {
        qsizetype size;
        bool read;
    } cases[] = {{0, true}, {1, true}, {10, true}, {11, false}, {70000, false}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("f%1.frag").arg(c.size));
        QByteArray bytes(c.size, 'x');
        test_files::writeBytes(path, bytes);
        try {
            EXPECT_EQ(readWholeFile(path, 10), bytes) << c.size;
            EXPECT_TRUE(c.read) << c.size;
        } catch (const FileError& e) {
            EXPECT_FALSE(c.read) << c.size;
            EXPECT_NE(QString::fromStdString(e.what()).indexOf(u"files longer than"), -1);
        }
    }
}

TEST(ReadWholeFile, ReadsLongFilesWithoutALimit) {
    QTemporaryDir dir;
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i) {
        bytes.append(char('a' + i % 26));
    }
    test_files::writeBytes(dir.filePath("long.comp"), bytes);
    EXPECT_EQ(readWholeFile(dir.filePath("long.comp")), bytes);
}

// Files under /proc say they are empty; their size is only known once they are read.
TEST(ReadWholeFile, ReadsToTheEndOfFilesThatDoNotKnowTheirSize) {
    const QByteArray maps = readWholeFile(QStringLiteral("/proc/self/maps"));
    EXPECT_TRUE(maps.endsWith('\n'));
    EXPECT_NE(maps.indexOf("[stack]"), -1);
    EXPECT_THROW(readWholeFile(QStringLiteral("/proc/self/maps"), 100), FileError);
}
