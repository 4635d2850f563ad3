// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

namespace tessory {

// Shows the last frame and turns the mouse into view changes: a drag orbits, the wheel zooms,
// and the pointer's position is the shaders' mouse.
class PreviewView : public QWidget {
    Q_OBJECT

public:
    explicit PreviewView(QWidget* parent = nullptr);

    void setFrame(const QImage& frame);
    const QImage& frame() const { return frame_; }
    // The size a frame should have to fill the view pixel for pixel.
    QSize framePixels() const;

signals:
    void orbited(QPointF degrees);
    void zoomed(float factor);
    void pointerMoved(QPointF pixelsFromBottomLeft);
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage frame_;
    QPointF lastDrag_;
};

}  // namespace tessory
