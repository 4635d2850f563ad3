// SPDX-License-Identifier: MIT
#include "support/driver_stopwatch.h"

namespace tessory::bench {
namespace {

using Clock = std::chrono::steady_clock;

ArbApi realApi;
Clock::duration timeInDriver{};

struct Stopwatch {
    Clock::time_point start = Clock::now();
    ~Stopwatch() { timeInDriver += Clock::now() - start; }
};

template <auto Member, typename Pointer>
struct Timed;
template <auto Member, typename R, typename... Args>
struct Timed<Member, R (*)(Args...)> {
    static R call(Args... args) {
        const Stopwatch watch;
        return (realApi.*Member)(args...);
    }
};

#define TESSORY_TIME(api, name) api.name = &Timed<&ArbApi::name, decltype(ArbApi::name)>::call

}  // namespace

ArbApi timedEntryPoints(const ArbApi& real) {
    realApi = real;
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

Clock::duration driverTime() {
    return timeInDriver;
}

}  // namespace tessory::bench
