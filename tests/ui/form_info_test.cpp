// SPDX-License-Identifier: MIT
#include "ui/form_info.h"

#include "support/qt_printers.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tessory;

namespace {

struct Opened {
    QStringList addresses;
    std::function<void(const QString&)> recorder() {
        return [this](const QString& address) { addresses.append(address); };
    }
};

TEST(FormInfo, IsABorderlessPictureWindowWithTheFixedTexts) {
    TForm_Info box([](const QString&) {}, nullptr);
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("INFO"));
    EXPECT_EQ(box.size(), QSize(340, 281));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());

    EXPECT_EQ(box.Image1->geometry(), QRect(0, 0, 341, 281));
    EXPECT_EQ(box.Image1->pixmap().size(), QSize(341, 281));

    const struct {
        QLabel* label;
        QPoint position;
        QString text;
    } lines[] = {
        {box.Label4, {24, 138}, QStringLiteral("Für Updates und aktuelle Informationen")},
        {box.Label9, {24, 155}, QStringLiteral("besuchen Sie unsere Websites:")},
        {box.Label7, {24, 179}, QStringLiteral("Distribution und Updates:")},
    };
    for (const auto& line : lines) {
        SCOPED_TRACE(line.label->objectName().toStdString());
        EXPECT_EQ(line.label->pos(), line.position);
        EXPECT_EQ(line.label->text(), line.text);
    }
    // The link follows its caption on the same line, at 152 unless the caption needs the room.
    EXPECT_EQ(box.Label5->text(), QStringLiteral("www.brimvale.example"));
    EXPECT_EQ(box.Label5->y(), 179);
    EXPECT_GE(box.Label5->x(), 152);
    EXPECT_GT(box.Label5->x(), box.Label7->geometry().right());
    EXPECT_FALSE(box.Label2->text().isEmpty());
    EXPECT_EQ(box.Button1->text(), QStringLiteral("Ok"));
    EXPECT_EQ(box.Button1->font().family(), QStringLiteral("Tahoma"));
}

TEST(FormInfo, LabelsAreWhiteOverThePictureAndNeverCutTheirText) {
    TForm_Info box([](const QString&) {}, nullptr);
    box.show();
    for (QLabel* label : {box.Label3, box.Label2, box.Label4, box.Label9, box.Label7, box.Label5}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_EQ(label->font().pointSize(), 8);
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_LE(label->geometry().right(), box.width());
    }
    // Centred lines stay centred where the fallback font needs more room.
    EXPECT_NEAR(box.Label3->geometry().center().x(), QRect(122, 66, 111, 13).center().x(), 1);
    EXPECT_NEAR(box.Label2->geometry().center().x(), QRect(106, 95, 132, 13).center().x(), 1);
}

TEST(FormInfo, ShowsTheVersionWhenShown) {
    TForm_Info box([](const QString&) {}, nullptr);
    EXPECT_NE(box.Label3->text(), QStringLiteral("Version 1.0.1.20"));
    box.show();
    EXPECT_EQ(box.Label3->text(), QStringLiteral("Version 1.0.1.20"));
}

TEST(FormInfo, TheLinkOpensTheHomepageOnEveryClickAndTheBoxStaysOpen) {
    Opened opened;
    TForm_Info box(opened.recorder(), nullptr);
    box.show();
    EXPECT_TRUE(box.Label5->font().underline());
    EXPECT_EQ(box.Label5->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(box.Label5, Qt::LeftButton);
    QTest::mouseClick(box.Label5, Qt::LeftButton);
    EXPECT_EQ(opened.addresses, QStringList({kHomepageAddress, kHomepageAddress}));
    EXPECT_TRUE(box.isVisible());

    // Only a left click counts, and only one released over the link.
    QTest::mouseClick(box.Label5, Qt::RightButton);
    QTest::mousePress(box.Label5, Qt::LeftButton);
    QTest::mouseRelease(box.Label5, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(opened.addresses.size(), 2);
}

TEST(FormInfo, IsCentredOverItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 860, 660);
    owner.show();
    TForm_Info box([](const QString&) {}, &owner);
    box.show();
    const QPoint offset = box.frameGeometry().center() - owner.frameGeometry().center();
    // Rounding of odd sizes may move it by a pixel or two.
    EXPECT_LE(std::abs(offset.x()), 2);
    EXPECT_LE(std::abs(offset.y()), 2);
}

}  // namespace
