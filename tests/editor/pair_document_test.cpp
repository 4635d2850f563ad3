// SPDX-License-Identifier: MIT
// The open pair's files as other programs change them: reloaded when a document holds no edits,
// asked about when it does, said so when they are deleted, one question at a time.
#include "support/controller_harness.h"

#include <QDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

// The WorkSpace "ws/" with the pair a open, as another program changes its files.
class FilesOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", "line 1\nline 2\nline 3\n");
        h.writeFile("ws/a.frag", "void main() {}\n");
    }

    // Waits for the watcher to notice a change and settle; false when nothing happened.
    static bool waitFor(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 5000);
    }

    // What another program does: the file rewritten in place.
    void writeElsewhere(const QByteArray& bytes) {
        QFile file(h.path("ws/a.vert"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    EditorTexts texts = editorTexts(false);
    ControllerHarness h;
};

TEST_F(FilesOnDisk, AnUnmodifiedPaneFollowsTheFileWithTheCaretOnItsLine) {
    h.start("ws/", "a");
    QTextCursor caret(h.vertexEdit()->document()->findBlockByNumber(1));
    h.vertexEdit()->setTextCursor(caret);
    writeElsewhere("line 1\nline 2\nline 3\nappended\n");
    ASSERT_TRUE(waitFor([&] { return h.vertexEdit()->toPlainText().contains("appended"); }));
    EXPECT_EQ(h.vertexEdit()->textCursor().blockNumber(), 1);
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());

    // A save afterwards writes what the pane shows, without a question.
    QTest::keyClicks(h.vertexEdit(), "x");
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nxline 2\nline 3\nappended\n"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST_F(FilesOnDisk, EditsInThePaneAreNeverLostWithoutAQuestion) {
    h.start("ws/", "a");
    QTest::keyClicks(h.vertexEdit(), "mine ");
    h.prompter.choiceAnswers = {0};  // keep my version
    writeElsewhere("theirs\n");
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    EXPECT_EQ(h.prompter.messages[0].text, texts.changedWhileEdited.arg(h.path("ws/a.vert")));
    EXPECT_EQ(h.prompter.messages[0].choices, QStringList({texts.keepMine, texts.reloadAndLose}));
    EXPECT_TRUE(h.vertexEdit()->toPlainText().startsWith("mine line 1"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a] *"));

    // Kept: the save writes the user's version and asks nothing more.
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));

    // Reloaded: the pane shows the other program's text, unmodified.
    QTest::keyClicks(h.vertexEdit(), "again ");
    h.prompter.choiceAnswers = {1};
    writeElsewhere("theirs\n");
    ASSERT_TRUE(waitFor([&] { return h.vertexEdit()->toPlainText() == "theirs\n"; }));
    EXPECT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, ADeletedFileIsSaidAndTheNextSaveWritesItAgain) {
    h.start("ws/", "a");
    ASSERT_TRUE(QFile::remove(h.path("ws/a.vert")));
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    EXPECT_EQ(h.prompter.messages[0].text, texts.deletedOnDisk.arg(h.path("ws/a.vert")));
    EXPECT_EQ(h.vertexEdit()->toPlainText(), QStringLiteral("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a] *"));
    QTest::qWait(300);
    EXPECT_EQ(h.prompter.messages.size(), 1);

    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
    QTest::qWait(300);
    EXPECT_EQ(h.prompter.messages.size(), 1);
}

// Another program writes again while the question about its first write is open.
TEST_F(FilesOnDisk, AWriteWhileTheQuestionIsOpenIsAskedAboutOrReloaded) {
    h.start("ws/", "a");
    QTest::keyClicks(h.vertexEdit(), "mine ");
    int asked = 0;
    h.prompter.onMessage = [&](const ScriptedPrompter::Message&) {
        if (++asked == 1) {
            writeElsewhere("second\n");
            QTest::qWait(400);
        }
    };
    h.prompter.choiceAnswers = {0, 0};  // keep mine, and again for the second text
    writeElsewhere("first\n");
    ASSERT_TRUE(waitFor([&] { return asked == 2; }));
    QTest::qWait(400);
    EXPECT_EQ(asked, 2);
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));
    EXPECT_EQ(asked, 2) << "the save asks nothing: the user kept their text over the second one";

    // Reload takes what is on disk once the question is answered.
    QTest::keyClicks(h.vertexEdit(), "again ");
    asked = 0;
    h.prompter.choiceAnswers = {1};
    writeElsewhere("first\n");
    ASSERT_TRUE(waitFor([&] { return h.vertexEdit()->toPlainText() == "second\n"; }));
    QTest::qWait(400);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, SavingOverAChangedFileAsksOneQuestionOnly) {
    h.start("ws/", "a");
    QTest::keyClicks(h.vertexEdit(), "mine ");
    writeElsewhere("theirs\n");
    // The watcher notices the change while the save's question is open.
    h.prompter.onMessage = [](const ScriptedPrompter::Message&) { QTest::qWait(400); };
    h.prompter.choiceAnswers = {1};  // overwrite
    h.workspace.Action_SaveShaderExecute();
    QTest::qWait(400);
    EXPECT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, AFolderInPlaceOfTheFileReadsAsADeletedFile) {
    h.start("ws/", "a");
    ASSERT_TRUE(QFile::remove(h.path("ws/a.vert")));
    ASSERT_TRUE(QDir().mkdir(h.path("ws/a.vert")));
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    QTest::qWait(300);
    ASSERT_EQ(h.prompter.messageTexts(),
              QStringList({texts.deletedOnDisk.arg(h.path("ws/a.vert"))}));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a] *"));

    // Save cannot write it while the folder stands there, and says why.
    h.workspace.Action_SaveShaderExecute();
    ASSERT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.prompter.messages[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[1].text.contains(h.path("ws/a.vert")));
    ASSERT_TRUE(QDir().rmdir(h.path("ws/a.vert")));
    h.workspace.Action_SaveShaderExecute();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [a]"));
}

}  // namespace
