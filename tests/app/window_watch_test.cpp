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
