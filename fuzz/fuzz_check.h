// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the code under test that does not hold for this input: names it and aborts, so
// that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                               \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, \
                         #condition);                                                       \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)

#define FUZZ_FAIL(what)                                                                        \
    do {                                                                                       \
        std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, what); \
        std::abort();                                                                          \
    } while (false)
