#include "workspace/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

TEST(ReadWholeFile, ReadsEveryByte) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.vert");
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        bytes[b] = char(b);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    EXPECT_EQ(readWholeFile(path), bytes);
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
