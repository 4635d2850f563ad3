// SPDX-License-Identifier: MIT
#include "preview/preview_dock.h"

#include "compile/live_check.h"
#include "editor/pair_document.h"
#include "options/app_settings.h"
#include "preview/preview_panel.h"
#include "workspace/workspace_controller.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>

namespace tessory {

PreviewDock::PreviewDock(Prompter& prompter, PairDocument& documents,
                         const WorkspaceController& workspace, LiveCheck& live,
                         const AppSettings& settings, QMainWindow* window)
    : QObject(window), window_(window) {
    panel_ = new PreviewPanel(
        prompter,
        [this, &documents] {
            PreviewProgram program;
            program.fragmentOnly =
                !documents.hasStage(PairSide::Vertex) && documents.hasStage(PairSide::Fragment);
            if (!program.fragmentOnly) {
                program.vertex = documents.document(PairSide::Vertex).source();
            }
            program.fragment = documents.document(PairSide::Fragment).source();
            if (documents.hasStage(PairSide::Geometry)) {
                program.geometry = documents.document(PairSide::Geometry).source();
            }
            program.compute = documents.hasStage(PairSide::Compute);
            program.tessellated =
                documents.hasStage(PairSide::TessControl) || documents.hasStage(PairSide::TessEval);
            program.vulkan = vulkan_ && vulkan_();
            return program;
        },
        live.host());
    panel_->setShaderFiles([&documents, &workspace] {
        QStringList files;
        for (const PairSide side : kProgramSides) {
            files << documents.document(side).stamp().path();
        }
        const OpenPair& pair = workspace.openPair();
        for (const QString& name : pair.scanned().names()) {
            for (const PairSide side : kProgramSides) {
                files << pair.path(side, name);
            }
        }
        return files;
    });
    dock_ = new QDockWidget(QStringLiteral("Preview"), window);
    dock_->setObjectName(QStringLiteral("PreviewDock"));
    dock_->setWidget(panel_);
    window->addDockWidget(Qt::RightDockWidgetArea, dock_);
    dock_->hide();
    connect(&live, &LiveCheck::checked, panel_, [this](const LiveCheckReply& reply) {
        panel_->liveChecked(reply.summary, reply.hasErrors());
    });
    connect(&settings, &AppSettings::timeLimitsChanged, panel_,
            [this](int, int frameSeconds) { panel_->setFrameTimeLimit(frameSeconds); });
}

void PreviewDock::connectPreviewAction(QAction* preview) {
    action_ = preview;
    preview->setCheckable(true);
    preview->setShortcut(QKeySequence(Qt::Key_F9));
    connect(preview, &QAction::triggered, this, &PreviewDock::Action_PreviewExecute);
    // The command follows whether the dock is open (a dock tabbed behind another is open but
    // not visible). The command listens, not the window, which may be half destroyed when its
    // children close the dock.
    connect(dock_->toggleViewAction(), &QAction::toggled, preview, &QAction::setChecked);
}

void PreviewDock::Action_PreviewExecute() {
    dock_->setVisible(!dock_->isVisible());
}

void PreviewDock::setTexts(const Texts& texts) {
    if (action_ != nullptr) {
        action_->setText(texts.preview.command);
        action_->setToolTip(texts.preview.commandHint);
        action_->setStatusTip(texts.preview.commandHint);
    }
    dock_->setWindowTitle(texts.preview.command);
    panel_->setTexts(texts.preview);
}

void PreviewDock::restore(const TCFG& settings) {
    panel_->setFrameTimeLimit(settings.FrameTimeLimit);
    if (settings.PreviewVisible) {
        dock_->show();
        window_->resizeDocks({dock_}, {settings.PreviewWidth}, Qt::Horizontal);
        window_->resizeDocks({dock_}, {settings.PreviewHeight}, Qt::Vertical);
    }
}

void PreviewDock::storeInto(AppSettings& settings) const {
    settings.setPreviewDock(!dock_->isHidden(), dock_->size());
}

void PreviewDock::showPair(const QString& name, const QString& directory) {
    panel_->setPair(name, directory);
}

void PreviewDock::diagnosticsReady(const QList<ShaderMessage>&, bool clean) {
    // A pair the driver accepts is drawn at once; the preview shows its own messages otherwise.
    if (clean) {
        panel_->refresh();
    }
}

}  // namespace tessory
