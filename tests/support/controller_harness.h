// SPDX-License-Identifier: MIT
#pragma once

#include "editor/code_edit.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "editor/shader_pane.h"
#include "options/app_settings.h"
#include "options/settings.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "texts/texts.h"
#include "workspace/pair_list_view.h"
#include "workspace/workspace_controller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

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

    // Opens the WorkSpace at `workspace` (below the sandbox) with the pair `pair`, as a start
    // with these settings stored would.
    void start(const QString& workspaceDir, const QString& pair) {
        QSettings store(path("settings.conf"), QSettings::IniFormat);
        TCFG cfg = defaultSettings(path("program/"));
        cfg.CurrentDir = path(workspaceDir);
        cfg.CurrentFileName = pair;
        store.beginGroup(QStringLiteral("V1/settings"));
        for (const auto& [name, value] : storedValues(cfg)) {
            store.setValue(name, value);
        }
        store.endGroup();
        settings.load(store, path("program/"), QSize(1920, 1080));
        const Texts texts = Texts::of(false);
        documents.setTexts(texts);
        workspace.setTexts(texts);
        editor = std::make_unique<PairEditor>(documents);
        editor->show();
        QObject::connect(&workspace, &WorkspaceController::pairSelectionChanged, editor.get(),
                         &PairEditor::setPairSelected);
        workspace.start({});
        workspace.updateCaption();
    }

    CodeEdit* vertexEdit() const { return editor->pane(PairSide::Vertex).widget(); }

    ScriptedPrompter prompter;
    AppSettings settings;
    PairDocument documents{prompter, settings, nullptr};
    WorkspaceController workspace{settings, documents, prompter, nullptr};
    std::unique_ptr<PairEditor> editor;
    QString caption;
};

}  // namespace tessory::testing
