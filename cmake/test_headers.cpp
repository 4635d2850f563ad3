// SPDX-License-Identifier: MIT
// The library that owns the tests' precompiled header needs one source file of its own.
#include "test_headers.h"
