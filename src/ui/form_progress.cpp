// SPDX-License-Identifier: MIT
#include "ui/form_progress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace tessory {

TForm_Progress::TForm_Progress(QWidget* owner)
    : QWidget(owner,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      owner_(owner) {
    setObjectName(QStringLiteral("Form_Progress"));
    setWindowTitle(QStringLiteral("GLSL Tessory"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(252, 86);
    Label1 = new QLabel(QStringLiteral("Checking Shaderfiles, Please Wait..."), this);
    Label1->move(40, 16);
    Label1->adjustSize();
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setGeometry(24, 48, 209, 17);
    ProgressBar1->setTextVisible(false);
}

void TForm_Progress::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QRect area;
    if (owner_ != nullptr) {
        area = owner_->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        move(area.center() - rect().center());
    }
}

}  // namespace tessory
