// SPDX-License-Identifier: MIT
#pragma once

#include "compile/build_controller.h"
#include "compile/driver_host.h"
#include "compile/error_list_view.h"
#include "compile/program_context.h"
#include "editor/code_edit.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "editor/shader_pane.h"
#include "options/app_settings.h"
#include "options/options_controller.h"
#include "options/settings.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "texts/texts.h"
#include "workspace/pair_list_view.h"
#include "workspace/workspace_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace tessory::testing {

// The WorkSpace controller and the documents of the open pair without a window: a sandbox
// folder, scripted questions, and the pane widgets when a test types into them.
class ControllerHarness {
    QTemporaryDir root_;

public:
    ControllerHarness() {
        QObject::connect(&workspace, &WorkspaceController::captionChanged,
                         [this](const QString& text) { caption = text; });
        QObject::connect(&workspace, &WorkspaceController::messagesOutdated,
                         [this] { ++messagesOutdated; });
        QObject::connect(&workspace, &WorkspaceController::pairSelectionChanged,
                         [this](bool selected) { pairSelected = selected; });
    }

    QString path(const QString& name) const { return root_.filePath(name); }

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

    // Stores a complete set of settings, as a previous run would have left them, with the given
    // WorkSpace and open pair.
    void storeSettings(const QString& workspaceDir, const QString& fileName,
                       const std::function<void(TCFG&)>& change = {}) const {
        QSettings store(settingsPath(), QSettings::IniFormat);
        TCFG cfg = defaultSettings(path("program/"));
        cfg.CurrentDir = workspaceDir;
        cfg.CurrentFileName = fileName;
        if (change) {
            change(cfg);
        }
        store.beginGroup(QStringLiteral("V1/settings"));
        for (const auto& [name, value] : storedValues(cfg)) {
            store.setValue(name, value);
        }
    }

    // Opens the WorkSpace and pair of the stored settings, as a start does. The list and the
    // panes are laid out in one widget, so that tests find them by name as in the window.
    QWidget& start() {
        {
            QSettings store(settingsPath(), QSettings::IniFormat);
            settings.load(store, path("program/"), QSize(1920, 1080));
        }
        const Texts texts = Texts::of(german);
        documents.setTexts(texts);
        workspace.setTexts(texts);
        auto* layout = new QHBoxLayout(&root);
        layout->addWidget(workspace.listView());
        editor = new PairEditor(documents);
        editor->setTexts(texts);
        QObject::connect(editor, &PairEditor::insertModeShown,
                         [this](const QString& text) { insertMode = text; });
        editor->setFormats(categoryFormats(settings.values()));
        layout->addWidget(editor);
        program = std::make_unique<ProgramContext>(documents, workspace, settings);
        editor->setIncludeResolver([this](const QString& name, const QString& from) {
            return program->resolveInclude(name, from);
        });
        build = std::make_unique<BuildController>(documents, *editor, workspace, *program, prompter,
                                                  host, nullptr);
        build->setTexts(texts);
        layout->addWidget(build->errorList());
        QObject::connect(&workspace, &WorkspaceController::messagesOutdated, build.get(),
                         &BuildController::clearMessages);
        options = std::make_unique<OptionsController>(settings, workspace, prompter, &root);
        options->setTexts(texts);
        QObject::connect(&settings, &AppSettings::formatsChanged, editor, &PairEditor::setFormats);
        root.show();
        QObject::connect(&workspace, &WorkspaceController::pairSelectionChanged, editor,
                         &PairEditor::setPairSelected);
        workspace.start({});
        workspace.updateCaption();
        build->startDriver();
        return root;
    }

    QWidget& start(const QString& workspaceDir, const QString& pair) {
        storeSettings(path(workspaceDir), pair);
        return start();
    }

    CodeEdit* vertexEdit() const { return editor->pane(PairSide::Vertex).widget(); }
    // The settings that would be stored now.
    TCFG stored() const {
        TCFG current = settings.values();
        workspace.storeInto(current);
        return current;
    }
    QString settingsPath() const { return path(QStringLiteral("settings/GLSL Tessory.conf")); }
    QStringList messages() const { return Texts::of(german).ui.messages; }

    bool german = false;
    ScriptedPrompter prompter;
    AppSettings settings;
    PairDocument documents{prompter, settings, nullptr};
    WorkspaceController workspace{settings, documents, prompter, nullptr};
    // The machine's real driver in the editor's own driver host.
    DriverHost host{QStringLiteral(TESSORY_EDITOR_BINARY), {QStringLiteral("--driver-host")}};
    QWidget root;
    PairEditor* editor = nullptr;
    std::unique_ptr<ProgramContext> program;
    std::unique_ptr<BuildController> build;
    std::unique_ptr<OptionsController> options;
    QString caption;
    QString insertMode;
    int messagesOutdated = 0;
    bool pairSelected = false;
};

}  // namespace tessory::testing
