// SPDX-License-Identifier: MIT
#include "texts/win1252.h"

#include <gtest/gtest.h>

using namespace tessory;

TEST(Win1252, EveryByteSurvivesTheRoundTrip) {
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        all[b] = char(b);
    }
    const QString text = fromWin1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(firstUnencodableWin1252(text), -1);
    EXPECT_EQ(toWin1252(text), all);
    EXPECT_EQ(toWin1252Lossy(text), all);
}

TEST(Win1252, MapsTheHighRangeToItsCharacters) {
    EXPECT_EQ(fromWin1252("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(fromWin1252("\x9F"), QString(QChar(0x0178)));
    EXPECT_EQ(fromWin1252("\xE4\xF6\xFC\xDF"), QString::fromUtf8("äöüß"));
    for (char b : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        EXPECT_EQ(fromWin1252(QByteArray(1, b)), QString(QChar(uchar(b))));
    }
}

TEST(Win1252, RefusesCharactersOutsideTheCodePage) {
    const QString text = QStringLiteral("ok \u4E2D!");
    EXPECT_EQ(firstUnencodableWin1252(text), 3);
    EXPECT_FALSE(toWin1252(text).has_value());
    EXPECT_EQ(toWin1252Lossy(text), QByteArray("ok ?!"));
    // A C1 character that the code page replaced by a printable one has no byte of its own.
    EXPECT_FALSE(toWin1252(QString(QChar(0x80))).has_value());
}
