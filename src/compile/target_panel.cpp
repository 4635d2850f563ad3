// SPDX-License-Identifier: MIT
#include "compile/target_panel.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>

namespace tessory {

TargetPanel::TargetPanel(QWidget* parent)
    : QLabel(parent),
      texts_(Texts::of(false)),
      menu_(new QMenu(this)),
      choices_(new QActionGroup(this)),
      automatic_(new QAction(this)) {
    setObjectName(QStringLiteral("TargetPanel"));
    setCursor(Qt::PointingHandCursor);
    automatic_->setCheckable(true);
    automatic_->setChecked(true);
    choices_->addAction(automatic_);
    menu_->addAction(automatic_);
    menu_->addSeparator();
    for (const Target target : {Target::Gl, Target::GlCore, Target::Gles, Target::Vulkan}) {
        auto* action = new QAction(targetTitle(target), this);
        action->setCheckable(true);
        action->setData(int(target));
        choices_->addAction(action);
        menu_->addAction(action);
        targets_.append(action);
    }
    connect(choices_, &QActionGroup::triggered, this, [this](QAction* action) {
        emit targetChosen(action == automatic_
                              ? std::nullopt
                              : std::optional<Target>(Target(action->data().toInt())));
    });
    setTexts(texts_);
}

void TargetPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    // Above the panel, as the status bar is at the window's foot.
    const QSize size = menu_->sizeHint();
    menu_->popup(mapToGlobal(QPoint(0, -size.height())));
}

void TargetPanel::setTexts(const Texts& texts) {
    texts_ = texts;
    automatic_->setText(texts.extra().targetAutomatic);
    updateTip();
}

void TargetPanel::showSetup(const ProgramSetup& setup, std::optional<Target> chosen) {
    setup_ = setup;
    setText(targetTitle(setup.target));
    automatic_->setChecked(!chosen);
    for (QAction* action : targets_) {
        action->setChecked(chosen && int(*chosen) == action->data().toInt());
    }
    updateTip();
}

void TargetPanel::updateTip() {
    if (!setup_) {
        setToolTip(QString());
        return;
    }
    const LanguageTexts::Extra& extra = texts_.extra();
    const QString& why = setup_->source == TargetSource::Chosen        ? extra.targetChosen
                         : setup_->source == TargetSource::ProjectFile ? extra.targetFromProject
                                                                       : extra.targetFromVersion;
    QString tip = why.arg(targetTitle(setup_->target));
    if (!setup_->projectProblem.isEmpty()) {
        tip += QStringLiteral("\n\n") + extra.projectFileUnusable.arg(setup_->projectProblem);
    }
    setToolTip(tip);
}

}  // namespace tessory
