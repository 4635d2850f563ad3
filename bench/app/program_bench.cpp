// SPDX-License-Identifier: MIT
// Opening programs in the window: the example's four-stage terrain program next to a pair of the
// same total size, and switching between two programs of 1,000-line files, each the window's whole
// work from the list's choice to the highlighted panes. Run by hand: build/bench/app/program_bench
#include "support/bench_files.h"
#include "support/bench_window.h"
#include "support/generated_shader.h"
#include "workspace/pair_list_view.h"
#include "workspace/workspace_controller.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace tessory;
using tessory::bench::readExample;
using tessory::bench::Window;
using tessory::bench::writeBenchFile;

namespace {

int rowOf(const Window& w, const QString& name) {
    const QListWidget* list = w.window->workspace().listView();
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == name) {
            return row;
        }
    }
    qFatal("%s is not listed", qPrintable(name));
}

// The terrain program as the examples have it, and "flat": a pair whose two files hold the same
// bytes, the vertex file the first two stages', the fragment file the last two.
QString terrainWorkspace(QTemporaryDir& dir) {
    const QByteArray vertex = readExample("terrain.vert");
    const QByteArray control = readExample("terrain.tesc");
    const QByteArray evaluation = readExample("terrain.tese");
    const QByteArray fragment = readExample("terrain.frag");
    writeBenchFile(dir.filePath("terrain.vert"), vertex);
    writeBenchFile(dir.filePath("terrain.tesc"), control);
    writeBenchFile(dir.filePath("terrain.tese"), evaluation);
    writeBenchFile(dir.filePath("terrain.frag"), fragment);
    writeBenchFile(dir.filePath("flat.vert"), vertex + control);
    writeBenchFile(dir.filePath("flat.frag"), evaluation + fragment);
    return dir.path() + u'/';
}

void openRepeatedly(benchmark::State& state, const QString& name) {
    QTemporaryDir dir;
    Window w(terrainWorkspace(dir));
    const int row = rowOf(w, name);
    for (auto _ : state) {
        w.window->workspace().openListedPair(row);
        QApplication::processEvents();
    }
}

void BM_OpenFourStageProgram(benchmark::State& state) {
    openRepeatedly(state, QStringLiteral("terrain"));
}

void BM_OpenPairOfTheSameSize(benchmark::State& state) {
    openRepeatedly(state, QStringLiteral("flat"));
}

// One switch is one iteration: to the other program and its 1,000-line files.
void BM_SwitchPrograms_1000Lines(benchmark::State& state) {
    QTemporaryDir dir;
    for (const char* name : {"first", "second"}) {
        const QByteArray text = bench::generateShader(1000).toLatin1();
        writeBenchFile(dir.filePath(QString::fromLatin1(name) + ".vert"), text);
        writeBenchFile(dir.filePath(QString::fromLatin1(name) + ".frag"), text);
        writeBenchFile(dir.filePath(QString::fromLatin1(name) + ".geom"), text);
    }
    Window w(dir.path() + u'/');
    const int rows[] = {rowOf(w, QStringLiteral("first")), rowOf(w, QStringLiteral("second"))};
    int next = 0;
    for (auto _ : state) {
        w.window->workspace().openListedPair(rows[next]);
        QApplication::processEvents();
        next = 1 - next;
    }
}

}  // namespace

#define TESSORY_PROGRAM_BENCHMARK(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)

TESSORY_PROGRAM_BENCHMARK(BM_OpenFourStageProgram);
TESSORY_PROGRAM_BENCHMARK(BM_OpenPairOfTheSameSize);
TESSORY_PROGRAM_BENCHMARK(BM_SwitchPrograms_1000Lines);

int main(int argc, char** argv) {
    bench::MedianReporter reporter;
    bench::runWindowBenchmarks(argc, argv, reporter);
    const auto median = [&reporter](const char* name) {
        const auto found = reporter.medians.find(name);
        return found == reporter.medians.end() ? -1.0 : found->second;
    };
    const double program = median("BM_OpenFourStageProgram");
    const double pair = median("BM_OpenPairOfTheSameSize");
    const double switching = median("BM_SwitchPrograms_1000Lines");
    std::printf("\nMedians (wall):\n");
    if (program > 0 && pair > 0) {
        std::printf(
            "  four-stage program %.3f ms, pair of the same size %.3f ms: %.2f x; "
            "target <= 1.2 x: %s\n",
            program, pair, program / pair, program <= 1.2 * pair ? "met" : "missed");
    }
    if (switching > 0) {
        std::printf("  switching between two 1,000-line programs %.3f ms; target <= 50 ms: %s\n",
                    switching, switching <= 50 ? "met" : "missed");
    }
    return 0;
}
