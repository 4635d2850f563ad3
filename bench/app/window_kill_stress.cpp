// SPDX-License-Identifier: MIT
// Kills the main window with SIGKILL a moment after the user's last key, again and again, and
// counts how often the next window offers the typed text back: the window is this program started
// again with --type, which opens the pair, types a line of its own and says so; it is killed at a
// random moment between 0.6 and 1.4 s after that key. The next window, made here, must ask to
// recover the pair and put the line into its pane.
//
// Usage: window_kill_stress [RUNS]   (default 100; QT_QPA_PLATFORM=offscreen unless set)
#include "app/main_window.h"
#include "compile/gl_context.h"
#include "support/bench_files.h"
#include "support/silent_prompter.h"
#include "support/stored_settings.h"
#include "support/window_parts.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

#include <cstdio>
#include <cstring>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main() { gl_Position = ftransform(); }\n";
const QByteArray kFragment = "void main() { gl_FragColor = vec4(1.0); }\n";

// Recovers whatever is offered; any other question or message is unexpected.
class RecoveringPrompter final : public bench::SilentPrompter {
public:
    bool offered = false;

    int askChoice(QWidget*, QMessageBox::Icon, const QString&,
                  const QStringList& choices) override {
        offered = offered || choices.value(0) == QStringLiteral("Recover");
        return 0;
    }
};

std::unique_ptr<MainWindow> openWindow(const QString& sandbox, Prompter& prompter) {
    MainWindow::Environment environment;
    environment.prompter = &prompter;
    environment.programDir = sandbox + "/ws/";
    environment.languageName = QStringLiteral("English");
    environment.openSettings = [sandbox] {
        return std::make_unique<QSettings>(sandbox + "/settings.conf", QSettings::IniFormat);
    };
    environment.driverHostProgram = QStringLiteral(TESSORY_EDITOR_BINARY);
    environment.recoveryFolder = sandbox + "/recovery";
    auto window = std::make_unique<MainWindow>(std::move(environment));
    window->show();
    return window;
}

QString lineOf(int run) {
    return QStringLiteral("// run %1 typed %2")
        .arg(run)
        .arg(QRandomGenerator::global()->generate());
}

[[noreturn]] void type(const QString& sandbox, const QString& line) {
    RecoveringPrompter prompter;
    const std::unique_ptr<MainWindow> window = openWindow(sandbox, prompter);
    QTest::keyClicks(vertexEdit(*window), line);
    QTest::keyClick(vertexEdit(*window), Qt::Key_Return);
    std::printf("typed\n");
    std::fflush(stdout);
    QTest::qWait(60000);
    std::_Exit(3);
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--type") == 0) {
        type(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    int offered = 0;
    int recovered = 0;
    for (int run = 1; run <= runs; ++run) {
        QTemporaryDir sandbox;
        QDir(sandbox.path()).mkdir(QStringLiteral("ws"));
        bench::writeBenchFile(sandbox.filePath("ws/a.vert"), kVertex);
        bench::writeBenchFile(sandbox.filePath("ws/a.frag"), kFragment);
        bench::storeOpenPair(sandbox.filePath("settings.conf"), sandbox.filePath("ws/"), "a");
        const QString line = lineOf(run);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--type", sandbox.path(), line});
        if (!child.waitForStarted() ||
            !QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("typed"); },
                             60000)) {
            std::fprintf(stderr, "run %d: the window did not type\n", run);
            return 2;
        }
        QTest::qWait(600 + int(QRandomGenerator::global()->bounded(800)));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        RecoveringPrompter prompter;
        const std::unique_ptr<MainWindow> next = openWindow(sandbox.path(), prompter);
        offered += prompter.offered ? 1 : 0;
        const bool back = vertexEdit(*next)->toPlainText() == line + '\n' + kVertex;
        recovered += back ? 1 : 0;
        std::printf("run %3d: %s\n", run, back ? "recovered" : "LOST");
        std::fflush(stdout);
    }
    std::printf("\n%d runs: the text offered %d times, recovered into the pane %d times, lost %d\n",
                runs, offered, recovered, runs - recovered);
    return recovered == runs ? 0 : 1;
}
