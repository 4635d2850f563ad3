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
