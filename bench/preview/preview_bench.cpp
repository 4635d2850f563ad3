// SPDX-License-Identifier: MIT
// The preview's speed on this machine's driver: frames of each example pair at 512 x 512 drawn
// and shown, the frame of the simplest pair as the floor, a live compile after an edit, and a
// keystroke in the window with the preview open and closed.
// Run by hand: QT_QPA_PLATFORM=offscreen build/bench/preview/preview_bench
#include "app/main_window.h"
#include "editor/code_edit.h"
#include "preview/preview_panel.h"
#include "preview/preview_view.h"
#include "preview/renderer.h"
#include "support/bench_files.h"
#include "support/silent_prompter.h"
#include "support/stored_settings.h"
#include "support/window_parts.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace tessory;
using namespace tessory::testing;
using tessory::bench::readExample;
using tessory::bench::SilentPrompter;
using tessory::bench::writeBenchFile;

namespace {

const char* const kPairs[] = {"color", "lighting", "texture", "toon"};

PreviewRenderer& renderer() {
    static const std::unique_ptr<PreviewRenderer> made = [] {
        QString failure;
        std::unique_ptr<PreviewRenderer> r = PreviewRenderer::create(&GlContext::create, failure);
        if (!r) {
            qFatal("%s", qPrintable(failure));
        }
        return r;
    }();
    return *made;
}

PreviewScene exampleScene(const char* pair) {
    PreviewScene scene;
    scene.vertexSource = readExample((QByteArray(pair) + ".vert").constData());
    scene.fragmentSource = readExample((QByteArray(pair) + ".frag").constData());
    scene.mesh = QByteArray(pair) == "color" ? MeshKind::Quad : MeshKind::Sphere;
    scene.size = QSize(512, 512);
    return scene;
}

// Drawn and shown: the frame goes to the panel's view, which paints it.
void drawAndShow(benchmark::State& state, PreviewScene scene) {
    PreviewView view;
    view.resize(512, 512);
    view.show();
    float time = 0;
    for (auto _ : state) {
        scene.time = time += 0.033f;
        const PreviewFrame frame = renderer().render(scene);
        if (frame.image.isNull()) {
            state.SkipWithError(qPrintable(frame.error));
            return;
        }
        view.setFrame(frame.image);
        view.repaint();
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Frame512_Example(benchmark::State& state) {
    state.SetLabel(kPairs[state.range(0)]);
    drawAndShow(state, exampleScene(kPairs[state.range(0)]));
}

// The floor: a constant colour on the quad costs only the clear, the read-back and the paint.
void BM_Frame512_ConstantColour(benchmark::State& state) {
    PreviewScene scene;
    scene.mesh = MeshKind::Quad;
    scene.size = QSize(512, 512);
    scene.vertexSource = "void main() { gl_Position = gl_Vertex; }\n";
    scene.fragmentSource = "void main() { gl_FragColor = vec4(1.0); }\n";
    drawAndShow(state, scene);
}

// After a key, once the text is still: new sources compiled, linked, drawn and shown.
void BM_LiveCompile_ToonPair(benchmark::State& state) {
    PreviewScene scene = exampleScene("toon");
    // An edit of the code, not of a comment, so that no cache of the driver can help.
    const QByteArray fragment = scene.fragmentSource;
    const qsizetype constant = fragment.indexOf("0.55");
    PreviewView view;
    view.resize(512, 512);
    view.show();
    int edit = 0;
    for (auto _ : state) {
        scene.fragmentSource = QByteArray(fragment).replace(
            constant, 4, QByteArray::number(0.5 + (++edit % 1000) / 10000.0, 'f', 4));
        const PreviewFrame frame = renderer().render(scene);
        view.setFrame(frame.image);
        view.repaint();
    }
}

// A key typed into the vertex pane of the open toon pair, with the preview shown or not.
void keystrokes(benchmark::State& state, bool previewOpen) {
    QTemporaryDir workspace;
    for (const char* file : {"toon.vert", "toon.frag"}) {
        writeBenchFile(workspace.filePath(QString::fromLatin1(file)), readExample(file));
    }
    SilentPrompter prompter;
    QTemporaryDir settings;
    MainWindow::Environment environment;
    environment.prompter = &prompter;
    environment.programDir = workspace.path() + '/';
    environment.languageName = QStringLiteral("English");
    const QString file = settings.filePath(QStringLiteral("settings.conf"));
    bench::storeOpenPair(file, environment.programDir, QStringLiteral("toon"));
    environment.openSettings = [file] {
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    };
    environment.driverHostProgram = QStringLiteral(TESSORY_EDITOR_BINARY);
    environment.recoveryFolder = settings.filePath(QStringLiteral("recovery"));
    MainWindow window(std::move(environment));
    window.show();
    QCoreApplication::processEvents();
    if (previewOpen) {
        // The first frame comes from the driver host before the typing starts.
        auto* panel = window.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        QSignalSpy frame(panel, &PreviewPanel::frameShown);
        action(window, "Action_Preview")->trigger();
        frame.wait(10000);
    }
    CodeEdit* pane = vertexEdit(window);
    pane->setFocus();
    // Lines of 30 characters, as code is typed: no line grows until it wraps in the narrower
    // pane that the open dock leaves.
    int typed = 0;
    for (auto _ : state) {
        QTest::keyClick(pane, ++typed % 30 == 0 ? Qt::Key_Return : Qt::Key_A);
        QCoreApplication::processEvents();
    }
}

void BM_Keystroke_PreviewClosed(benchmark::State& state) {
    keystrokes(state, false);
}

void BM_Keystroke_PreviewOpen(benchmark::State& state) {
    keystrokes(state, true);
}

}  // namespace

// The driver draws on threads of its own: wall time is what the user sees.
BENCHMARK(BM_Frame512_ConstantColour)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Frame512_Example)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiveCompile_ToonPair)->Unit(benchmark::kMillisecond)->UseRealTime();
// A fixed count of keys, so that both runs type the same text into the same line.
BENCHMARK(BM_Keystroke_PreviewClosed)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(600)
    ->Repetitions(5)
    ->UseRealTime();
BENCHMARK(BM_Keystroke_PreviewOpen)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(600)
    ->Repetitions(5)
    ->UseRealTime();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
