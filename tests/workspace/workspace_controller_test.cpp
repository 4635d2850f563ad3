// SPDX-License-Identifier: MIT
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include "texts/ui_texts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n";

// A sandbox whose WorkSpace "ws/" holds the pairs a and b, with pair a open after start-up.
class WorkspaceCommands : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.writeFile("ws/b.vert", "// b vertex\n");
        h.writeFile("ws/b.frag", "// b fragment\n");
        h.storeSettings(ws(), "a");
    }

    QString ws() const { return h.path("ws/"); }

    QWidget& start() { return h.start(); }

    ControllerHarness h;
};

TEST(WorkspaceCapitalExtensions, LoadAndSaveUseTheNamesOnDisk) {
    ControllerHarness h;
    h.writeFile("ws/Water.VERT", kVertex);
    h.writeFile("ws/Water.FRAG", kFragment);
    h.storeSettings(h.path("ws/"), "Water");
    QWidget& w = h.start();
    EXPECT_EQ(entries(w), QStringList({"Water"}));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kVertex));
    QTest::keyClicks(vertexEdit(w), "// x");
    h.workspace.Action_SaveShaderExecute();
    EXPECT_TRUE(h.readFile("ws/Water.VERT").startsWith("// x"));
    EXPECT_EQ(QDir(h.path("ws")).entryList(QDir::Files), QStringList({"Water.FRAG", "Water.VERT"}));
}

// A vertex or fragment file without its partner, and a compute file, are listed as shaders of
// their own; only a stored pair whose files are gone is said to be missing.
TEST(WorkspaceScanWindow, ListsEveryProgramAndSaysWhenTheStoredPairIsGone) {
    const struct {
        QStringList files;  // "d.vert/f" makes a folder d.vert
        QString stored;
        QStringList listed;
        QString selected;  // empty: the stored pair is gone, and said so
    } cases[] = {
        {{"a.vert", "a.frag", "c.frag"}, "a", {"a", "c"}, "a"},
        {{"a.vert", "a.frag", "Water.VERT", "k.comp"}, "a", {"a", "k", "Water"}, "a"},
        // Pair files are found ignoring A-Z case: b.frag is the fragment file of B.
        {{"a.vert", "a.frag", "B.vert", "b.frag"}, "a", {"a", "B"}, "a"},
        {{".vert", ".frag", "x.y.vert", "x.y.frag", "d.vert/f", "notes.txt"},
         "x.y",
         {"", "x.y"},
         "x.y"},
        {{"c.frag"}, "gone", {"c"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        ControllerHarness h;
        for (const QString& name : c.files) {
            h.writeFile("ws/" + name, "");
        }
        h.storeSettings(h.path("ws/"), c.stored);
        QWidget& w = h.start();
        EXPECT_EQ(entries(w), c.listed);
        if (c.selected.isEmpty()) {
            ASSERT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgPairNotFound]}));
            EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
            EXPECT_FALSE(h.pairSelected);
        } else {
            EXPECT_TRUE(h.prompter.messages.isEmpty())
                << h.prompter.messageTexts().join('|').toStdString();
            EXPECT_EQ(selectedEntry(w), c.selected);
        }
    }
}

TEST_F(WorkspaceCommands, AtTheSavePromptCancelStaysNoDiscardsAndYesSaves) {
    QWidget& w = start();
    QTest::keyClicks(fragmentEdit(w), "x");
    ASSERT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a] *"));
    const QString edited = fragmentEdit(w)->toPlainText();
    h.prompter.answers.push_back(QMessageBox::Cancel);
    clickEntry(w, 1);
    EXPECT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgSaveChanges]}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), edited);
    EXPECT_TRUE(fragmentEdit(w)->document()->isModified());

    h.prompter.answers.push_back(QMessageBox::No);
    clickEntry(w, 1);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// b vertex\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(vertexEdit(w), "y");
    h.prompter.answers.push_back(QMessageBox::Yes);
    clickEntry(w, 0);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(h.readFile("ws/b.vert"), QByteArray("y// b vertex\n"));
}

