// SPDX-License-Identifier: MIT
// A disk that fills up under the program's writes: the save, the archive (F10) and the settings at
// close. The old files stay as they were byte for byte, the user is told which file failed, and
// nothing the user typed is lost.
#include "hostile/hostile_window.h"

#include "archive/archive_file.h"
#include "workspace/file_io.h"
#include "workspace/file_replace.h"

#include <QPlainTextEdit>

using namespace tessory;
using namespace tessory::testing;

namespace {

// One test at a time owns the small file system; whatever it leaves there goes with TearDown.
class DiskFull : public HostileWindow {
protected:
    void SetUp() override {
        const QString small = qEnvironmentVariable("TESSORY_SMALL_FS");
        if (small.isEmpty()) {
            GTEST_SKIP() << "no small file system to fill; ctest runs this test through "
                            "with_small_fs.sh, which makes one";
        }
        root_ = small + QStringLiteral("/case");
        ASSERT_TRUE(QDir().mkpath(root_));
        useWorkspace(root_ + QStringLiteral("/ws/"));
    }

    void TearDown() override {
        if (!root_.isEmpty()) {
            h.window.reset();
            QDir(root_).removeRecursively();
        }
    }

    QString root() const { return root_; }

    void fill(qint64 spare) {
        const qint64 left = fillUp(root_, spare);
        ASSERT_GE(left, 0);
        ASSERT_LE(left, spare);
    }

    void makeRoom() { ASSERT_TRUE(QFile::remove(root_ + QStringLiteral("/filler"))); }

private:
    QString root_;
};

// Text that cannot fit in what the full disk leaves free.
QString bulk() {
    return QStringLiteral("// a line that the disk has no room for\n").repeated(2000);
}

struct SaveCase {
    const char* name;
    bool vertexGrows;  // else the fragment: the vertex file then fits, and only the second fails
    qint64 spare;
};

class SaveOnFullDisk : public DiskFull, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOnFullDisk, KeepsBothOldFilesAndTheEditsAndSavesOnceThereIsRoom) {
    writePair("a");
    writePair("b");
    MainWindow& w = start("a");
    QPlainTextEdit* pane = GetParam().vertexGrows ? vertexEdit(w) : fragmentEdit(w);
    pane->moveCursor(QTextCursor::End);
    pane->insertPlainText(bulk());
    const QString vertexText = vertexEdit(w)->toPlainText();
    const QString fragmentText = fragmentEdit(w)->toPlainText();
    const DirSnapshot before = snapshot(ws());
    fill(GetParam().spare);

    const QStringList told = step([&] { action(w, "Action_SaveShader")->trigger(); });
    EXPECT_TRUE(anyMentions(told, {file("a.vert")}) || anyMentions(told, {file("a.frag")}))
        << shown();
    EXPECT_EQ(snapshot(ws()), before);
    EXPECT_EQ(vertexEdit(w)->toPlainText(), vertexText);
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), fragmentText);
    EXPECT_TRUE(pane->document()->isModified());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));

    // Closing offers the save; when that fails too, the window stays open with the edits.
    h.prompter.answers.push_back(QMessageBox::Yes);
    EXPECT_TRUE(anyMentions(step([&] { EXPECT_FALSE(h.close()); }), {ws()})) << shown();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(snapshot(ws()), before);
    EXPECT_TRUE(pane->document()->isModified());

    makeRoom();
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(readBytes("a.vert"), vertexText.toLatin1());
    EXPECT_EQ(readBytes("a.frag"), fragmentText.toLatin1());
    EXPECT_FALSE(pane->document()->isModified());
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveOnFullDisk,
                         ::testing::Values(SaveCase{"VertexNoRoomAtAll", true, 0},
                                           SaveCase{"VertexSomeRoom", true, 8192},
                                           SaveCase{"FragmentNoRoomAtAll", false, 0},
                                           SaveCase{"FragmentSomeRoom", false, 8192}),
                         byName);

