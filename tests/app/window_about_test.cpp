// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "ui/form_info.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;
using tessory::testing::MasterHarness;

namespace {

// Whether a browser opens or not, nothing else is shown.
TEST(MasterHelp, TheHomepageCommandAsksForTheHomepageAndShowsNothingElse) {
    for (const bool urlsOpen : {true, false}) {
        MasterHarness h;
        h.prompter.urlsOpen = urlsOpen;
        MainWindow& w = h.start();
        action(w, "Action_hp")->trigger();
        EXPECT_EQ(h.prompter.openedUrls, QList<QUrl>({QUrl(kHomepageAddress)})) << urlsOpen;
        EXPECT_TRUE(h.prompter.messages.isEmpty());
        EXPECT_EQ(h.prompter.dialogsShown, 0);
    }
}

// The first box's link asks for the homepage while the box stays open.
TEST(MasterHelp, EveryAboutCommandShowsAFreshBoxWithTheVersionAndAWorkingLink) {
    MasterHarness h;
    h.prompter.urlsOpen = false;
    MainWindow& w = h.start();
    QList<QPointer<TForm_Info>> boxes;
    for (int i = 0; i < 2; ++i) {
        h.prompter.dialogScripts.push_back([&, i](QDialog& dialog) {
            auto* box = qobject_cast<TForm_Info*>(&dialog);
            ASSERT_NE(box, nullptr);
            boxes.append(box);
            EXPECT_EQ(box->parentWidget(), &w);
            EXPECT_EQ(box->Label3->text(), QStringLiteral("Version 1.0.1.20"));
            EXPECT_EQ(box->Image1->pixmap().size(), QSize(341, 281));
            if (i == 0) {
                QTest::mouseClick(box->Label5, Qt::LeftButton);
                EXPECT_EQ(h.prompter.openedUrls, QList<QUrl>({QUrl(kHomepageAddress)}));
                EXPECT_TRUE(box->isVisible());
            }
            QTest::mouseClick(box->Button1, Qt::LeftButton);
        });
        action(w, "Action_info")->trigger();
    }
    ASSERT_EQ(boxes.size(), 2);
    // Each box is gone once its command has ended, so none is ever shown twice.
    EXPECT_TRUE(boxes[0].isNull());
    EXPECT_TRUE(boxes[1].isNull());
    EXPECT_EQ(h.prompter.dialogsShown, 2);
    EXPECT_EQ(h.prompter.openedUrls.size(), 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

}  // namespace
