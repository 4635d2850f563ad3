// SPDX-License-Identifier: MIT
// How much of a WorkSpace check is the checker's own work rather than the driver's: the check of
// 200 copies of the example lighting pair (and of 200 copies with an error in each, so that every
// pair has messages to read and print), and of 1,000 files of all six stages without partners
// (bench/check/stages), with every OpenGL entry point wrapped in a stopwatch.
// Own work = the whole check as the program does it (scan, reading the files, compiling,
// splitting the logs, writing the text or the JSON report) minus the time spent inside the
// driver's entry points. The stopwatches' reads of the processor time, which the program without
// them does not make, are timed where they happen and taken out of both. The context's creation,
// once per run of the program, is printed apart.
#include "check/check_program.h"
#include "check/check_report.h"
#include "check/workspace_check.h"
#include "compile/gl_context.h"
#include "compile/include_resolver.h"
#include "compile/program_engine.h"
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace tessory;
using tessory::bench::driverProcessorTime;
using tessory::bench::driverTime;
using tessory::bench::processorClockReads;
using tessory::bench::readExample;
using tessory::bench::threadProcessorTime;
using tessory::bench::timedCalls;
using tessory::bench::writeBenchFile;

namespace {

using Clock = std::chrono::steady_clock;

// The one context, whose entry points are each timed.
struct TimedContext : GlContextSource {
    std::unique_ptr<GlContext> context;
    const GlContext* current(GlProfile profile, QString& why) override {
        why = QStringLiteral("only the compatibility profile is timed");
        return profile == GlProfile::Compatibility ? context.get() : nullptr;
    }
} timedContext;

const PairExtensions kExtensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
constexpr int kPairs = 200;
constexpr int kFiles = 1000;

enum Kind { kCleanPairs, kPairsWithErrors, kMixedFiles };
const char* const kKindNames[] = {"200 pairs, clean", "200 pairs, errors", "1000 files, mixed"};

QByteArray readStage(const char* extension) {
    QFile file(QStringLiteral(TESSORY_BENCH_STAGES_DIR "/sample.") +
               QString::fromLatin1(extension));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the stage sample %s", extension);
    }
    return file.readAll();
}

struct Workspace {
    QTemporaryDir dir;
    QString path() const { return dir.path() + u'/'; }
};

// 200 copies of the lighting pair, with an undeclared name in each vertex shader for
// kPairsWithErrors; or 1,000 files of the six stages in turn, none with a partner.
const Workspace& workspace(Kind kind) {
    static std::map<Kind, Workspace> made;
    if (made.contains(kind)) {
        return made[kind];
    }
    Workspace& ws = made[kind];
    QByteArray vertex = readExample("lighting.vert");
    const QByteArray fragment = readExample("lighting.frag");
    if (kind == kMixedFiles) {
        const std::pair<const char*, QByteArray> stages[] = {{"vert", vertex},
                                                             {"frag", fragment},
                                                             {"geom", readStage("geom")},
                                                             {"tesc", readStage("tesc")},
                                                             {"tese", readStage("tese")},
                                                             {"comp", readStage("comp")}};
        for (int i = 0; i < kFiles; ++i) {
            const auto& [extension, source] = stages[i % 6];
            writeBenchFile(ws.path() +
                               QStringLiteral("shader_%1.").arg(i, 4, 10, QLatin1Char('0')) +
                               QString::fromLatin1(extension),
                           source);
        }
        return ws;
    }
    if (kind == kPairsWithErrors) {
        vertex.replace("gl_Position = ", "gl_Position = undefinedScale * ");
    }
    for (int i = 0; i < kPairs; ++i) {
        const QString name = QStringLiteral("lighting_%1").arg(i, 3, 10, QLatin1Char('0'));
        writeBenchFile(ws.path() + name + ".vert", vertex);
        writeBenchFile(ws.path() + name + ".frag", fragment);
    }
    return ws;
}

// The checker's steps on one thread, as a run with -j 1 takes them, without the threads' hand-out.
WorkspaceCheck checkInTurn(const CompileApis& gl, const QString& directory) {
    WorkspaceCheck check = planWorkspace(directory, kExtensions);
    ReadAheadLimit limit;
    readAhead(check, limit);
    for (PairCheck& pair : check.pairs) {
        takeOutcome(pair, compilePair(gl, pair));
    }
    for (FileCheck& file : check.files) {
        takeOutcome(file, compileFile(gl, file));
    }
    return check;
}

struct Share {
    Clock::duration total{};
    Clock::duration driver{};
    std::chrono::nanoseconds processorTotal{};
    std::chrono::nanoseconds processorDriver{};
    std::chrono::nanoseconds clockReads{};
    std::uint64_t calls = 0;
    std::uint64_t units = 0;  // pairs or files checked
};
std::map<std::string, Share> shares;

