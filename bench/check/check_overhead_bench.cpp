// SPDX-License-Identifier: MIT
// How much of a WorkSpace check is the checker's own work rather than the driver's: the check of
// 200 copies of the example lighting pair (and of 200 copies with an error in each, so that every
// pair has messages to read and print), with every OpenGL entry point wrapped in a stopwatch.
// Own work = the whole check as the program does it (scan, reading the files, TShaderMod,
// splitting the logs, writing the text or the JSON report) minus the time spent inside the
// driver's entry points. The context's creation, once per run of the program, is printed apart.
#include "check/check_report.h"
#include "check/workspace_check.h"
#include "compile/gl_context.h"
#include "support/bench_files.h"
#include "support/driver_stopwatch.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace tessory;
using tessory::bench::driverTime;
using tessory::bench::readExample;
using tessory::bench::writeBenchFile;

namespace {

using Clock = std::chrono::steady_clock;

// The context's entry points, each timed.
ArbApi timedApi;

const PairExtensions kExtensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
constexpr int kPairs = 200;

struct Workspace {
    QTemporaryDir dir;
    QString path() const { return dir.path() + u'/'; }
};

// 200 copies of the lighting pair; with withError, each vertex shader reads an undeclared name.
const Workspace& workspace(bool withError) {
    static std::map<bool, Workspace> made;
    if (made.contains(withError)) {
        return made[withError];
    }
    Workspace& ws = made[withError];
    QByteArray vertex = readExample("lighting.vert");
    const QByteArray fragment = readExample("lighting.frag");
    if (withError) {
        vertex.replace("gl_Position = ", "gl_Position = undefinedScale * ");
    }
    for (int i = 0; i < kPairs; ++i) {
        const QString name = QStringLiteral("lighting_%1").arg(i, 3, 10, QLatin1Char('0'));
        writeBenchFile(ws.path() + name + ".vert", vertex);
        writeBenchFile(ws.path() + name + ".frag", fragment);
    }
    return ws;
}

struct Share {
    Clock::duration total{};
    Clock::duration driver{};
};
std::map<std::string, Share> shares;

// Arguments: whether every pair has an error, whether the report is JSON.
void BM_CheckWorkspace(benchmark::State& state) {
    const bool withError = state.range(0) != 0;
    const OutputFormat format = state.range(1) != 0 ? OutputFormat::Json : OutputFormat::Text;
    const Workspace& ws = workspace(withError);
    const ArbApi& api = timedApi;
    Share& share = shares[std::string(withError ? "errors" : "clean") +
                          (format == OutputFormat::Json ? ", JSON" : ", text")];
    qsizetype messages = 0;
    for (auto _ : state) {
        QString report;
        QTextStream out(&report);
        const Clock::duration driverBefore = driverTime();
        const Clock::time_point start = Clock::now();
        const QList<WorkspaceCheck> checks{checkWorkspace(api, ws.path(), kExtensions)};
        writeReport(checks, format, DriverInfo{}, out);
        out.flush();
        share.total += Clock::now() - start;
        share.driver += driverTime() - driverBefore;
        messages = messageLines(checks).size();
        if (checks.first().pairs.size() != kPairs) {
            state.SkipWithError("not every pair was checked");
        }
    }
    state.counters["messages"] = double(messages);
    state.counters["pairs_per_s"] = benchmark::Counter(double(kPairs) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckWorkspace)
    ->ArgNames({"errors", "json"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    // As glsl-tessory-check does: every source is compiled, none taken from the cache.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    QElapsedTimer contextTimer;
    contextTimer.start();
    GlContextResult made = GlContext::create();
    const double contextMs = double(contextTimer.nsecsElapsed()) / 1e6;
    if (!made.context) {
        std::fprintf(stderr, "%s\n", made.failure.toLocal8Bit().constData());
        return 1;
    }
    timedApi = tessory::bench::timedEntryPoints(made.context->arb());
    std::printf("Driver: %s, OpenGL %s\n", made.context->renderer().toLocal8Bit().constData(),
                made.context->version().toLocal8Bit().constData());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nContext creation (once per run of the program): %.1f ms\n", contextMs);
    std::printf("Share of the check outside the driver's entry points (target: under 5 %%):\n");
    for (const auto& [name, share] : shares) {
        if (share.total.count() == 0) {
            continue;
        }
        const double own = ms(share.total - share.driver);
        std::printf("  200 pairs, %-13s total %9.1f ms, driver %9.1f ms, own %7.1f ms = %5.2f %%\n",
                    name.c_str(), ms(share.total), ms(share.driver), own,
                    100.0 * own / ms(share.total));
    }
    return 0;
}
