// SPDX-License-Identifier: MIT
#include "workspace/recovery_writer.h"

#include "recovery_support.h"
#include "temp_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <semaphore>

using namespace tessory;

namespace {

QMap<QString, QString> recoverableTexts(const QString& folder, const QStringList& paths) {
    RecoveryStore next(folder);
    QMap<QString, QString> texts;
    for (const RecoveryEntry& entry : next.recoverable(paths).entries) {
        texts.insert(QFileInfo(entry.path).fileName(), entry.text.text);
    }
    return texts;
}

}  // namespace

TEST(RecoveryWriter, WritesOnlyTheNewestTextOfEachFileAndNothingOfARemovedOne) {
    QTemporaryDir temp;
    const QString folder = temp.filePath("recovery");
    const QString a = temp.filePath("a.vert");
    const QString b = temp.filePath("b.vert");
    const QString c = temp.filePath("c.frag");
    std::binary_semaphore entered(0);
    std::binary_semaphore go(0);
    QStringList written;
    {
        RecoveryStore store(folder);
        RecoveryWriter writer(store, nullptr, [&](const QString& path) {
            written << QFileInfo(path).fileName();
            if (written.size() == 1) {
                entered.release();
                go.acquire();
            }
        });
        writer.update(a, {"a 1"}, {});
        entered.acquire();
        // The first write is under way; what follows comes while the disk is busy.
        for (const char* text : {"a 2", "a 3"}) {
            writer.update(a, {text}, {});
        }
        writer.update(b, {"b 1"}, {});
        writer.update(c, {"c 1"}, {});
        writer.remove(b);
        EXPECT_FALSE(writer.waitForIdle(0));
        go.release();
        EXPECT_TRUE(writer.waitForIdle(20000));
        EXPECT_EQ(writer.error(), QString());
    }
    EXPECT_EQ(written, QStringList({"a.vert", "a.vert", "c.frag"}));
    EXPECT_EQ(recoverableTexts(folder, {a, b, c}),
              (QMap<QString, QString>{{"a.vert", "a 3"}, {"c.frag", "c 1"}}));
}

enum class Fault { NotCreatable, ReadOnly, Full };

class RecoveryWriterFault : public ::testing::TestWithParam<Fault> {};

// A folder that cannot be made, one that cannot be written (root writes anywhere, so it tries as
// nobody) and a full disk (the small one the test runs with, where it has one). Each is told
// once, however many texts fail, and once it is mended the next text is kept.
TEST_P(RecoveryWriterFault, IsToldOnceAndWritingGoesOn) {
    const Fault fault = GetParam();
    const QString small = qEnvironmentVariable("TESSORY_SMALL_FS");
    if (fault == Fault::Full && small.isEmpty()) {
        GTEST_SKIP() << "no small disk to fill here";
    }
    QTemporaryDir temp;
    ASSERT_EQ(chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
    const QString blocked = temp.filePath("blocked");
    QString folder = blocked + "/recovery";
    QString text = "a text";
    const bool asNobody = fault == Fault::ReadOnly && geteuid() == 0;
    switch (fault) {
        case Fault::NotCreatable:
            test_files::writeBytes(blocked, "a file where the folder should be");
            break;
        case Fault::ReadOnly:
            folder = blocked;
            ASSERT_TRUE(QDir().mkdir(blocked));
            ASSERT_EQ(chmod(QFile::encodeName(blocked).constData(), 0555), 0);
            break;
        case Fault::Full:
            folder = small + "/recovery";
            text = QString(3 << 20, 'x');  // twice as many bytes as the disk holds
            break;
    }
    const QString path = temp.filePath("a.vert");
    auto store = std::make_unique<RecoveryStore>(folder);
    auto writer = std::make_unique<RecoveryWriter>(*store);
    std::atomic<int> told = 0;
    QObject::connect(
        writer.get(), &RecoveryWriter::failed, writer.get(), [&] { ++told; }, Qt::DirectConnection);
    ASSERT_TRUE(!asNobody || seteuid(65534) == 0);
    for (int i = 0; i < 3; ++i) {
        writer->update(path, {text + QString::number(i)}, {});
        writer->remove(temp.filePath("b.vert"));
        writer->waitForIdle();
    }
    ASSERT_TRUE(!asNobody || seteuid(0) == 0);
    EXPECT_EQ(told, 1);
    const QString error = writer->error();
    const int cause = fault == Fault::Full ? ENOSPC : fault == Fault::ReadOnly ? EACCES : ENOTDIR;
    EXPECT_TRUE(error.contains(folder) && error.contains(qt_error_string(cause)))
        << error.toStdString();

    if (fault == Fault::ReadOnly) {
        ASSERT_EQ(chmod(QFile::encodeName(blocked).constData(), 0755), 0);
    } else if (fault == Fault::NotCreatable) {
        ASSERT_TRUE(QFile::remove(blocked));
    }
    writer->update(path, {"kept at last"}, {});
    writer->waitForIdle();
    EXPECT_EQ(writer->error(), QString());
    writer.reset();
    store.reset();
    EXPECT_EQ(recoverableTexts(folder, {path}).value("a.vert"), "kept at last");
    if (fault == Fault::Full) {
        QDir(folder).removeRecursively();
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, RecoveryWriterFault,
                         ::testing::Values(Fault::NotCreatable, Fault::ReadOnly, Fault::Full));
