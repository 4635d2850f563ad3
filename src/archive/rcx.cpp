// SPDX-License-Identifier: MIT
#include "archive/rcx.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace tessory {

namespace {

// Chosen once for this program; changing it changes every archive the program writes.
constexpr std::uint8_t kGeneratorSeed[16] = {'G', 'L', 'S', 'L', ' ', 'T', 'e', 's',
                                             's', 'o', 'r', 'y', ' ', 'R', 'C', 'x'};

constexpr QByteArrayView kLineKey("Rusk", 4);

// Leaves no key material behind, whichever way the string operation ends.
class StateWiper {
public:
    explicit StateWiper(RCxState& state) : state_(state) {}
    ~StateWiper() { wipe(&state_, sizeof state_); }
    StateWiper(const StateWiper&) = delete;
    StateWiper& operator=(const StateWiper&) = delete;

    static void wipe(void* bytes, std::size_t n) {
        // volatile so that the compiler cannot drop a store to memory that is never read again
        volatile std::uint8_t* p = static_cast<volatile std::uint8_t*>(bytes);
        for (std::size_t k = 0; k < n; ++k) {
            p[k] = 0;
        }
    }

private:
    RCxState& state_;
};

// The step shared by both directions; returns the key byte. S[i] is read back after the write
// to S[j] because the two coincide when i == j.
inline std::uint8_t cipherStep(std::uint8_t* S, std::uint8_t& i, std::uint8_t& j, std::uint8_t f) {
    ++i;
    const std::uint8_t a = S[i];
    j = std::uint8_t(j + a);
    S[i] = S[j] ^ f;
    S[j] = std::uint8_t(a - f);
    return S[std::uint8_t(a + S[i])];
}

void checkCount(std::int32_t n) {
    if (n < 0) {
        throw std::invalid_argument("RCx: negative byte count");
    }
}

std::int32_t checkedTextLength(QByteArrayView text) {
    if (text.size() > std::numeric_limits<std::int32_t>::max()) {
        throw std::length_error("RCx: text too long");
    }
    return std::int32_t(text.size());
}

template <typename Buffer>
QByteArray transformString(QByteArrayView text, QByteArrayView key, Buffer buffer) {
    RCxState state;
    StateWiper wiper(state);
    const std::int32_t n = checkedTextLength(text);
    if (key.size() > std::numeric_limits<std::int32_t>::max()) {
        throw std::length_error("RCx: key too long");
    }
    RCxKeySchedule(state, reinterpret_cast<const std::uint8_t*>(key.data()),
                   std::int32_t(key.size()));
    QByteArray result(n, Qt::Uninitialized);
    buffer(state, reinterpret_cast<const std::uint8_t*>(text.data()),
           reinterpret_cast<std::uint8_t*>(result.data()), n);
    return result;
}

}  // namespace

void RCxKeySchedule(RCxState& state, const std::uint8_t* key, std::int32_t keyLength) {
    if (keyLength < 1) {
        throw std::invalid_argument("RCx: key must not be empty");
    }
    std::uint8_t T[256];
    std::uint32_t h = 0;
    for (int c = 0; c < 256; ++c) {
        state.S[c] = std::uint8_t(c);
        const std::uint8_t t = key[c % keyLength] ^ std::uint8_t(h);
        T[c] = t;
        h = (h + 257u * t) % 2147483647u + 1u;
    }
    state.i = 0;
    state.j = 0;
    state.f = std::uint8_t(h >> 8);
    std::uint8_t x = std::uint8_t(h);
    for (int c = 0; c < 256; ++c) {
        x = std::uint8_t(x + state.S[c] + T[c]);
        std::swap(state.S[c], state.S[x]);
    }
    StateWiper::wipe(T, sizeof T);
}

// i, j and f stay in locals: input and output may overlap S, never the indices.
void RCxEncryptBuffer(RCxState& state, const std::uint8_t* input, std::uint8_t* output,
                      std::int32_t n) {
    checkCount(n);
    std::uint8_t i = state.i;
    std::uint8_t j = state.j;
    std::uint8_t f = state.f;
    for (std::int32_t k = 0; k < n; ++k) {
        const std::uint8_t key = cipherStep(state.S, i, j, f);
        const std::uint8_t p = input[k];
        output[k] = key ^ p;
        f ^= p;
    }
    state.i = i;
    state.j = j;
    state.f = f;
}

void RCxDecryptBuffer(RCxState& state, const std::uint8_t* input, std::uint8_t* output,
                      std::int32_t n) {
    checkCount(n);
    std::uint8_t i = state.i;
    std::uint8_t j = state.j;
    std::uint8_t f = state.f;
    for (std::int32_t k = 0; k < n; ++k) {
        const std::uint8_t key = cipherStep(state.S, i, j, f);
        const std::uint8_t p = key ^ input[k];
        output[k] = p;
        f ^= p;
    }
    state.i = i;
    state.j = j;
    state.f = f;
}

QByteArray RCxEncryptString(QByteArrayView text, QByteArrayView key) {
    return transformString(text, key, RCxEncryptBuffer);
}

QByteArray RCxDecryptString(QByteArrayView text, QByteArrayView key) {
    return transformString(text, key, RCxDecryptBuffer);
}

RCxState RCxNewGenerator() {
    RCxState generator;
    RCxKeySchedule(generator, kGeneratorSeed, sizeof kGeneratorSeed);
    return generator;
}

QByteArray RCxRandomString(RCxState& generator, qsizetype n) {
    if (n < 0) {
        throw std::invalid_argument("RCx: negative length");
    }
    QByteArray result(n, Qt::Uninitialized);
    for (qsizetype c = 0; c < n; ++c) {
        RCxEncryptBuffer(generator, generator.S, generator.S, 256);
        result[c] = char(generator.S[0]);
    }
    return result;
}

QByteArray EncodeRCx(RCxState& generator, QByteArrayView line) {
    QByteArray plain = RCxRandomString(generator, kRCxPrefixLength);
    plain.append(line);
    return RCxEncryptString(plain, kLineKey);
}

QByteArray DecodeRCx(QByteArrayView enciphered) {
    const QByteArray text = RCxDecryptString(enciphered, kLineKey);
    return text.size() <= kRCxPrefixLength ? QByteArray() : text.sliced(kRCxPrefixLength);
}

}  // namespace tessory
