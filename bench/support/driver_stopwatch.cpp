// SPDX-License-Identifier: MIT
#include "support/driver_stopwatch.h"

#include <ctime>
#include <type_traits>

namespace tessory::bench {
namespace {

using Clock = std::chrono::steady_clock;

Clock::duration timeInDriver{};
std::chrono::nanoseconds processorTimeInDriver{};
Clock::duration processorReads{};
std::uint64_t calls = 0;

// The real entry points of each kind of API.
template <typename Api>
Api& realApi() {
    static Api api;
    return api;
}

// Wall, processor, wall | the call | wall, processor, wall. Reading the processor time is a
// system call of a microsecond or more, dearer still when a long call has left the caches cold, so
// the wall clock (a few nanoseconds) times those reads where they happen, and the driver's wall
// time is the call alone.
struct Stopwatch {
    Clock::time_point before = Clock::now();
    std::chrono::nanoseconds processorStart = threadProcessorTime();
    Clock::time_point start = Clock::now();
    ~Stopwatch() {
        const Clock::time_point end = Clock::now();
        const std::chrono::nanoseconds processorEnd = threadProcessorTime();
        const Clock::time_point after = Clock::now();
        timeInDriver += end - start;
        processorTimeInDriver += processorEnd - processorStart;
        processorReads += (start - before) + (after - end);
        ++calls;
    }
};

template <typename Api, auto Member, typename Pointer>
struct Timed;
template <typename Api, auto Member, typename R, typename... Args>
struct Timed<Api, Member, R (*)(Args...)> {
    static R call(Args... args) {
        const Stopwatch watch;
        return (realApi<Api>().*Member)(args...);
    }
};

#define TESSORY_TIME(api, name)                                                        \
    api.name = &Timed<std::decay_t<decltype(api)>, &std::decay_t<decltype(api)>::name, \
                      decltype(std::decay_t<decltype(api)>::name)>::call

}  // namespace

ArbApi timedEntryPoints(const ArbApi& real) {
    realApi<ArbApi>() = real;
    ArbApi api = real;
    TESSORY_TIME(api, createProgramObjectARB);
    TESSORY_TIME(api, createShaderObjectARB);
    TESSORY_TIME(api, shaderSourceARB);
    TESSORY_TIME(api, compileShaderARB);
    TESSORY_TIME(api, getObjectParameterivARB);
    TESSORY_TIME(api, getInfoLogARB);
    TESSORY_TIME(api, attachObjectARB);
    TESSORY_TIME(api, deleteObjectARB);
    TESSORY_TIME(api, linkProgramARB);
    return api;
}

CoreShaderApi timedEntryPoints(const CoreShaderApi& real) {
    realApi<CoreShaderApi>() = real;
    CoreShaderApi api = real;
    TESSORY_TIME(api, createShader);
    TESSORY_TIME(api, shaderSource);
    TESSORY_TIME(api, compileShader);
    TESSORY_TIME(api, getShaderiv);
    TESSORY_TIME(api, getShaderInfoLog);
    TESSORY_TIME(api, deleteShader);
    // The program functions a core-profile run and a built-in vertex stage use, where present.
    if (real.queriesInputs()) {
        TESSORY_TIME(api, createProgram);
        TESSORY_TIME(api, attachShader);
        TESSORY_TIME(api, linkProgram);
        TESSORY_TIME(api, getProgramiv);
        TESSORY_TIME(api, getProgramInfoLog);
        TESSORY_TIME(api, deleteProgram);
        TESSORY_TIME(api, programParameteri);
        TESSORY_TIME(api, getProgramInterfaceiv);
        TESSORY_TIME(api, getProgramResourceName);
        TESSORY_TIME(api, getProgramResourceiv);
    }
    return api;
}

Clock::duration driverTime() {
    return timeInDriver;
}

std::chrono::nanoseconds driverProcessorTime() {
    return processorTimeInDriver;
}

std::chrono::nanoseconds threadProcessorTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::uint64_t timedCalls() {
    return calls;
}

std::chrono::nanoseconds processorClockReads() {
    return processorReads;
}

}  // namespace tessory::bench