TEST_F(WorkspaceCommands, AutoSaveSavesWithoutAsking) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    QWidget& w = start();
    QTest::keyClicks(vertexEdit(w), "z");
    clickEntry(w, 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_EQ(h.readFile("ws/a.vert"), "z" + kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
}

TEST_F(WorkspaceCommands, SaveKeepsEveryByteOfAnUnchangedPairAndWritesAnEditedOne) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            all.append(char(b));
        }
    }
    const QByteArray vertex = "line one\r\n" + all + "\r\nlast line without end";
    h.writeFile("ws/a.vert", vertex);
    QWidget& w = start();
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(fragmentEdit(w), "// new");
    QTest::keyClick(fragmentEdit(w), Qt::Key_Return);
    ASSERT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a] *"));
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.frag"), "// new\r\n" + kFragment);
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(WorkspaceCommands, AFailedSaveKeepsTheOldFilesThePanesAndThePair) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    QWidget& w = start();
    QTest::keyClicks(vertexEdit(w), "edited ");
    // Something that is not a file now stands where the fragment file was.
    QFile::remove(h.path("ws/a.frag"));
    QDir().mkpath(h.path("ws/a.frag"));
    clickEntry(w, 1);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.frag")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().startsWith("edited "));
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(WorkspaceCommands, AFileAnotherProgramChangedIsOverwrittenOnlyWhenTheUserSaysSo) {
    QWidget& w = start();
    const QByteArray theirs = kFragment + "// added elsewhere\r\n";
    h.writeFile("ws/a.frag", theirs);
    QTest::keyClicks(vertexEdit(w), "x");
    h.prompter.choiceAnswers.push_back(0);
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.frag"), theirs);
    EXPECT_EQ(h.readFile("ws/a.vert"), "x" + kVertex);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.frag")));
    EXPECT_EQ(h.prompter.messages[0].choices, QStringList({"Keep the file on disk", "Overwrite"}));
    // The pane shows the file that was kept.
    EXPECT_TRUE(fragmentEdit(w)->toPlainText().endsWith("// added elsewhere\n"));

    h.writeFile("ws/a.vert", "// theirs\n");
    QTest::keyClicks(vertexEdit(w), "y");
    h.prompter.choiceAnswers.push_back(1);
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), "xy" + kVertex);
    EXPECT_EQ(h.prompter.messages.size(), 2);

    // Unchanged on both sides, the fragment file is not even written.
    const auto inode = [&] {
        struct stat info {};
        stat(QFile::encodeName(h.path("ws/a.frag")).constData(), &info);
        return info.st_ino;
    };
    const auto before = inode();
    QTest::keyClicks(vertexEdit(w), "z");
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(h.readFile("ws/a.vert"), "xyz" + kVertex);
    EXPECT_EQ(h.prompter.messages.size(), 2);
}

TEST_F(WorkspaceCommands, AutoSaveAsksInGermanBeforeOverwritingAnOutsideChange) {
    h.german = true;
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    QWidget& w = start();
    h.writeFile("ws/a.vert", "// theirs\n");
    QTest::keyClicks(vertexEdit(w), "z");
    h.prompter.choiceAnswers.push_back(0);
    clickEntry(w, 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), "// theirs\n");
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].choices,
              QStringList({"Datei auf der Festplatte behalten", "Überschreiben"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
}

TEST_F(WorkspaceCommands, AWorkSpaceThatCannotBeReadIsSaidSo) {
    QWidget& w = start();
    ASSERT_TRUE(QFile::setPermissions(ws(), QFile::WriteOwner | QFile::ExeOwner));
    // Root reads any folder: the scan runs with another user's rights.
    const bool root = geteuid() == 0;
    EXPECT_TRUE(!root || seteuid(65534) == 0);
    h.workspace.rescanWorkspace();
    EXPECT_TRUE(!root || seteuid(0) == 0);
    QFile::setPermissions(ws(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    const QString told = h.prompter.messages[0].text;
    EXPECT_TRUE(told.contains(ws()) && told.contains(qt_error_string(EACCES)))
        << told.toStdString();
    EXPECT_EQ(pairListBox(w)->count(), 0);
}

TEST_F(WorkspaceCommands, TextTheFilesCannotHoldIsNotSaved) {
    QWidget& w = start();
    vertexEdit(w)->textCursor().insertText(QStringLiteral("\u4E2D"));
    h.workspace.Action_SaveShaderExecute();
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.vert")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(WorkspaceCommands, CancellingTheChooserReopensTheFirstPairOfTheSameWorkSpace) {
    h.storeSettings(ws(), "b");
    QWidget& w = start();
    ASSERT_EQ(selectedEntry(w), QStringLiteral("b"));
    h.prompter.directories.push_back(std::nullopt);
    h.workspace.Action_SelWorkSpaceExecute();
    EXPECT_EQ(h.stored().CurrentDir, ws());
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("a"));
}

TEST(WorkspaceSelection, AWorkSpaceThatIsGoneBecomesTheRootAfterACancel) {
    ControllerHarness h;
    h.storeSettings(h.path("gone/"), "");
    h.start();
    h.prompter.directories.push_back(std::nullopt);
    h.prompter.answers.assign(8, QMessageBox::Ok);  // whatever "/" holds
    h.workspace.Action_SelWorkSpaceExecute();
    EXPECT_EQ(h.prompter.directoryRequests[0].start, QString());
    EXPECT_EQ(h.stored().CurrentDir, QStringLiteral("/"));
}

TEST_F(WorkspaceCommands, AWorkSpaceWithoutShadersLeavesNoPairOpen) {
    QDir().mkpath(h.path("empty"));
    QWidget& w = start();
    h.prompter.directories.push_back(h.path("empty"));
    h.workspace.Action_SelWorkSpaceExecute();
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(h.stored().CurrentFileName, QString());
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    EXPECT_FALSE(h.pairSelected);
    EXPECT_FALSE(part<QWidget>(w, "TabSheet1")->isEnabled());
}

TEST_F(WorkspaceCommands, AWorkSpaceThatIsGoneListsNothingAfterAnExtensionChange) {
    QWidget& w = start();
    ASSERT_TRUE(QDir(ws()).removeRecursively());
    EXPECT_TRUE(h.workspace.changeExtensions({".vs", ".fs"}));
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(h.stored().CurrentFileName, QString());
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_FALSE(h.pairSelected);
}

}  // namespace
