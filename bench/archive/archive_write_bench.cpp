// SPDX-License-Identifier: MIT
// Writing the archive of a large WorkSpace against a loop of the same cipher work without files:
// the writer should keep at least 70 % of the loop's rate, i.e. file handling must stay small
// next to the 16 generator passes each line costs.
#include "archive/archive_file.h"
#include "archive/rcx.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

using namespace tessory;

namespace {

constexpr int kPairs = 1000;
constexpr int kLinesPerFile = 200;
constexpr int kLinesPerRun = kPairs * kLinesPerFile * 2;

QByteArray sourceLine(int pair, int line) {
    return QStringLiteral("    vec4 colour%1 = texture2D(sampler%2, uv * %3.0) + tint;")
        .arg(line)
        .arg(pair % 8)
        .arg(pair + line)
        .toLatin1();
}

// The WorkSpace on disk and the same lines in memory, made once for both benchmarks.
struct WorkSpace {
    QTemporaryDir dir;
    QStringList names;
    QList<QByteArray> lines;

    WorkSpace() {
        for (int p = 0; p < kPairs; ++p) {
            const QString name = QStringLiteral("pair%1").arg(p, 4, 10, QLatin1Char('0'));
            names.append(name);
            for (const char* ext : {".vert", ".frag"}) {
                QByteArray text;
                for (int l = 0; l < kLinesPerFile; ++l) {
                    lines.append(sourceLine(p, l));
                    text += lines.last() + "\r\n";
                }
                QFile file(dir.filePath(name + ext));
                if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
                    std::abort();
                }
            }
        }
    }
};

WorkSpace& workSpace() {
    static WorkSpace ws;
    return ws;
}

void BM_ArchiveWrite(benchmark::State& state) {
    WorkSpace& ws = workSpace();
    const QString archive = ws.dir.filePath("shaders.dat");
    RCxState generator = RCxNewGenerator();
    for (auto _ : state) {
        SaveAllShadersEnCrypted(archive, ws.names, ws.dir.path() + "/", ".vert", ".frag",
                                generator);
    }
    state.SetItemsProcessed(state.iterations() * kLinesPerRun);
}

// Per line: a freshly keyed state, the 16-character prefix from the generator, and the prefix
// and line enciphered, into a buffer reused from line to line.
void BM_CipherTightLoop(benchmark::State& state) {
    const QList<QByteArray>& lines = workSpace().lines;
    const std::uint8_t key[] = {'R', 'u', 's', 'k'};
    RCxState generator = RCxNewGenerator();
    std::uint8_t buffer[4096];
    for (auto _ : state) {
        for (const QByteArray& line : lines) {
            for (int c = 0; c < 16; ++c) {
                RCxEncryptBuffer(generator, generator.S, generator.S, 256);
                buffer[c] = generator.S[0];
            }
            std::memcpy(buffer + 16, line.constData(), line.size());
            const auto n = std::int32_t(16 + line.size());
            RCxState cipher;
            RCxKeySchedule(cipher, key, 4);
            RCxEncryptBuffer(cipher, buffer, buffer, n);
            benchmark::DoNotOptimize(buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * kLinesPerRun);
}

BENCHMARK(BM_ArchiveWrite)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CipherTightLoop)->Unit(benchmark::kMillisecond)->Iterations(2);

// Keeps each benchmark's lines per second so that the ratio can be printed after the table.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) {
                rates[run.benchmark_name()] = it->second.value;
            }
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    workSpace();
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double writer = reporter.rates["BM_ArchiveWrite/iterations:2"];
    const double loop = reporter.rates["BM_CipherTightLoop/iterations:2"];
    std::printf("archive writer: %.0f lines/s\ncipher loop:    %.0f lines/s\n", writer, loop);
    if (loop > 0) {
        std::printf("writer reaches %.1f %% of the loop's rate (target: at least 70 %%)\n",
                    100.0 * writer / loop);
    }
    benchmark::Shutdown();
    return 0;
}
