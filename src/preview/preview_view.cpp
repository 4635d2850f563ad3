// SPDX-License-Identifier: MIT
#include "preview/preview_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace tessory {

PreviewView::PreviewView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(64, 64);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PreviewView::setFrame(const QImage& frame) {
    frame_ = frame;
    update();
}

QSize PreviewView::framePixels() const {
    return size() * devicePixelRatioF();
}

void PreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    if (frame_.isNull()) {
        return;
    }
    // A frame made for another size (while the view is resized) is drawn scaled.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), frame_);
}

void PreviewView::mousePressEvent(QMouseEvent* event) {
    lastDrag_ = event->position();
}

void PreviewView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    emit pointerMoved(QPointF(at.x(), height() - at.y()) * devicePixelRatioF());
    if (event->buttons() & Qt::LeftButton) {
        // Half a degree a pixel: a drag across the panel turns the mesh about once.
        emit orbited((at - lastDrag_) * 0.5);
        lastDrag_ = at;
    }
}

void PreviewView::wheelEvent(QWheelEvent* event) {
    // One notch of a usual wheel (120) brings the eye a tenth closer.
    emit zoomed(float(std::pow(0.9, event->angleDelta().y() / 120.0)));
}

void PreviewView::resizeEvent(QResizeEvent*) {
    emit resized();
}

}  // namespace tessory
