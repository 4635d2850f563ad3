// SPDX-License-Identifier: MIT
#pragma once

#include "app/main_window.h"
#include "compile/build_controller.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/window_parts.h"
#include "texts/texts.h"
#include "workspace/workspace_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

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
    QString workspace;  // as the command line gives it
    QString recoveryFolder = root_.filePath(QStringLiteral("recovery"));
    ScriptedPrompter prompter;

    std::unique_ptr<QSettings> settings() const {
        auto store = std::make_unique<QSettings>(settingsPath, QSettings::IniFormat);
        store->beginGroup(QStringLiteral("V1/settings"));
        return store;
    }

    // Stores a complete set of settings, as a previous run would have left them, with the given
    // WorkSpace and open pair.
    void storeSettings(const QString& workspace, const QString& fileName,
                       const std::function<void(TCFG&)>& change = {}) const {
        TCFG cfg = defaultSettings(programDir());
        cfg.CurrentDir = workspace;
        cfg.CurrentFileName = fileName;
        if (change) {
            change(cfg);
        }
        auto store = settings();
        for (const auto& [name, value] : storedValues(cfg)) {
            store->setValue(name, value);
        }
    }

    // The message table in the language the window speaks.
    QStringList messages() const { return Texts::of(IsGermanLanguage(languageName)).ui.messages; }

    // Writes a file below the sandbox, creating its folder.
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            ADD_FAILURE() << "cannot write " << file.toStdString();
        }
        return file;
    }

    QByteArray readFile(const QString& name) const {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    // Creates the window (start-up runs) and shows it.
    MainWindow& start() {
        MainWindow::Environment environment;
        environment.prompter = &prompter;
        environment.programDir = programDir();
        environment.workspace = workspace;
        environment.languageName = languageName;
        const QString file = settingsPath;
        environment.openSettings = [file] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        environment.driverHostProgram = QStringLiteral(TESSORY_EDITOR_BINARY);
        environment.recoveryFolder = recoveryFolder;
        window = std::make_unique<MainWindow>(std::move(environment));
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

    std::unique_ptr<MainWindow> window;
};

}  // namespace tessory::testing
