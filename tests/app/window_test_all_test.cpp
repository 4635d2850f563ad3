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