TEST_F(DiskFull, PuttingBackAFileOfAPairThatFailedLateNeverLeavesItEmpty) {
    writePair("a", "// old vertex\n", "// old fragment\n");
    int commits = 0;
    // The vertex file is committed, then the disk fills up and the fragment file fails: the
    // vertex file's old content must go back on a disk without room.
    const CommitFile commit = [&](FileReplacement& saved) {
        if (++commits > 1) {
            throw FileError(saved.path(), QStringLiteral("No room left."));
        }
        saved.commit();
        fillUp(root(), 0);
    };
    EXPECT_THROW(
        writeFilesTogether(
            {{file("a.vert"), "// new vertex\n"}, {file("a.frag"), "// new fragment\n"}}, commit),
        FileError);
    // Without room the old content may not fit back, and the new one then stays: never nothing.
    const QByteArray vertex = readBytes("a.vert");
    EXPECT_TRUE(vertex == "// old vertex\n" || vertex == "// new vertex\n") << vertex.toStdString();
    EXPECT_EQ(readBytes("a.frag"), "// old fragment\n");
    EXPECT_EQ(snapshot(ws()).size(), 2u);
}

struct ArchiveCase {
    const char* name;
    int pairs;
    qint64 spare;
};

class ArchiveOnFullDisk : public DiskFull, public ::testing::WithParamInterface<ArchiveCase> {};

TEST_P(ArchiveOnFullDisk, KeepsTheOldArchiveAndNamesIt) {
    const QByteArray body = QByteArray("    // a line of a longer shader\n").repeated(60);
    for (int i = 0; i < GetParam().pairs; ++i) {
        writePair(QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0')), kCleanVertex + body,
                  kCleanFragment + body);
    }
    start("p00");
    pressF10();
    ASSERT_EQ(ReadShaderArchive(file("shaders.dat")).size(), GetParam().pairs);
    const DirSnapshot before = snapshot(ws());
    fill(GetParam().spare);

    EXPECT_TRUE(anyMentions(step([&] { pressF10(); }), {file("shaders.dat")})) << shown();
    EXPECT_EQ(snapshot(ws()), before);
    EXPECT_TRUE(progressGone());

    makeRoom();
    pressF10();
    EXPECT_EQ(ReadShaderArchive(file("shaders.dat")).size(), GetParam().pairs);
    EXPECT_NE(snapshot(ws()), before);
}

// An archive far larger than the room left, and one so small that all of it waits in the
// file's write buffer until the end.
INSTANTIATE_TEST_SUITE_P(Cases, ArchiveOnFullDisk,
                         ::testing::Values(ArchiveCase{"LargeNoRoomAtAll", 20, 0},
                                           ArchiveCase{"LargeSomeRoom", 20, 16384},
                                           ArchiveCase{"SmallNoRoomAtAll", 1, 0}),
                         byName);

class SettingsOnFullDisk : public DiskFull, public ::testing::WithParamInterface<qint64> {};

TEST_P(SettingsOnFullDisk, KeepTheOldSettingsAndSayWhyOnce) {
    const QString settingsDir = root() + QStringLiteral("/settings");
    h.settingsPath = settingsDir + QStringLiteral("/GLSL Tessory.conf");
    writePair("a");
    writePair("b");
    MainWindow& w = start("a");
    click("b");
    ASSERT_EQ(w.settings().CurrentFileName, QStringLiteral("b"));
    const DirSnapshot before = snapshot(settingsDir);
    fill(GetParam());

    const QStringList told = step([&] { EXPECT_TRUE(h.close()); });
    const QString stored = h.settings()->value(QStringLiteral("CurrentFileName")).toString();
    // A page may be room enough for the new settings; then they are there whole.
    if (GetParam() > 0 && told.isEmpty()) {
        EXPECT_EQ(stored, QStringLiteral("b"));
        return;
    }
    EXPECT_EQ(told.size(), 1) << shown();
    EXPECT_TRUE(anyMentions(told, {h.settingsPath})) << shown();
    EXPECT_EQ(snapshot(settingsDir), before);
    EXPECT_EQ(stored, QStringLiteral("a"));
}

// No room at all, or room for a page or two.
INSTANTIATE_TEST_SUITE_P(Spare, SettingsOnFullDisk, ::testing::Values(0, 4096, 8192));

}  // namespace
