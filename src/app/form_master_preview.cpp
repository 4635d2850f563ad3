// SPDX-License-Identifier: MIT
// The preview dock of the main window: what it shows follows the open pair and the panes.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "editor/code_edit.h"
#include "preview/preview_panel.h"
#include "texts/preview_texts.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"

#include <QAction>
#include <QDockWidget>
#include <QMenu>

namespace tessory {

void TForm_Master::setupPreview() {
    Action_Preview = makeAction("Action_Preview", QStringLiteral("Preview"));
    Action_Preview->setCheckable(true);
    Action_Preview->setShortcut(QKeySequence(Qt::Key_F9));
    menus_[3]->addSeparator();
    menus_[3]->addAction(Action_Preview);

    previewPanel_ = new PreviewPanel(
        *env_.prompter,
        [this] {
            return std::pair{pane(PairSide::Vertex).source(), pane(PairSide::Fragment).source()};
        },
        env_.createGlContext);
    previewPanel_->setShaderFiles([this] {
        QStringList files;
        for (const PairSide side : kPairSides) {
            files << pane(side).stamp().path();
        }
        for (const QString& name : openPair_.scanned().names()) {
            for (const PairSide side : kPairSides) {
                files << openPair_.path(side, name);
            }
        }
        return files;
    });
    PreviewDock = new QDockWidget(QStringLiteral("Preview"), this);
    PreviewDock->setObjectName(QStringLiteral("PreviewDock"));
    PreviewDock->setWidget(previewPanel_);
    addDockWidget(Qt::RightDockWidgetArea, PreviewDock);
    PreviewDock->hide();

    connect(Action_Preview, &QAction::triggered, this, [this] { Action_PreviewExecute(); });
    // The dock's own action follows whether it is open (a dock tabbed behind another is open but
    // not visible). The command listens, not the window, which may be half destroyed when its
    // children close the dock.
    connect(PreviewDock->toggleViewAction(), &QAction::toggled, Action_Preview,
            &QAction::setChecked);
    for (const PairSide side : kPairSides) {
        connect(pane(side).widget()->document(), &QTextDocument::contentsChanged, previewPanel_,
                &PreviewPanel::sourcesEdited);
    }
}

void TForm_Master::Action_PreviewExecute() {
    PreviewDock->setVisible(!PreviewDock->isVisible());
}

void TForm_Master::applyPreviewSettings() {
    const PreviewTexts texts = previewTexts(german_);
    Action_Preview->setText(texts.command);
    Action_Preview->setToolTip(texts.commandHint);
    Action_Preview->setStatusTip(texts.commandHint);
    PreviewDock->setWindowTitle(texts.command);
    previewPanel_->setTexts(texts);
    previewPanel_->setPair(openPair_.name(), openPair_.directory());
    if (settings_.PreviewVisible) {
        PreviewDock->show();
        resizeDocks({PreviewDock}, {settings_.PreviewWidth}, Qt::Horizontal);
        resizeDocks({PreviewDock}, {settings_.PreviewHeight}, Qt::Vertical);
    }
}

void TForm_Master::storePreviewState() {
    settings_.PreviewVisible = !PreviewDock->isHidden();
    if (settings_.PreviewVisible) {
        settings_.PreviewWidth = PreviewDock->width();
        settings_.PreviewHeight = PreviewDock->height();
    }
}

}  // namespace tessory
