#include "support/master_harness.h"

#include "texts/form_info.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

using namespace tessory;
using tessory::testing::MasterHarness;

namespace {

TEST(MasterHelp, TheHomepageCommandAsksForTheHomepage) {
    MasterHarness h;
    TForm_Master& w = h.start();
    w.Action_hp->trigger();
    EXPECT_EQ(h.prompter.openedUrls, QList<QUrl>({QUrl(kHomepageAddress)}));
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

TEST(MasterHelp, NothingIsShownWhenNoBrowserCanOpenTheHomepage) {
    MasterHarness h;
    h.prompter.urlsOpen = false;
    TForm_Master& w = h.start();
    w.Action_hp->trigger();
    w.OpenURL(QStringLiteral("https://other.example/"));
    EXPECT_EQ(h.prompter.openedUrls.size(), 2);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_EQ(h.prompter.dialogsShown, 0);
}

TEST(MasterHelp, EveryAboutCommandShowsAFreshBoxWithTheVersion) {
    MasterHarness h;
    TForm_Master& w = h.start();
    QList<QPointer<TForm_Info>> boxes;
    for (int i = 0; i < 2; ++i) {
        h.prompter.dialogScripts.push_back([&](QDialog& dialog) {
            auto* box = qobject_cast<TForm_Info*>(&dialog);
            ASSERT_NE(box, nullptr);
            boxes.append(box);
            EXPECT_EQ(box->parentWidget(), &w);
            EXPECT_EQ(box->Label3->text(), QStringLiteral("Version 1.0.1.20"));
            EXPECT_EQ(box->Image1->pixmap().size(), QSize(341, 281));
            QTest::mouseClick(box->Button1, Qt::LeftButton);
        });
        w.Action_info->trigger();
    }
    ASSERT_EQ(boxes.size(), 2);
    // Each box is gone once its command has ended, so none is ever shown twice.
    EXPECT_TRUE(boxes[0].isNull());
    EXPECT_TRUE(boxes[1].isNull());
    EXPECT_EQ(h.prompter.dialogsShown, 2);
    EXPECT_TRUE(h.prompter.openedUrls.isEmpty());
}

TEST(MasterHelp, TheAboutBoxLinkOpensTheHomepageWhileTheBoxStaysOpen) {
    MasterHarness h;
    h.prompter.urlsOpen = false;
    TForm_Master& w = h.start();
    h.prompter.dialogScripts.push_back([&](QDialog& dialog) {
        auto* box = qobject_cast<TForm_Info*>(&dialog);
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box->Label5, Qt::LeftButton);
        EXPECT_EQ(h.prompter.openedUrls, QList<QUrl>({QUrl(kHomepageAddress)}));
        EXPECT_TRUE(box->isVisible());
        QTest::mouseClick(box->Label5, Qt::LeftButton);
        EXPECT_EQ(h.prompter.openedUrls.size(), 2);
        QTest::mouseClick(box->Button1, Qt::LeftButton);
    });
    w.Action_info->trigger();
    EXPECT_EQ(h.prompter.dialogsShown, 1);
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

}  // namespace
