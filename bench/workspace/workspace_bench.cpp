// SPDX-License-Identifier: MIT
// The WorkSpace scan of a large directory and the load of a long shader file.
#include "workspace/pair_scan.h"
#include "workspace/shader_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tessory;

const PairExtensions kExtensions{QStringLiteral(".vert"), QStringLiteral(".frag")};

void touch(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

// Names of mixed case and length, so that the collation has real work to do.
QString shaderName(int index, QRandomGenerator& random) {
    static const char* const words[] = {"Water",  "fire", "Sky",   "terrain", "Bloom",
                                        "shadow", "toon", "Glass", "metal",   "fog"};
    return QStringLiteral("%1_%2_%3")
        .arg(words[random.bounded(10)], words[random.bounded(10)])
        .arg(index);
}

struct Workspace {
    QTemporaryDir dir;
    QString path() const { return dir.path() + u'/'; }
};

const Workspace& largeWorkspace() {
    static const std::unique_ptr<Workspace> workspace = [] {
        auto created = std::make_unique<Workspace>();
        QRandomGenerator random(1);
        for (int i = 0; i < 10000; ++i) {
            const QString name = shaderName(i, random);
            touch(created->path() + name + ".vert", "void main() {}\n");
            touch(created->path() + name + ".frag", "void main() {}\n");
        }
        for (int i = 0; i < 1000; ++i) {
            touch(created->path() + QStringLiteral("notes_%1.txt").arg(i));
        }
        return created;
    }();
    return *workspace;
}

void scanLargeWorkspace(benchmark::State& state, const QLocale& locale) {
    const QString path = largeWorkspace().path();
    qsizetype listed = 0;
    for (auto _ : state) {
        const WorkspaceScan scan = scanWorkspace(path, kExtensions, locale);
        listed = scan.listedNames().size();
        benchmark::DoNotOptimize(listed);
    }
    if (listed != 10000) {
        state.SkipWithError("the scan did not list every pair");
    }
    state.counters["pairs"] = double(listed);
}

void BM_ScanWorkspace_SystemLocale(benchmark::State& state) {
    scanLargeWorkspace(state, QLocale());
}
void BM_ScanWorkspace_EnglishCollation(benchmark::State& state) {
    scanLargeWorkspace(state, QLocale(QLocale::English, QLocale::UnitedStates));
}
void BM_ScanWorkspace_GermanCollation(benchmark::State& state) {
    scanLargeWorkspace(state, QLocale(QLocale::German, QLocale::Germany));
}

void BM_LoadShaderFile20000Lines(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.frag");
    QByteArray bytes;
    for (int line = 0; line < 20000; ++line) {
        bytes += "    vec3 light" + QByteArray::number(line) +
                 " = normalize(gl_LightSource[0].position.xyz - vVertex); // \xe4\xdf\r\n";
    }
    touch(path, bytes);
    for (auto _ : state) {
        std::optional<ShaderText> text = loadShaderFile(path);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

}  // namespace

BENCHMARK(BM_ScanWorkspace_SystemLocale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanWorkspace_EnglishCollation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanWorkspace_GermanCollation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadShaderFile20000Lines)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
