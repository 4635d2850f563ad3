// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "editor/find_bar.h"

#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

// Lines 2 and 4 of the vertex shader use names that do not exist.
const QByteArray kVertex = "void main()\n{\n    float a = nothing;\n\n    gl_Position = none;\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

class CodeEditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/p.vert", kVertex);
        h.writeFile("ws/p.frag", kFragment);
        h.storeSettings(h.path("ws/"), "p");
    }

    MasterHarness h;
};

TEST_F(CodeEditorWindow, F8AndShiftF8StepThroughTheMessagesRoundTheList) {
    MainWindow& w = h.start();
    action(w, "Action_Compile")->trigger();
    ASSERT_EQ(errorMarkLine(w), 2);  // the first error, as after every compile
    QAction* next = action(w, "Action_NextMessage");
    QAction* previous = action(w, "Action_PreviousMessage");
    next->trigger();
    EXPECT_EQ(errorMarkPane(w), 0);
    EXPECT_EQ(errorMarkLine(w), 2);
    next->trigger();
    EXPECT_EQ(errorMarkLine(w), 4);
    EXPECT_EQ(vertexEdit(w)->textCursor().blockNumber(), 4);
    next->trigger();
    EXPECT_EQ(errorMarkLine(w), 2);
    previous->trigger();
    EXPECT_EQ(errorMarkLine(w), 4);
    // The list follows, so that a double-click and F8 agree on where the user is.
    EXPECT_TRUE(errorListBox(w)->currentItem()->text().startsWith("0:5("));
}

TEST_F(CodeEditorWindow, ZoomChangesBothPanesAndIsKeptForTheNextStart) {
    {
        MainWindow& w = h.start();
        const int size = vertexEdit(w)->font().pointSize();
        action(w, "Action_ZoomIn")->trigger();
        action(w, "Action_ZoomIn")->trigger();
        EXPECT_EQ(vertexEdit(w)->font().pointSize(), size + 2);
        EXPECT_EQ(fragmentEdit(w)->font().pointSize(), size + 2);
        // The gutter grows with the text.
        EXPECT_GT(vertexEdit(w)->gutterWidth(), 0);
        ASSERT_TRUE(h.close());
    }
    EXPECT_EQ(h.settings()->value("EditorZoom").toInt(), 2);
    MainWindow& w = h.start();
    EXPECT_EQ(fragmentEdit(w)->zoomStep(), 2);
    action(w, "Action_ZoomReset")->trigger();
    EXPECT_EQ(vertexEdit(w)->zoomStep(), 0);
    EXPECT_EQ(fragmentEdit(w)->zoomStep(), 0);
}

TEST_F(CodeEditorWindow, FindWorksInThePaneOnShowAndGoToLineMovesItsCaret) {
    MainWindow& w = h.start();
    auto* bar = part<FindBar>(w, "FindBar");
    EXPECT_FALSE(bar->isVisible());
    paneTabs(w)->setCurrentIndex(1);
    action(w, "Action_Find")->trigger();
    EXPECT_TRUE(bar->isVisible());
    bar->setSearchText(QStringLiteral("vec4"));
    action(w, "Action_FindNext")->trigger();
    EXPECT_EQ(fragmentEdit(w)->textCursor().selectedText(), QStringLiteral("vec4"));

    paneTabs(w)->setCurrentIndex(0);
    bar->setSearchText(QStringLiteral("none"));
    action(w, "Action_FindNext")->trigger();
    EXPECT_EQ(vertexEdit(w)->textCursor().blockNumber(), 4);

    action(w, "Action_GoToLine")->trigger();
    EXPECT_TRUE(bar->isGoToLineShown());
}

}  // namespace
