// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/editor_texts.h"

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
    TForm_Master& w = h.start();
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
    TForm_Master& w = h.start();
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
    TForm_Master& w = h.start();
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

TEST_F(FilesOnDisk, CtrlSSavesAndClearsTheModifiedMark) {
    TForm_Master& w = h.start();
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
    TForm_Master& w = h.start();
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
