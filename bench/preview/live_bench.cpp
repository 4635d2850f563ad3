// SPDX-License-Identifier: MIT
// Errors while typing and the preview's frames through the driver host, against the same work
// on the bare driver in this process: the marks drawn after the pause ends on each example pair
// and on a pair of 20,000 lines, and the live compile to the preview's new frame.
// Run by hand: QT_QPA_PLATFORM=offscreen build/bench/preview/live_bench
#include "app/main_window.h"
#include "compile/compile_and_link.h"
#include "compile/live_check.h"
#include "editor/code_edit.h"
#include "preview/preview_panel.h"
#include "preview/renderer.h"
#include "support/bench_files.h"
#include "support/bench_window.h"
#include "support/silent_prompter.h"
#include "support/stored_settings.h"
#include "support/window_parts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <optional>

using namespace tessory;
using namespace tessory::testing;
using tessory::bench::readExample;

namespace {

const char* const kPairs[] = {"color", "lighting", "texture", "toon"};

QByteArray example(const char* pair, const char* extension) {
    return readExample((QByteArray(pair) + extension).constData());
}

// A fragment shader of `lines` lines, all but its last few in small functions, with an error in
// main.
QByteArray largeFragment(int lines) {
    QByteArray text;
    int n = 0;
    while (text.count('\n') < lines - 4) {
        text += "float step" + QByteArray::number(n) +
                "(float x) {\n    // one step of the chain\n" + "    float a = x * " +
                QByteArray::number(n % 97) + ".0 + 0.5;\n" + "    return clamp(a, 0.0, 1.0);\n}\n";
        ++n;
    }
    return text + "void main() {\n    gl_FragColor = vec4(step0(0.5)) * nothing;\n}\n";
}

// The window with a pair open, its live compile and its preview.
struct LiveWindow {
    LiveWindow(const QByteArray& vertex, const QByteArray& fragment, bool preview) {
        bench::writeBenchFile(workspace.filePath(QStringLiteral("p.vert")), vertex);
        bench::writeBenchFile(workspace.filePath(QStringLiteral("p.frag")), fragment);
        opened.emplace(workspace.path() + '/', QStringLiteral("p"));
        window = opened->window.get();
        live = window->findChild<LiveCheck*>(QStringLiteral("LiveCheck"));
        panel = window->findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        if (preview) {
            action(*window, "Action_Preview")->trigger();
        }
        // The host up and its driver loaded, as after the first pause.
        checkAndWait();
    }

    // Types at the end of the fragment pane, as a user edits it.
    void edit() {
        QTextCursor cursor(fragmentEdit(*window)->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral(" // %1").arg(++edits));
    }

    void checkAndWait() {
        QSignalSpy checked(live, &LiveCheck::checked);
        live->checkNow();
        if (!checked.wait(30000)) {
            qFatal("no answer from the driver host");
        }
    }

    QTemporaryDir workspace;
    std::optional<bench::Window> opened;
    MainWindow* window = nullptr;
    LiveCheck* live = nullptr;
    PreviewPanel* panel = nullptr;
    int edits = 0;
};

// From the end of the pause to the marks painted in the pane.
void marksAfterPause(benchmark::State& state, const QByteArray& vertex,
                     const QByteArray& fragment) {
    LiveWindow w(vertex, fragment, false);
    CodeEdit* pane = fragmentEdit(*w.window);
    for (auto _ : state) {
        w.edit();
        QElapsedTimer timer;
        timer.start();
        w.checkAndWait();
        pane->viewport()->repaint();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    state.counters["marks"] = double(pane->diagnostics().size());
}

// The same texts compiled and linked by the driver in this process, their logs read.
void bareCompile(benchmark::State& state, const QByteArray& vertex, const QByteArray& fragment) {
    static GlContextResult made = GlContext::create();
    // A window made since may have left its own context current, or none.
    if (!made.context || !made.context->makeCurrent()) {
        state.SkipWithError(qPrintable(made.failure));
        return;
    }
    int edits = 0;
    for (auto _ : state) {
        const QByteArray edited = fragment + "// " + QByteArray::number(++edits) + "\n";
        QElapsedTimer timer;
        timer.start();
        const CompileResult run = compileAndLink(made.context->arb(), vertex, edited);
        benchmark::DoNotOptimize(run.fragmentLog.size());
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

QByteArray brokenExample(const char* pair) {
    QByteArray fragment = example(pair, ".frag");
    const qsizetype end = fragment.lastIndexOf('}');
    return fragment.insert(end, "    gl_FragColor *= nothing;\n");
}

void BM_Marks_ExamplePair(benchmark::State& state) {
    const char* pair = kPairs[state.range(0)];
    state.SetLabel(pair);
    marksAfterPause(state, example(pair, ".vert"), brokenExample(pair));
}

void BM_Bare_ExamplePair(benchmark::State& state) {
    const char* pair = kPairs[state.range(0)];
    state.SetLabel(pair);
    bareCompile(state, example(pair, ".vert"), brokenExample(pair));
}

void BM_Marks_20000Lines(benchmark::State& state) {
    marksAfterPause(state, example("toon", ".vert"), largeFragment(20000));
}

void BM_Bare_20000Lines(benchmark::State& state) {
    bareCompile(state, example("toon", ".vert"), largeFragment(20000));
}

// From the end of the pause to the preview's new frame, shown.
void BM_LiveCompileToFrame_ToonPair(benchmark::State& state) {
    LiveWindow w(example("toon", ".vert"), example("toon", ".frag"), true);
    for (auto _ : state) {
        w.edit();
        QSignalSpy frames(w.panel, &PreviewPanel::frameShown);
        QElapsedTimer timer;
        timer.start();
        w.live->checkNow();
        if (!frames.wait(30000)) {
            state.SkipWithError(qPrintable(w.panel->message()));
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

// The same on the bare driver in this process: compiled, linked and drawn at the panel's size.
void BM_BareCompileToFrame_ToonPair(benchmark::State& state) {
    QString failure;
    const std::unique_ptr<PreviewRenderer> renderer =
        PreviewRenderer::create(&GlContext::create, failure);
    if (!renderer) {
        state.SkipWithError(qPrintable(failure));
        return;
    }
    PreviewScene scene;
    scene.vertexSource = example("toon", ".vert");
    scene.size = QSize(300, 300);
    int edits = 0;
    for (auto _ : state) {
        scene.fragmentSource = example("toon", ".frag") + "// " + QByteArray::number(++edits);
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(renderer->render(scene).image.width());
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

}  // namespace

BENCHMARK(BM_Bare_ExamplePair)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Marks_ExamplePair)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Bare_20000Lines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_Marks_20000Lines)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_BareCompileToFrame_ToonPair)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LiveCompileToFrame_ToonPair)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
