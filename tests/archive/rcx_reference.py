#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Independent RCx model that produced the known-answer vectors pinned in rcx_test.cpp.

Run it by hand after a deliberate change of the cipher; the tests never call it.
"""


class RCx:
    def __init__(self, key):
        h = 0
        t = []
        self.s = list(range(256))
        for c in range(256):
            b = key[c % len(key)] ^ (h % 256)
            t.append(b)
            h = ((h + 257 * b) % 2147483647) + 1
        self.i = 0
        self.j = 0
        self.f = (h >> 8) % 256
        x = h % 256
        for c in range(256):
            x = (x + self.s[c] + t[c]) % 256
            self.s[c], self.s[x] = self.s[x], self.s[c]

    def _step(self):
        s = self.s
        self.i = (self.i + 1) % 256
        a = s[self.i]
        self.j = (self.j + a) % 256
        s[self.i] = s[self.j] ^ self.f
        s[self.j] = (a - self.f) % 256
        return s[(a + s[self.i]) % 256]

    def encrypt(self, data):
        out = []
        for p in data:
            k = self._step()
            out.append(k ^ p)
            self.f ^= p
        return bytes(out)

    def random_char(self):
        # The table enciphers itself in place: byte k is read after the step of position k.
        for k in range(256):
            key = self._step()
            p = self.s[k]
            self.s[k] = key ^ p
            self.f ^= p
        return self.s[0]


def state_hex(st):
    return bytes(st.s).hex(), st.i, st.j, st.f


if __name__ == "__main__":
    rusk = RCx(b"Rusk")
    print("Rusk S:", bytes(rusk.s).hex())
    print("Rusk i j f:", rusk.i, rusk.j, rusk.f)
    for text in [b"", b"a", b"void main()", bytes(range(256))]:
        print("encrypt", text[:16], "->", RCx(b"Rusk").encrypt(text).hex())
    key1 = RCx(b"\x00")
    print("key 00 S:", bytes(key1.s).hex(), key1.i, key1.j, key1.f)
    gen = RCx(b"GLSL Tessory RCx")
    print("generator 32 chars:", bytes(gen.random_char() for _ in range(32)).hex())
    gen = RCx(b"GLSL Tessory RCx")
    prefix = bytes(gen.random_char() for _ in range(16))
    print("first EncodeRCx('gl_Position = ftransform();'):",
          RCx(b"Rusk").encrypt(prefix + b"gl_Position = ftransform();").hex())