// Arguments: the WorkSpace (a Kind), whether the report is JSON.
void BM_CheckWorkspace(benchmark::State& state) {
    const Kind kind = Kind(state.range(0));
    const OutputFormat format = state.range(1) != 0 ? OutputFormat::Json : OutputFormat::Text;
    const Workspace& ws = workspace(kind);
    const FileIncludeResolver files;
    const CompileEngine engine(files);
    const CompileApis api{engine, timedContext};
    Share& share = shares[std::string(kKindNames[kind]) +
                          (format == OutputFormat::Json ? ", JSON" : ", text")];
    qsizetype messages = 0;
    for (auto _ : state) {
        QString report;
        QTextStream out(&report);
        const Clock::duration driverBefore = driverTime();
        const std::chrono::nanoseconds processorDriverBefore = driverProcessorTime();
        const std::uint64_t callsBefore = timedCalls();
        const std::chrono::nanoseconds clockReadsBefore = processorClockReads();
        const std::chrono::nanoseconds processorStart = threadProcessorTime();
        const Clock::time_point start = Clock::now();
        const CheckResults checks{checkInTurn(api, ws.path())};
        writeReport(checks, ReportStyle{format, false}, DriverInfo{}, out);
        out.flush();
        share.total += Clock::now() - start;
        share.driver += driverTime() - driverBefore;
        share.processorTotal += threadProcessorTime() - processorStart;
        share.processorDriver += driverProcessorTime() - processorDriverBefore;
        share.calls += timedCalls() - callsBefore;
        share.clockReads += processorClockReads() - clockReadsBefore;
        share.units += kind == kMixedFiles ? kFiles : kPairs;
        messages = messageLines(checks).size();
        const WorkspaceCheck& check = std::get<WorkspaceCheck>(checks.first());
        if (kind == kMixedFiles ? check.files.size() != kFiles : check.pairs.size() != kPairs) {
            state.SkipWithError("not every pair or file was checked");
        }
    }
    state.counters["messages"] = double(messages);
    state.counters["units_per_s"] = benchmark::Counter(
        double(kind == kMixedFiles ? kFiles : kPairs) * double(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CheckWorkspace)
    ->ArgNames({"workspace", "json"})
    ->Args({kCleanPairs, 0})
    ->Args({kCleanPairs, 1})
    ->Args({kPairsWithErrors, 0})
    ->Args({kPairsWithErrors, 1})
    ->Args({kMixedFiles, 0})
    ->Args({kMixedFiles, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

double ms(std::chrono::nanoseconds d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The check's time and its own part, without the stopwatches' reads of the processor time, of
// which `driver` holds `readsInDriver`.
struct Corrected {
    double totalMs;
    double ownMs;
};
Corrected corrected(std::chrono::nanoseconds total, std::chrono::nanoseconds driver,
                    std::chrono::nanoseconds reads, std::chrono::nanoseconds readsInDriver) {
    return {ms(total - reads), ms(total - reads) - ms(driver - readsInDriver)};
}

}  // namespace

int main(int argc, char** argv) {
    // As glsl-tessory-check does: every source is compiled, none taken from the cache, and freed
    // memory stays with the process.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    keepFreedMemory();
    QElapsedTimer contextTimer;
    contextTimer.start();
    GlContextResult made = GlContext::create();
    const double contextMs = double(contextTimer.nsecsElapsed()) / 1e6;
    if (!made.context) {
        std::fprintf(stderr, "%s\n", made.failure.toLocal8Bit().constData());
        return 1;
    }
    made.context->replaceEntryPoints(tessory::bench::timedEntryPoints(made.context->arb()),
                                     tessory::bench::timedEntryPoints(made.context->core()));
    timedContext.context = std::move(made.context);
    const GlContext& context = *timedContext.context;
    std::printf("Driver: %s, OpenGL %s\n", context.renderer().toLocal8Bit().constData(),
                context.version().toLocal8Bit().constData());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nContext creation (once per run of the program): %.1f ms\n", contextMs);
    std::printf(
        "Share of the check outside the driver's entry points (target: under 5 %%), in\n"
        "wall time and in the thread's processor time (which a busy machine does not "
        "inflate):\n");
    for (const auto& [name, share] : shares) {
        if (share.total.count() == 0) {
            continue;
        }
        // The wall time of the driver holds none of the reads; its processor time holds one end
        // of each interval, half of them.
        const Corrected wall = corrected(share.total, share.driver, share.clockReads, {});
        const Corrected processor = corrected(share.processorTotal, share.processorDriver,
                                              share.clockReads, share.clockReads / 2);
        std::printf(
            "  %-26s wall %8.1f ms, own %6.1f ms = %5.2f %%;  processor %8.1f ms, own "
            "%6.1f ms = %5.2f %%;  %.1f timed calls a unit, %.2f us a call reading the processor "
            "time (taken out)\n",
            name.c_str(), wall.totalMs, wall.ownMs, 100.0 * wall.ownMs / wall.totalMs,
            processor.totalMs, processor.ownMs, 100.0 * processor.ownMs / processor.totalMs,
            double(share.calls) / double(share.units),
            double(share.clockReads.count()) / 1e3 / double(share.calls));
    }
    return 0;
}
