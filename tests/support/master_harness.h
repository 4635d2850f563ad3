#pragma once

#include "app/form_master.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace tessory::testing {

// A main window with its own settings file, program directory and scripted questions.
class MasterHarness {
    QTemporaryDir root_;  // first: the paths below are made from it

public:
    MasterHarness() { QDir().mkpath(programDir()); }

    QString programDir() const { return root_.filePath(QStringLiteral("program")) + '/'; }
    QString path(const QString& name) const { return root_.filePath(name); }

    QString settingsPath = root_.filePath(QStringLiteral("settings/GLSL Tessory.conf"));
    QString languageName = QStringLiteral("English");
    ScriptedPrompter prompter;

    std::unique_ptr<QSettings> settings() const {
        auto store = std::make_unique<QSettings>(settingsPath, QSettings::IniFormat);
        store->beginGroup(QStringLiteral("V1/settings"));
        return store;
    }

    // Creates the window (start-up runs) and shows it.
    TForm_Master& start() {
        TForm_Master::Environment environment;
        environment.prompter = &prompter;
        environment.programDir = programDir();
        environment.languageName = languageName;
        const QString file = settingsPath;
        environment.openSettings = [file] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window = std::make_unique<TForm_Master>(std::move(environment));
        window->show();
        return *window;
    }

    // Closes the window as the user would; true when it closed.
    bool close() {
        const bool closed = window->close();
        if (closed) {
            window.reset();
        }
        return closed;
    }

    std::unique_ptr<TForm_Master> window;
};

}  // namespace tessory::testing
