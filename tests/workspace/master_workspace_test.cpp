// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/ui_texts.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n";

// Clicks a list entry as the user would.
void clickEntry(TForm_Master& w, int row) {
    const QRect rect = w.ListBox1->visualItemRect(w.ListBox1->item(row));
    QTest::mouseClick(w.ListBox1->viewport(), Qt::LeftButton, {}, rect.center());
    QCoreApplication::processEvents();
}

// A sandbox whose WorkSpace "ws/" holds the pairs a and b, with pair a open after start-up.
class WorkspaceWindow : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.writeFile("ws/b.vert", "// b vertex\n");
        h.writeFile("ws/b.frag", "// b fragment\n");
        h.storeSettings(ws(), "a");
    }

    QString ws() const { return h.path("ws/"); }

    TForm_Master& start() { return h.start(); }

    MasterHarness h;
};

TEST_F(WorkspaceWindow, StartUpListsThePairsAndReopensTheStoredPair) {
    TForm_Master& w = start();
    EXPECT_EQ(entries(w), QStringList({"a", "b"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(w.RichEdit_Vertex->toPlainText(), QString::fromLatin1(kVertex));
    EXPECT_EQ(w.RichEdit_Fragment->toPlainText(),
              QString::fromLatin1(kFragment).replace("\r\n", "\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    EXPECT_EQ(w.StatusPanel[2]->text(), ws());
    EXPECT_TRUE(w.Action_Compile->isEnabled());
    // Nothing to undo right after a load.
    EXPECT_FALSE(w.RichEdit_Vertex->document()->isUndoAvailable());
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST_F(WorkspaceWindow, AStoredPairWithoutItsFilesIsPassedOverButStillNamed) {
    // "A" matches the listed "a" ignoring case, but on this file system A.frag is another file.
    h.storeSettings(ws(), "A");
    TForm_Master& w = start();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("<none>"));
    EXPECT_TRUE(w.RichEdit_Vertex->toPlainText().isEmpty());
    EXPECT_EQ(w.cfg.CurrentFileName, QStringLiteral("A"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [A]"));
    EXPECT_FALSE(w.Action_SaveShader->isEnabled());
}

// A WorkSpace with a pair that lacks a file is refused whole, even its stored pair: an empty list
// and one message.
TEST(WorkspaceScanWindow, ListsTheWholePairsOrRefusesTheWorkSpace) {
    const struct {
        QStringList files;  // "d.vert/f" makes a folder d.vert
        QString stored;
        QStringList listed;
    } cases[] = {
        {{"a.vert", "a.frag", "c.frag"}, "a", {}},  // the lone c.frag
        // B.frag and b.frag are different files on this file system.
        {{"a.vert", "a.frag", "B.vert", "b.frag"}, "a", {}},
        {{".vert", ".frag", "x.y.vert", "x.y.frag", "d.vert/f", "notes.txt", "Water.VERT"},
         "x.y",
         {"", "x.y"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.join(' ').toStdString());
        MasterHarness h;
        for (const QString& name : c.files) {
            h.writeFile("ws/" + name, "");
        }
        h.storeSettings(h.path("ws/"), c.stored);
        TForm_Master& w = h.start();
        EXPECT_EQ(entries(w), c.listed);
        if (c.listed.isEmpty()) {
            ASSERT_EQ(h.prompter.messageTexts(), QStringList({w.MessageTexts[MsgPairNotFound]}));
            EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
            EXPECT_FALSE(w.Action_Compile->isEnabled());
        } else {
            EXPECT_TRUE(h.prompter.messages.isEmpty());
            EXPECT_EQ(selectedEntry(w), c.stored);
        }
    }
}

TEST_F(WorkspaceWindow, AtTheSavePromptCancelStaysNoDiscardsAndYesSaves) {
    TForm_Master& w = start();
    QTest::keyClicks(w.RichEdit_Fragment, "x");
    ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    const QString edited = w.RichEdit_Fragment->toPlainText();
    h.prompter.answers.push_back(QMessageBox::Cancel);
    clickEntry(w, 1);
    EXPECT_EQ(h.prompter.messageTexts(), QStringList({w.MessageTexts[MsgSaveChanges]}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(w.RichEdit_Fragment->toPlainText(), edited);
    EXPECT_TRUE(w.RichEdit_Fragment->document()->isModified());

    h.prompter.answers.push_back(QMessageBox::No);
    clickEntry(w, 1);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
    EXPECT_EQ(w.RichEdit_Vertex->toPlainText(), QStringLiteral("// b vertex\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(w.RichEdit_Vertex, "y");
    h.prompter.answers.push_back(QMessageBox::Yes);
    clickEntry(w, 0);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(h.readFile("ws/b.vert"), QByteArray("y// b vertex\n"));
}

TEST_F(WorkspaceWindow, AutoSaveSavesWithoutAsking) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    TForm_Master& w = start();
    QTest::keyClicks(w.RichEdit_Vertex, "z");
    clickEntry(w, 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_EQ(h.readFile("ws/a.vert"), "z" + kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
}

TEST_F(WorkspaceWindow, SaveKeepsEveryByteOfAnUnchangedPairAndWritesAnEditedOne) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            all.append(char(b));
        }
    }
    const QByteArray vertex = "line one\r\n" + all + "\r\nlast line without end";
    h.writeFile("ws/a.vert", vertex);
    TForm_Master& w = start();
    w.Action_SaveShader->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(h.readFile("ws/a.frag"), kFragment);

    QTest::keyClicks(w.RichEdit_Fragment, "// new");
    QTest::keyClick(w.RichEdit_Fragment, Qt::Key_Return);
    ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    w.Action_SaveShader->trigger();
    EXPECT_EQ(h.readFile("ws/a.frag"), "// new\r\n" + kFragment);
    EXPECT_EQ(h.readFile("ws/a.vert"), vertex);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(WorkspaceWindow, AFailedSaveKeepsTheOldFilesThePanesAndThePair) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) { cfg.AutoSaveOnChange = true; });
    TForm_Master& w = start();
    QTest::keyClicks(w.RichEdit_Vertex, "edited ");
    // Something that is not a file now stands where the fragment file was.
    QFile::remove(h.path("ws/a.frag"));
    QDir().mkpath(h.path("ws/a.frag"));
    clickEntry(w, 1);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.prompter.messages[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.frag")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_TRUE(w.RichEdit_Vertex->toPlainText().startsWith("edited "));
    EXPECT_TRUE(w.RichEdit_Vertex->document()->isModified());
}

TEST_F(WorkspaceWindow, TextTheFilesCannotHoldIsNotSaved) {
    TForm_Master& w = start();
    w.RichEdit_Vertex->textCursor().insertText(QStringLiteral("\u4E2D"));
    w.Action_SaveShader->trigger();
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/a.vert")));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    EXPECT_TRUE(w.RichEdit_Vertex->document()->isModified());
}

TEST_F(WorkspaceWindow, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    TForm_Master& w = start();
    QTest::keyClicks(w.RichEdit_Vertex, "x");
    w.cfg.FontColor_Comment = 0x00010203;
    h.prompter.answers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(h.close());
    EXPECT_TRUE(w.isVisible());
    // A refused close stores nothing.
    EXPECT_EQ(h.settings()->value("FontColor_Comment").toInt(), TCFG().FontColor_Comment);
    h.prompter.answers.push_back(QMessageBox::No);
    EXPECT_TRUE(h.close());
}

TEST_F(WorkspaceWindow, SelectingAWorkSpaceOpensItsFirstPair) {
    h.writeFile("other/z.vert", "// z\n");
    h.writeFile("other/z.frag", "");
    h.writeFile("other/m.vert", "// m\n");
    h.writeFile("other/m.frag", "");
    TForm_Master& w = start();
    w.ListBox_Err->addItem("old message");
    h.prompter.directories.push_back(h.path("other"));
    w.Action_SelWorkSpace->trigger();
    ASSERT_EQ(h.prompter.directoryRequests.size(), 1);
    EXPECT_EQ(h.prompter.directoryRequests[0].title, w.MessageTexts[MsgSelectWorkspaceTitle]);
    EXPECT_EQ(h.prompter.directoryRequests[0].start, ws());
    EXPECT_EQ(w.cfg.CurrentDir, h.path("other/"));
    EXPECT_EQ(entries(w), QStringList({"m", "z"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("m"));
    EXPECT_EQ(w.RichEdit_Vertex->toPlainText(), QStringLiteral("// m\n"));
    EXPECT_EQ(w.ListBox_Err->count(), 0);
    EXPECT_FALSE(w.RichEdit_Vertex->document()->isModified());
}

TEST_F(WorkspaceWindow, CancellingTheChooserReopensTheFirstPairOfTheSameWorkSpace) {
    h.storeSettings(ws(), "b");
    TForm_Master& w = start();
    ASSERT_EQ(selectedEntry(w), QStringLiteral("b"));
    h.prompter.directories.push_back(std::nullopt);
    w.Action_SelWorkSpace->trigger();
    EXPECT_EQ(w.cfg.CurrentDir, ws());
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(w.cfg.CurrentFileName, QStringLiteral("a"));
}

TEST(WorkspaceSelection, AWorkSpaceThatIsGoneBecomesTheRootAfterACancel) {
    MasterHarness h;
    h.storeSettings(h.path("gone/"), "");
    TForm_Master& w = h.start();
    h.prompter.directories.push_back(std::nullopt);
    h.prompter.answers.assign(8, QMessageBox::Ok);  // whatever "/" holds
    w.Action_SelWorkSpace->trigger();
    EXPECT_EQ(h.prompter.directoryRequests[0].start, QString());
    EXPECT_EQ(w.cfg.CurrentDir, QStringLiteral("/"));
}

TEST_F(WorkspaceWindow, AWorkSpaceWithoutShadersLeavesNoPairOpen) {
    QDir().mkpath(h.path("empty"));
    TForm_Master& w = start();
    h.prompter.directories.push_back(h.path("empty"));
    w.Action_SelWorkSpace->trigger();
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(w.cfg.CurrentFileName, QString());
    EXPECT_TRUE(w.RichEdit_Vertex->toPlainText().isEmpty());
    EXPECT_FALSE(w.Action_SaveShader->isEnabled());
    EXPECT_FALSE(w.TabSheet1->isEnabled());
}

TEST_F(WorkspaceWindow, AWorkSpaceThatIsGoneListsNothingAfterAnExtensionChange) {
    TForm_Master& w = start();
    ASSERT_TRUE(QDir(ws()).removeRecursively());
    EXPECT_TRUE(w.ChangeExtensions(".vs", ".fs"));
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(w.cfg.CurrentFileName, QString());
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_FALSE(w.Action_SaveShader->isEnabled());
}

}  // namespace
