// SPDX-License-Identifier: MIT
#include "recovery_support.h"
#include "temp_files.h"
#include "workspace/file_replace.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <optional>

using namespace tessory;
using recovery_test::leaveBehind;

namespace {

class Recovery : public ::testing::Test {
protected:
    QString folder() const { return temp.filePath("state/recovery"); }
    QString ws(const QString& name = {}) const {
        QDir().mkpath(temp.filePath("ws"));
        return name.isEmpty() ? temp.filePath("ws") : temp.filePath("ws/" + name);
    }

    QTemporaryDir temp;
};

QString textOf(const RecoveryScan& scan) {
    return scan.entries.size() == 1 ? scan.entries[0].text.text : QStringLiteral("(none)");
}

}  // namespace

TEST_F(Recovery, KeepsEveryCharacterAndTheLineEnd) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += char(b);
    }
    QString text = decodeShaderText(bytes).text;  // every byte of a file, as the pane holds it
    // What no file gives the pane but typing may: a lone CR, a lone surrogate, an emoji.
    for (const char16_t c :
         {u'\0', u'\u00a0', u'\r', u'x', u'\r', u'\n', u'\xd800', u'x', u'\xd83d', u'\xde00'}) {
        text += QChar(c);
    }
    for (const LineEnd lineEnd : {LineEnd::Lf, LineEnd::CrLf, LineEnd::Cr}) {
        const QString path = ws("a.vert");
        leaveBehind(folder(), path, {text, lineEnd});
        RecoveryStore next(folder());
        const RecoveryScan scan = next.recoverable({path});
        ASSERT_EQ(scan.entries.size(), 1);
        EXPECT_EQ(scan.entries[0].text.text, text);
        EXPECT_EQ(scan.entries[0].text.lineEnd, lineEnd);
        EXPECT_EQ(scan.entries[0].path, path);
        EXPECT_TRUE(next.discard(scan.entries[0]));
    }
}

TEST_F(Recovery, SaysWhetherTheFileOnDiskChangedSince) {
    const QStringList names = {"same.vert", "touched.vert", "edited.frag", "deleted.frag"};
    for (const QString& name : names) {
        test_files::writeBytes(ws(name), "void main() {}\n");
        leaveBehind(folder(), ws(name), {"unsaved " + name},
                    FileStamp::of(ws(name), "void main() {}\n"));
    }
    // The same text written again has a new time but is not a change.
    test_files::writeBytes(ws("touched.vert"), "void main() {}\n");
    test_files::writeBytes(ws("edited.frag"), "void main() { discard; }\n");
    QFile::remove(ws("deleted.frag"));

    RecoveryStore next(folder());
    const RecoveryScan scan = next.recoverableIn(ws());
    QMap<QString, DiskState> states;
    for (const RecoveryEntry& entry : scan.entries) {
        EXPECT_EQ(entry.text.text, "unsaved " + QFileInfo(entry.path).fileName());
        states.insert(QFileInfo(entry.path).fileName(), entry.disk);
    }
    EXPECT_EQ(states, (QMap<QString, DiskState>{{"same.vert", DiskState::Unchanged},
                                                {"touched.vert", DiskState::Unchanged},
                                                {"edited.frag", DiskState::Changed},
                                                {"deleted.frag", DiskState::Gone}}));
}

TEST_F(Recovery, FilesOfOneNameInTwoWorkSpacesAreKeptApart) {
    QDir().mkpath(temp.filePath("other"));
    const QString other = temp.filePath("other/water.vert");
    std::optional<RecoveryStore> first(std::in_place, folder());
    first->write({ws("water.vert"), {}, {"mine"}, 1, QDateTime::currentDateTimeUtc()});
    first->write({other, {}, {"other"}, 1, QDateTime::currentDateTimeUtc()});
    {
        RecoveryStore second(folder());
        EXPECT_TRUE(second.recoverable({ws("water.vert")}).entries.isEmpty());
    }
    first.reset();  // the owner is gone, its files stay

    RecoveryStore next(folder());
    EXPECT_EQ(textOf(next.recoverable({ws("water.vert")})), "mine");
    EXPECT_EQ(textOf(next.recoverableIn(temp.filePath("other"))), "other");
    // Through another spelling of the folder, too.
    EXPECT_EQ(textOf(next.recoverable({temp.filePath("ws/../other/./water.vert")})), "other");
}

TEST_F(Recovery, RemovingTheLastTextLeavesNothingBehind) {
    RecoveryStore store(folder());
    store.write({ws("a.vert"), {}, {"a"}, 1, QDateTime::currentDateTimeUtc()});
    store.write({ws("a.frag"), {}, {"b"}, 1, QDateTime::currentDateTimeUtc()});
    store.remove(ws("a.vert"));
    EXPECT_EQ(test_files::entriesOf(folder()).size(), 2);  // the session and its lock
    store.remove(ws("a.frag"));
    EXPECT_EQ(test_files::entriesOf(folder()), QStringList());
}

