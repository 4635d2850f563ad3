// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "texts/ui_texts.h"
#include "ui/form_progress.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QByteArray kBrokenFragment = "void main()\n{\n    gl_FragColor = broken;\n}\n";

// A WorkSpace of the pairs p1 ... pN, all clean, with `open` open.
class TestAll : public ::testing::Test {
protected:
    MainWindow& start(int pairs, const QString& open) {
        for (int i = 1; i <= pairs; ++i) {
            h.writeFile(QStringLiteral("ws/p%1.vert").arg(i), kVertex);
            h.writeFile(QStringLiteral("ws/p%1.frag").arg(i), kFragment);
        }
        h.storeSettings(h.path("ws/"), open);
        return h.start();
    }

    MasterHarness h;
};

TEST_F(TestAll, ACleanWorkSpaceReopensTheSelectedPairWithItsOkLines) {
    MainWindow& w = start(5, "p2");
    QTest::keyClicks(vertexEdit(w), "// unsaved");
    h.prompter.answers.push_back(QMessageBox::No);
    action(w, "Action_TestAll")->trigger();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p2"));
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("p2"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kVertex));
    EXPECT_FALSE(vertexEdit(w)->document()->isModified());
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [p2]"));
}

TEST_F(TestAll, StopsAtTheFirstReportedPairAndOpensItAtItsError) {
    MainWindow& w = start(5, "p1");
    h.writeFile("ws/p3.frag", kBrokenFragment);
    // Were pair 4 reached, its missing file would be reported.
    QFile::remove(h.path("ws/p4.frag"));
    action(w, "Action_TestAll")->trigger();
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p3"));
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("p3"));
    ASSERT_FALSE(errorEntries(w).isEmpty());
    EXPECT_EQ(errorEntries(w).first(), QStringLiteral("VertexShader: OK"));
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(fragmentEdit(w)->textCursor().block().blockNumber(), 2);
    EXPECT_EQ(errorMarkLine(w), 2);
}

// The driver stops reading at a NUL byte and would call the text before it clean.
TEST_F(TestAll, APairFileWithANulByteIsReportedAtItsLineNotOk) {
    MainWindow& w = start(3, "p1");
    h.writeFile("ws/p2.frag", kFragment + QByteArray("\0\n#error this must fail\n", 24));
    action(w, "Action_TestAll")->trigger();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p2"));
    const QString nul = languageTexts(LanguageEnglish)->extra.nulByte;
    EXPECT_EQ(errorEntries(w), QStringList({nul.arg("FragmentShader").arg(5)}));
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 4);

    // F5 on the panes says the same; the other pane's NUL is listed too.
    QTextCursor start(vertexEdit(w)->document());
    start.insertText(QStringLiteral("// a\n") + QChar(0));
    action(w, "Action_Compile")->trigger();
    EXPECT_EQ(errorEntries(w),
              QStringList({nul.arg("VertexShader").arg(2), nul.arg("FragmentShader").arg(5)}));
    EXPECT_EQ(errorMarkPane(w), 0);
    EXPECT_EQ(errorMarkLine(w), 1);
}

TEST_F(TestAll, APairWhoseFileWentMissingIsReportedByNameAndSkipped) {
    MainWindow& w = start(3, "p1");
    QFile::remove(h.path("ws/p2.frag"));
    QFile::remove(h.path("ws/p3.vert"));
    action(w, "Action_TestAll")->trigger();
    EXPECT_EQ(h.prompter.messageTexts(), QStringList({h.messages()[MsgCouldNotLoadFragment],
                                                      h.messages()[MsgCouldNotLoadVertex]}));
    // In front of the progress window, which stays on top of everything else.
    for (const auto& shown : h.prompter.messages) {
        EXPECT_EQ(shown.ownerName, QStringLiteral("Form_Progress"));
    }
    EXPECT_EQ(selectedEntry(w), QStringLiteral("p1"));
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
}

TEST_F(TestAll, OnePairOnlyAndTheCommandsComeBackAfterwards) {
    MainWindow& w = start(1, "p1");
    action(w, "Action_TestAll")->trigger();
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.findChild<TForm_Progress*>(), nullptr);
    for (QAction* a : {action(w, "Action_TestAll"), action(w, "Action_Compile"),
                       action(w, "Action_SelWorkSpace"), action(w, "Action_NES"),
                       action(w, "Action_Config"), action(w, "Action_SaveShader")}) {
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_TRUE(pairListBox(w)->isEnabled());
    EXPECT_TRUE(part<QWidget>(w, "TabSheet1")->isEnabled());
}

TEST_F(TestAll, CommandsThatChangeThePairAreOffWhileItRuns) {
    MainWindow& w = start(2, "p1");
    QStringList enabledDuringRun;
    bool listEnabled = true;
    // The first message box comes up during the run, for the pair whose file is gone.
    QFile::remove(h.path("ws/p2.vert"));
    h.prompter.onMessage = [&](const auto&) {
        listEnabled = pairListBox(w)->isEnabled();
        for (QAction* a : w.findChildren<QAction*>()) {
            if (a->isEnabled()) {
                enabledDuringRun.append(a->objectName());
            }
        }
    };
    action(w, "Action_TestAll")->trigger();
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_FALSE(listEnabled);
    for (const char* name : {"Action_TestAll", "Action_Compile", "Action_SelWorkSpace",
                             "Action_NES", "Action_NewShader", "Action_DelS", "Action_Rename",
                             "Action_SaveShader", "Action_Config"}) {
        EXPECT_FALSE(enabledDuringRun.contains(name)) << name;
    }
    EXPECT_TRUE(action(w, "Action_TestAll")->isEnabled());
}

}  // namespace
