// SPDX-License-Identifier: MIT
#pragma once

#include "app/main_window.h"
#include "support/silent_prompter.h"
#include "support/stored_settings.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tessory::bench {

// A window on its own WorkSpace and settings, as a user who has just opened `pair` has it.
struct Window {
    explicit Window(const QString& workspace, const QString& pair = {}) {
        MainWindow::Environment environment;
        environment.prompter = &prompter;
        environment.programDir = workspace;
        environment.languageName = QStringLiteral("English");
        const QString file = settings.filePath(QStringLiteral("settings.conf"));
        if (!pair.isEmpty()) {
            bench::storeOpenPair(file, workspace, pair);
        }
        environment.openSettings = [file] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        environment.driverHostProgram = QStringLiteral(TESSORY_EDITOR_BINARY);
        environment.recoveryFolder = settings.filePath(QStringLiteral("recovery"));
        window = std::make_unique<MainWindow>(std::move(environment));
        window->show();
    }

    SilentPrompter prompter;
    QTemporaryDir settings;
    std::unique_ptr<MainWindow> window;
};

// Keeps the median wall time of each benchmark for the summary.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// Runs the program's benchmarks on the offscreen platform unless a display is named, with a
// settings folder of their own, keeping each median in the reporter.
inline void runWindowBenchmarks(int argc, char** argv, MedianReporter& reporter) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

}  // namespace tessory::bench
