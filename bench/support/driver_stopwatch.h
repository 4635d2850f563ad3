// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"

#include <chrono>

namespace tessory::bench {

// The entry points of `real`, each wrapped in a stopwatch, so that a benchmark can tell the time
// inside the driver from the program's own time in one run. The two clock reads of a call count
// as driver time, which makes the program's share a little smaller than the truth (about 40 ns a
// call, 13 calls a pair).
ArbApi timedEntryPoints(const ArbApi& real);
CoreShaderApi timedEntryPoints(const CoreShaderApi& real);

// The time spent inside the wrapped entry points so far.
std::chrono::steady_clock::duration driverTime();

// The same in processor time of the calling thread, which other programs on a busy machine do not
// inflate as they do the wall time.
std::chrono::nanoseconds driverProcessorTime();
std::chrono::nanoseconds threadProcessorTime();

}  // namespace tessory::bench
