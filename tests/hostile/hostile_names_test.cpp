// SPDX-License-Identifier: MIT
// File names a shell would trip over, and names that are not text at all: the WorkSpace list shows
// what can be opened by the name shown, and every pair it shows can be opened, saved, archived
// and deleted by that name.
#include "hostile/hostile_window.h"

#include "archive/archive_file.h"
#include "texts/win1252.h"

#include <QTextEdit>

#include <gmock/gmock.h>

using namespace tessory;
using namespace tessory::testing;
using ::testing::UnorderedElementsAreArray;

namespace {

// Names that are valid UTF-8 but awkward: blanks, quotes, a leading dash, letters of
// Windows-1252 and beyond it, and control characters.
const QStringList kAwkwardNames = {
    QStringLiteral("with space"), QStringLiteral("quote's \"double\""),
    QStringLiteral("-dash"),      QStringLiteral("Wasser äöü €"),
    QStringLiteral("水"),         QStringLiteral("tab\tand\nnewline"),
};

// Names whose bytes are not UTF-8, which is how this platform gives file names to Qt: Latin-1
// "café" and two bytes that never occur in UTF-8.
const QList<QByteArray> kRawNames = {"caf\xe9", "bad\xff\xfe"};

// A vertex source that tells its pair from the others.
QByteArray vertexOf(const QString& name) {
    return "// vertex of " + name.toUtf8().toHex() + "\n" + kCleanVertex;
}

class HostileNames : public HostileWindow {
protected:
    void SetUp() override {
        writePair("a");
        for (const QString& name : kAwkwardNames) {
            writePair(name, vertexOf(name), kCleanFragment);
        }
        for (const QByteArray& raw : kRawNames) {
            ASSERT_TRUE(writeRawName(ws(), raw + ".vert", "// raw vertex\n"));
            ASSERT_TRUE(writeRawName(ws(), raw + ".frag", "// raw fragment\n"));
        }
    }

    // Qt cannot remove what it cannot name, so the sandbox would stay behind.
    void TearDown() override {
        for (const QByteArray& raw : kRawNames) {
            removeRawName(ws(), raw + ".vert");
            removeRawName(ws(), raw + ".frag");
        }
    }

    // What the file system holds under the names that are not UTF-8.
    DirSnapshot rawFiles() const {
        DirSnapshot all = snapshot(ws());
        DirSnapshot raw;
        for (const QByteArray& name : kRawNames) {
            for (const char* extension : {".vert", ".frag"}) {
                raw[name + extension] = all[name + extension];
            }
        }
        return raw;
    }
};

TEST_F(HostileNames, ListsEveryPairThatCanBeOpenedByItsNameAndNamesTheOthers) {
    const DirSnapshot rawBefore = rawFiles();
    MainWindow& w = start("a");
    QStringList expected = kAwkwardNames;
    expected.append(QStringLiteral("a"));
    EXPECT_THAT(entries(w), UnorderedElementsAreArray(expected));
    QStringList rawShown;
    for (const QByteArray& raw : kRawNames) {
        rawShown.append(QFile::decodeName(raw + ".vert"));
    }
    EXPECT_TRUE(anyMentions(h.prompter.messageTexts(), rawShown)) << shown();

    // Test all and F10 pass the left-out files by; closing writes nothing near them.
    h.prompter.messages.clear();
    action(w, "Action_TestAll")->trigger();
    pressF10();
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << shown();
    EXPECT_EQ(ReadShaderArchive(file("shaders.dat")).size(), expected.size());
    EXPECT_TRUE(h.close());
    EXPECT_EQ(rawFiles(), rawBefore);
}

class AwkwardName : public HostileNames, public ::testing::WithParamInterface<QString> {};

TEST_P(AwkwardName, OpensSavesArchivesAndDeletesByTheNameShown) {
    const QString name = GetParam();
    const DirSnapshot rawBefore = rawFiles();
    MainWindow& w = start("a");
    click(name);
    EXPECT_EQ(selectedEntry(w), name);
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(vertexOf(name)));

    vertexEdit(w)->moveCursor(QTextCursor::End);
    vertexEdit(w)->insertPlainText(QStringLiteral("// saved\n"));
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(readBytes(name + ".vert"), vertexOf(name) + "// saved\n");

    pressF10();
    QList<QByteArray> archived;
    for (const ArchivePair& pair : ReadShaderArchive(file("shaders.dat"))) {
        archived.append(pair.vertexName);
    }
    EXPECT_TRUE(archived.contains(toWin1252Lossy(name) + ".vert"));

    h.prompter.answers.push_back(QMessageBox::Yes);
    action(w, "Action_DelS")->trigger();
    EXPECT_TRUE(
        anyMentions(h.prompter.messageTexts(), {file(name + ".vert"), file(name + ".frag")}))
        << shown();
    EXPECT_FALSE(QFileInfo::exists(file(name + ".vert")));
    EXPECT_FALSE(QFileInfo::exists(file(name + ".frag")));
    EXPECT_FALSE(entries(w).contains(name));
    EXPECT_EQ(entries(w).size(), kAwkwardNames.size());
    EXPECT_EQ(rawFiles(), rawBefore);
}

INSTANTIATE_TEST_SUITE_P(Names, AwkwardName, ::testing::ValuesIn(kAwkwardNames),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return "Name" + std::to_string(info.index);
                         });

}  // namespace