TEST_F(Recovery, AFolderRemovedUnderneathIsMadeAgain) {
    std::optional<RecoveryStore> store(std::in_place, folder());
    store->write({ws("a.vert"), {}, {"a"}, 1, QDateTime::currentDateTimeUtc()});
    ASSERT_TRUE(QDir(folder()).removeRecursively());
    store->write({ws("a.frag"), {}, {"b"}, 1, QDateTime::currentDateTimeUtc()});
    store.reset();
    RecoveryStore next(folder());
    EXPECT_EQ(textOf(next.recoverable({ws("a.vert"), ws("a.frag")})), "b");
}

// Another editor is a real process: first alive, then killed as a crash would end it.
TEST_F(Recovery, ALiveEditorKeepsItsTextsAndADeadOnesAreTakenOver) {
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {recovery_test::kHoldArgument, folder(), ws("a.vert"), "typed by the other"});
    ASSERT_TRUE(other.waitForReadyRead(20000));
    ASSERT_EQ(other.readLine().trimmed(), "ready");

    std::optional<RecoveryStore> mine(std::in_place, folder());
    RecoveryScan scan = mine->recoverable({ws("a.vert")});
    EXPECT_TRUE(scan.entries.isEmpty());
    EXPECT_TRUE(scan.problems.isEmpty()) << scan.problems.join('\n').toStdString();
    EXPECT_TRUE(mine->recoverableIn(ws()).entries.isEmpty());

    kill(pid_t(other.processId()), SIGKILL);
    const qint64 pid = other.processId();
    ASSERT_TRUE(other.waitForFinished(10000));
    scan = mine->recoverableIn(ws());
    ASSERT_EQ(scan.entries.size(), 1);
    EXPECT_EQ(scan.entries[0].text.text, "typed by the other");
    EXPECT_EQ(scan.entries[0].ownerPid, pid);
    EXPECT_EQ(scan.entries[0].disk, DiskState::Gone);

    // Offered here, the text is no one else's while this editor lives, taken or not.
    RecoveryStore third(folder());
    EXPECT_TRUE(third.recoverable({ws("a.vert")}).entries.isEmpty());
    ASSERT_TRUE(mine->take(scan.entries[0]));
    EXPECT_FALSE(mine->take(scan.entries[0]));
    EXPECT_TRUE(third.recoverable({ws("a.vert")}).entries.isEmpty());

    // Taken, it is this editor's own: the next one finds it when this one dies in turn.
    mine.reset();
    scan = third.recoverable({ws("a.vert")});
    EXPECT_EQ(textOf(scan), "typed by the other");
    ASSERT_TRUE(third.discard(scan.entries.value(0)));
    EXPECT_EQ(test_files::entriesOf(folder()), QStringList());
}

TEST_F(Recovery, GarbageInTheFolderIsToldOnceAndNeverStopsTheRest) {
    leaveBehind(folder(), ws("good.vert"), {"good"});
    const QString session = folder() + "/session-1-deadbeef";
    ASSERT_TRUE(QDir().mkpath(session + "/folder.recovery"));
    RecoveryRecord record{ws("g.vert"), {}, {"text"}, 1, QDateTime::currentDateTimeUtc()};
    const QByteArray valid = encodeRecovery(record, "x");
    QByteArray otherVersion = valid;
    otherVersion.replace("recovery 1\n", "recovery 7\n");
    QByteArray damaged = valid;
    damaged[damaged.size() - 2] = 'X';
    const QMap<QString, QByteArray> garbage = {
        {folder() + "/notes.txt", "hello"},
        {session + "/empty.recovery", ""},
        {session + "/cut.recovery", valid.chopped(3)},
        {session + "/newer.recovery", otherVersion},
        {session + "/damaged.recovery", damaged},
        {session + "/header.recovery", valid.left(valid.indexOf('\n') + 10) + "\n"},
        {session + "/binary.recovery", QByteArray("\x00\xff\x01\n\n", 5)},
        {session + "/readme", "not ours"},
    };
    for (auto file = garbage.begin(); file != garbage.end(); ++file) {
        test_files::writeBytes(file.key(), file.value());
    }
    QFile huge(session + "/huge.recovery");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxRecoveryFileSize + 1));
    huge.close();
    // A write that its owner did not finish is no garbage: the file before it is whole.
    test_files::writeBytes(session + "/g.recovery" + FileReplacement::kLeftoverMarker + "Ab12Cd",
                           valid.left(20));

    // Nor is the lock of an owner killed before it made its session folder: it goes.
    const QString loneLock = folder() + "/session-9-0000abcd.lock";
    test_files::writeBytes(loneLock, "9\n");

    RecoveryStore next(folder());
    RecoveryScan scan = next.recoverable({ws("good.vert"), ws("g.vert")});
    EXPECT_EQ(textOf(scan), "good");
    EXPECT_FALSE(QFile::exists(loneLock));
    QStringList told = scan.problems;
    told.sort();
    QStringList expected = garbage.keys();
    expected << session + "/folder.recovery" << session + "/huge.recovery";
    expected.sort();
    ASSERT_EQ(told.size(), expected.size()) << told.join("\n\n").toStdString();
    for (qsizetype i = 0; i < told.size(); ++i) {
        EXPECT_TRUE(told[i].startsWith(expected[i] + ":\n")) << told[i].toStdString();
    }

    scan = next.recoverable({ws("good.vert"), ws("g.vert")});
    EXPECT_EQ(textOf(scan), "good");
    EXPECT_EQ(scan.problems, QStringList());
}
