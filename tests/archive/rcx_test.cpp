// SPDX-License-Identifier: MIT
#include "archive/rcx.h"

#include "archive/print_bytes.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tessory;

namespace {

// Known answers from tests/archive/rcx_reference.py, an independent model of the cipher.
constexpr const char* kRuskTable =
    "7da6f804140797fa281fac394e4950e226838e7310426c1984d1559b651d6d9d622d4de933f40b7ba905d3f9a168"
    "0d9f096baa96e1b6e51cc988c32b4fb244171e89f721dc710e2052d8456aae1a608beffe345d0a3d7cafd756d0e7"
    "db9cf3b37647ec77b5e0f02f61e816ba648d85da4c2aee909230039812d523b438c186f5d6c88782a300403c75b0"
    "483b3611ed6e5e9a5bc753598aa772513e24d47f4affab66bdb7cfad78b9185c997ecdbb70c45f577adf3fcb4331"
    "f206eac294de818f1bc6c5cc29e4ddceb84bfb95f122a4fc25d2b1580f5a8ca0be1527f602e66367a8e3ca80792e"
    "4108749efdbfa56991eb6f5493374613d9a23201c00c3abc2c35";
constexpr const char* kZeroKeyTable =
    "a701063e1907830e3c9cf28557058d5b6e337e9065aabfb6d67d71377cca02a6c549881d0dabbd7a1fc060e54470"
    "b769174f435a9bcf2e5e51f3c213b9c34116fe554880fd8178d84e2b6ab40a631ca946fbd99ac9ea2918c17628b3"
    "4d5d1154f725b5310fa39edf6d93efdbe9148e12fa9f8b3d08e400f9ccae7f4a1e98226720108c6fe83061d1ee59"
    "c42ac85c3499955fde66fccd21a172cee10304f6d31b3f89da09a2b1a5a8baa09773d0914bbbf56896b075dd62e6"
    "871564d73a39e347f0362d241ac74cbe84d26b52779db26c35f8a4797b58ece038dc564027ebaf822c8f26c6cbed"
    "0cffb88645d53b2fadf45323e294bc32e7f192ac7442d4508a0b";

QByteArray allByteValues() {
    QByteArray bytes(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        bytes[b] = char(b);
    }
    return bytes;
}

QByteArray tableOf(const RCxState& state) {
    return QByteArray(reinterpret_cast<const char*>(state.S), 256);
}

const std::uint8_t* bytesOf(const QByteArray& text) {
    return reinterpret_cast<const std::uint8_t*>(text.constData());
}

}  // namespace

TEST(RCxKeySchedule, MatchesTheReferenceModel) {
    RCxState rusk;
    RCxKeySchedule(rusk, bytesOf("Rusk"), 4);
    EXPECT_EQ(tableOf(rusk).toHex(), kRuskTable);
    EXPECT_EQ(rusk.i, 0);
    EXPECT_EQ(rusk.j, 0);
    EXPECT_EQ(rusk.f, 50);

    const std::uint8_t zero = 0;
    RCxState zeroKey;
    RCxKeySchedule(zeroKey, &zero, 1);
    EXPECT_EQ(tableOf(zeroKey).toHex(), kZeroKeyTable);
    EXPECT_EQ(zeroKey.f, 247);
}

TEST(RCxKeySchedule, RefusesAnEmptyKey) {
    RCxState state;
    EXPECT_THROW(RCxKeySchedule(state, bytesOf("x"), 0), std::invalid_argument);
    EXPECT_THROW(RCxEncryptString("text", ""), std::invalid_argument);
    EXPECT_THROW(RCxDecryptString("text", ""), std::invalid_argument);
}

struct KnownAnswer {
    QByteArray plain;
    const char* cipherHex;
};

void PrintTo(const KnownAnswer& v, std::ostream* os) {
    PrintTo(v.plain, os);
}

class RCxEncryptStringKnownAnswer : public testing::TestWithParam<KnownAnswer> {};

