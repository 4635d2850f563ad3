// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace tessory {

// The RCx stream cipher: a substitution table, two indices and a feedback byte that takes the
// plaintext in both directions. All byte arithmetic wraps modulo 256.
struct RCxState {
    std::uint8_t S[256];
    std::uint8_t i;
    std::uint8_t j;
    std::uint8_t f;
};

// Keys the state from keyLength bytes of key. Throws std::invalid_argument when keyLength < 1.
void RCxKeySchedule(RCxState& state, const std::uint8_t* key, std::int32_t keyLength);

// n bytes from input to output. Input and output may be the same bytes, or lie inside the
// state's own table S: each input byte is read after the cipher step of its own position.
// Throws std::invalid_argument when n < 0.
void RCxEncryptBuffer(RCxState& state, const std::uint8_t* input, std::uint8_t* output,
                      std::int32_t n);
void RCxDecryptBuffer(RCxState& state, const std::uint8_t* input, std::uint8_t* output,
                      std::int32_t n);

// The text enciphered (deciphered) from a state freshly keyed with key; same length as text. The
// state is wiped before returning, also when the operation throws (an empty key, a text longer
// than 2^31 - 1 bytes).
QByteArray RCxEncryptString(QByteArrayView text, QByteArrayView key);
QByteArray RCxDecryptString(QByteArrayView text, QByteArrayView key);

// A generator state keyed with the program's constant seed: every fresh generator yields the same
// sequence, so archives written first after a start are identical.
RCxState RCxNewGenerator();

// n pseudo-random characters (n >= 0, else std::invalid_argument); advances the generator by n
// passes over its own table.
QByteArray RCxRandomString(RCxState& generator, qsizetype n);

// A line enciphered behind a 16-character random prefix with the fixed key "Rusk"; 16 bytes
// longer than line.
QByteArray EncodeRCx(RCxState& generator, QByteArrayView line);

// The line back from EncodeRCx; a text shorter than the prefix gives an empty line.
QByteArray DecodeRCx(QByteArrayView enciphered);

// The length of the random prefix EncodeRCx puts before every line.
inline constexpr qsizetype kRCxPrefixLength = 16;

}  // namespace tessory
