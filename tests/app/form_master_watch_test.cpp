// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/editor_texts.h"

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
        h.storeSettings(h.path("ws/"), "a");
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
    MasterHarness h;
};

TEST_F(FilesOnDisk, AnUnmodifiedPaneFollowsTheFileWithTheCaretOnItsLine) {
    MainWindow& w = h.start();
    QTextCursor caret(vertexEdit(w)->document()->findBlockByNumber(1));
    vertexEdit(w)->setTextCursor(caret);
    writeElsewhere("line 1\nline 2\nline 3\nappended\n");
    ASSERT_TRUE(waitFor([&] { return vertexEdit(w)->toPlainText().contains("appended"); }));
    EXPECT_EQ(vertexEdit(w)->textCursor().blockNumber(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());

    // A save afterwards writes what the pane shows, without a question.
    QTest::keyClicks(vertexEdit(w), "x");
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nxline 2\nline 3\nappended\n"));
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST_F(FilesOnDisk, EditsInThePaneAreNeverLostWithoutAQuestion) {
    MainWindow& w = h.start();
    QTest::keyClicks(vertexEdit(w), "mine ");
    h.prompter.choiceAnswers = {0};  // keep my version
    writeElsewhere("theirs\n");
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    EXPECT_EQ(h.prompter.messages[0].text, texts.changedWhileEdited.arg(h.path("ws/a.vert")));
    EXPECT_EQ(h.prompter.messages[0].choices, QStringList({texts.keepMine, texts.reloadAndLose}));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().startsWith("mine line 1"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));

    // Kept: the save writes the user's version and asks nothing more.
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));

    // Reloaded: the pane shows the other program's text, unmodified.
    QTest::keyClicks(vertexEdit(w), "again ");
    h.prompter.choiceAnswers = {1};
    writeElsewhere("theirs\n");
    ASSERT_TRUE(waitFor([&] { return vertexEdit(w)->toPlainText() == "theirs\n"; }));
    EXPECT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, ADeletedFileIsSaidAndTheNextSaveWritesItAgain) {
    MainWindow& w = h.start();
    ASSERT_TRUE(QFile::remove(h.path("ws/a.vert")));
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    EXPECT_EQ(h.prompter.messages[0].text, texts.deletedOnDisk.arg(h.path("ws/a.vert")));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    QTest::qWait(300);
    EXPECT_EQ(h.prompter.messages.size(), 1);

    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    QTest::qWait(300);
    EXPECT_EQ(h.prompter.messages.size(), 1);
}

// Another program writes again while the question about its first write is open.
TEST_F(FilesOnDisk, AWriteWhileTheQuestionIsOpenIsAskedAboutOrReloaded) {
    MainWindow& w = h.start();
    QTest::keyClicks(vertexEdit(w), "mine ");
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
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));
    EXPECT_EQ(asked, 2) << "the save asks nothing: the user kept their text over the second one";

    // Reload takes what is on disk once the question is answered.
    QTest::keyClicks(vertexEdit(w), "again ");
    asked = 0;
    h.prompter.choiceAnswers = {1};
    writeElsewhere("first\n");
    ASSERT_TRUE(waitFor([&] { return vertexEdit(w)->toPlainText() == "second\n"; }));
    QTest::qWait(400);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, SavingOverAChangedFileAsksOneQuestionOnly) {
    MainWindow& w = h.start();
    QTest::keyClicks(vertexEdit(w), "mine ");
    writeElsewhere("theirs\n");
    // The watcher notices the change while the save's question is open.
    h.prompter.onMessage = [](const ScriptedPrompter::Message&) { QTest::qWait(400); };
    h.prompter.choiceAnswers = {1};  // overwrite
    action(w, "Action_SaveShader")->trigger();
    QTest::qWait(400);
    EXPECT_EQ(h.prompter.messages.size(), 1);
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("mine line 1\nline 2\nline 3\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, AFolderInPlaceOfTheFileReadsAsADeletedFile) {
    MainWindow& w = h.start();
    ASSERT_TRUE(QFile::remove(h.path("ws/a.vert")));
    ASSERT_TRUE(QDir().mkdir(h.path("ws/a.vert")));
    ASSERT_TRUE(waitFor([&] { return !h.prompter.messages.isEmpty(); }));
    QTest::qWait(300);
    ASSERT_EQ(h.prompter.messageTexts(),
              QStringList({texts.deletedOnDisk.arg(h.path("ws/a.vert"))}));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));

    // Save cannot write it while the folder stands there, and says why.
    action(w, "Action_SaveShader")->trigger();
    ASSERT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.prompter.messages[1].icon, QMessageBox::Critical);
    EXPECT_TRUE(h.prompter.messages[1].text.contains(h.path("ws/a.vert")));
    ASSERT_TRUE(QDir().rmdir(h.path("ws/a.vert")));
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("line 1\nline 2\nline 3\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
}

TEST_F(FilesOnDisk, CtrlSSavesAndClearsTheModifiedMark) {
    MainWindow& w = h.start();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    vertexEdit(w)->setFocus();
    QTest::keyClicks(vertexEdit(w), "// ");
    ASSERT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    QTest::keyClick(vertexEdit(w), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("// line 1\nline 2\nline 3\n"));
    QTest::qWait(300);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST(StandardKeys, TheCommandsHaveTheKeysOfOtherCodeEditors) {
    MasterHarness h;
    MainWindow& w = h.start();
    const std::pair<const char*, QKeySequence> keys[] = {
        {"Action_SaveShader", QKeySequence(QStringLiteral("Ctrl+S"))},
        {"Action_SelWorkSpace", QKeySequence(QStringLiteral("Ctrl+O"))},
        {"Action_NewShader", QKeySequence(QStringLiteral("Ctrl+N"))},
        {"Action_Exit", QKeySequence(QStringLiteral("Ctrl+Q"))},
        {"Action_Compile", QKeySequence(QStringLiteral("F5"))},
        {"Action_TestAll", QKeySequence(QStringLiteral("Ctrl+F5"))},
        {"Action_NextMessage", QKeySequence(QStringLiteral("F8"))},
        {"Action_PreviousMessage", QKeySequence(QStringLiteral("Shift+F8"))},
    };
    for (const auto& [name, key] : keys) {
        EXPECT_EQ(action(w, name)->shortcut(), key) << name;
    }
}

}  // namespace
