// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"

#include <chrono>
#include <cstdint>

namespace tessory::bench {

// The entry points of `real`, each wrapped in a stopwatch, so that a benchmark can tell the time
// inside the driver from the program's own time in one run. Its reads of the processor time cost
// more than a microsecond each; processorClockReads() says how long they took, so that a benchmark
// can take them out.
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

// The wall time the stopwatches have spent reading the processor time so far. Those reads lie
// outside driverTime(); driverProcessorTime() holds half of them, one end of each interval.
std::chrono::nanoseconds processorClockReads();

}  // namespace tessory::bench
