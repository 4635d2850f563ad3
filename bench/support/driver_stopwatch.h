// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"

#include <chrono>
#include <cstdint>

namespace tessory::bench {

// The entry points of `real`, each wrapped in a stopwatch, so that a benchmark can tell the time
// inside the driver from the program's own time in one run. The stopwatch's own clock reads fall
// partly inside and partly outside the interval it times; stopwatchCost() says how much of each,
// so that a benchmark can take them out of both sides.
ArbApi timedEntryPoints(const ArbApi& real);
CoreShaderApi timedEntryPoints(const CoreShaderApi& real);

// The time spent inside the wrapped entry points so far.
std::chrono::steady_clock::duration driverTime();

// The same in processor time of the calling thread, which other programs on a busy machine do not
// inflate as they do the wall time.
std::chrono::nanoseconds driverProcessorTime();
std::chrono::nanoseconds threadProcessorTime();

// The number of timed calls so far.
std::uint64_t timedCalls();

// What one timed call costs beyond the call itself, measured on calls that do nothing: the part
// counted as driver time and the part that falls outside, in wall and in processor time.
struct StopwatchCost {
    std::chrono::nanoseconds inside{};
    std::chrono::nanoseconds outside{};
    std::chrono::nanoseconds processorInside{};
    std::chrono::nanoseconds processorOutside{};
};
StopwatchCost stopwatchCost();

}  // namespace tessory::bench
