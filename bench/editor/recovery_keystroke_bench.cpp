// SPDX-License-Identifier: MIT
// A keystroke in a code pane whose document is kept for recovery, beside the same pane without
// it. Bursts of keys with a pause after each, as a user types: in the pause the recovery file is
// written on its own thread, and the next burst runs while that write may still be under way.
// Only the keys are timed. Run by hand: build/bench/editor/editor_recovery_keystroke_bench
#include "editor/code_edit.h"
#include "editor/recovery_keeper.h"
#include "editor/shader_document.h"
#include "editor/shader_pane.h"
#include "support/generated_shader.h"
#include "workspace/file_io.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace tessory;

namespace {

constexpr int kLines = 2000;
constexpr int kBursts = 40;
constexpr int kKeysPerBurst = 50;
constexpr int kRounds = 5;

struct TypingPane {
    TypingPane(const QString& path, const QString& text, const QString* recoveryFolder) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toLatin1());
        file.close();
        document.load({text}, FileStamp::of(path, text.toLatin1()));
        if (recoveryFolder != nullptr) {
            keeper = std::make_unique<RecoveryKeeper>(*recoveryFolder);
            keeper->watch(&document);
        }
        // The pane belongs to its widget.
        edit.reset((new ShaderPane(document, QStringLiteral("pane")))->widget());
        edit->resize(800, 600);
        edit->show();
    }

    // Microseconds a key, over every burst.
    double typeBursts() {
        qint64 nanoseconds = 0;
        for (int burst = 0; burst < kBursts; ++burst) {
            QElapsedTimer clock;
            clock.start();
            for (int key = 0; key < kKeysPerBurst; ++key) {
                QTest::keyClick(edit.get(), Qt::Key_A);
                QCoreApplication::processEvents();
            }
            nanoseconds += clock.nsecsElapsed();
            // Long enough for the keeper's pause to end and its write to start.
            QTest::qWait(450);
        }
        return double(nanoseconds) / 1000.0 / (kBursts * kKeysPerBurst);
    }

    ShaderDocument document;
    std::unique_ptr<RecoveryKeeper> keeper;
    std::unique_ptr<CodeEdit> edit;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const QString text = bench::generateShader(kLines);
    std::vector<double> plain;
    std::vector<double> kept;
    // Alternated, so that a slow moment of the machine falls on both alike.
    for (int round = 0; round < kRounds; ++round) {
        plain.push_back(TypingPane(dir.filePath("plain.vert"), text, nullptr).typeBursts());
        kept.push_back(TypingPane(dir.filePath("kept.vert"), text, &folder).typeBursts());
    }
    const double without = median(plain);
    const double with = median(kept);
    std::printf("keystroke in a %d-line pane, medians of %d rounds of %d keys:\n", kLines, kRounds,
                kBursts * kKeysPerBurst);
    std::printf(
        "  without recovery %8.1f us, kept for recovery %8.1f us: %+.1f %% (target <= "
        "+5 %%: %s)\n",
        without, with, 100.0 * (with - without) / without,
        with <= 1.05 * without ? "met" : "missed");
    return 0;
}