TEST_P(RCxEncryptStringKnownAnswer, EnciphersAndDeciphersWithRusk) {
    const KnownAnswer& v = GetParam();
    const QByteArray cipher = RCxEncryptString(v.plain, "Rusk");
    EXPECT_EQ(cipher.toHex(), v.cipherHex);
    EXPECT_EQ(RCxDecryptString(cipher, "Rusk"), v.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, RCxEncryptStringKnownAnswer,
    testing::Values(
        KnownAnswer{"", ""}, KnownAnswer{"a", "0e"},
        KnownAnswer{"void main()", "19f8572615da990238213e"},
        KnownAnswer{allByteValues(),
                    "6f4d5943335d1cf440bad2f7cc4648031c8f9786d96aaa69c8a01234ed1d94210bf5c20face38"
                    "f85164ed7aaad93f12d22ded4c6adb4dcf52040f1351875cc888298eae8ea1a3b292b949759a2"
                    "16850f48c3b599f0b822a2d80f112f27367e443cfb338e245ee0f48ca83b7e5b7cef7946d4231"
                    "02e3fe31090a2360243b6ea929b071c0d4194408fb71ce1853d486ae40b795e82cbee3afdd0ca"
                    "7ed43a865b342918ee48f5cf4a2b3d742b65689163e32ee77c1c8ca1b7181a9b60d3bc56835bd"
                    "61b1d3ce1790bbe3734e803139b4907595991270e684551d16a692ad86e0dfebdd8ae2a1c7674"
                    "4db5f02343bfdbbdfce740aed8da5f7203ae48d18316dd2b18"}));

TEST(RCxBuffer, InPlaceMatchesSeparateBuffersInBothDirections) {
    RCxState keyed;
    RCxKeySchedule(keyed, bytesOf("Rusk"), 4);
    const QByteArray plain = allByteValues().repeated(3);
    const int n = int(plain.size());

    RCxState a = keyed;
    QByteArray separate(n, Qt::Uninitialized);
    RCxEncryptBuffer(a, bytesOf(plain), reinterpret_cast<std::uint8_t*>(separate.data()), n);
    RCxState b = keyed;
    QByteArray inPlace = plain;
    auto* bytes = reinterpret_cast<std::uint8_t*>(inPlace.data());
    RCxEncryptBuffer(b, bytes, bytes, n);
    EXPECT_EQ(inPlace, separate);

    RCxState c = keyed;
    RCxDecryptBuffer(c, bytes, bytes, n);
    EXPECT_EQ(inPlace, plain);
    EXPECT_EQ(tableOf(c), tableOf(a)) << "both directions must leave the same state";
    EXPECT_EQ(c.f, a.f);
}

TEST(RCxBuffer, RefusesANegativeCount) {
    RCxState state = RCxNewGenerator();
    std::uint8_t byte = 0;
    EXPECT_THROW(RCxEncryptBuffer(state, &byte, &byte, -1), std::invalid_argument);
    EXPECT_THROW(RCxDecryptBuffer(state, &byte, &byte, -1), std::invalid_argument);
}

TEST(RCxRandomString, FreshGeneratorsGiveTheReferenceSequence) {
    constexpr const char* kFirst32 =
        "54832a2eaff9b06ebe6a8f023e13d7be19a0550b440bcd320cb71ba94d3c6db4";
    RCxState whole = RCxNewGenerator();
    EXPECT_EQ(RCxRandomString(whole, 32).toHex(), kFirst32);
    RCxState split = RCxNewGenerator();
    QByteArray halves = RCxRandomString(split, 16);
    halves += RCxRandomString(split, 16);
    EXPECT_EQ(halves.toHex(), kFirst32);
    EXPECT_EQ(RCxRandomString(split, 0), QByteArray());
}

TEST(EncodeRCx, FirstLineOfAFreshGeneratorMatchesTheReferenceModel) {
    RCxState generator = RCxNewGenerator();
    EXPECT_EQ(EncodeRCx(generator, "gl_Position = ftransform();").toHex(),
              "3bb0f185a10f62cf35342fbc0442baecede313f20b96bb8929f18790565c1abf0f506e5738134575ff"
              "ed15");
}

class RCxLineRoundTrip : public testing::TestWithParam<QByteArray> {};

TEST_P(RCxLineRoundTrip, DecodeGivesTheLineBack) {
    RCxState generator = RCxNewGenerator();
    const QByteArray enciphered = EncodeRCx(generator, GetParam());
    EXPECT_EQ(enciphered.size(), GetParam().size() + 16);
    EXPECT_EQ(DecodeRCx(enciphered), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lines, RCxLineRoundTrip,
                         testing::Values(QByteArray(), QByteArray("x"), QByteArray(255, 'q'),
                                         allByteValues()));

TEST(DecodeRCx, TextsNoLongerThanThePrefixGiveAnEmptyLine) {
    for (qsizetype n : {0, 1, 15, 16}) {
        EXPECT_EQ(DecodeRCx(QByteArray(n, 'z')), QByteArray()) << n;
    }
}
