// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>

namespace tessory {

// A one-line text that shows as much as fits and elides the rest, and that asks for little room,
// so that a narrow window shrinks it instead of drawing its neighbours over it. Unlike a QLabel it
// never asks the window to lay itself out again when its text changes: the caret panel changes at
// every key, and a new layout of the window (with the preview dock open) would cost more than the
// key itself.
class ElidedLabel : public QWidget {
public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // The text, also as the tooltip, so that what is elided can still be read.
    void setFullText(const QString& text);
    // The width the label asks for when there is room: enough for the longest of these texts.
    void fitTexts(const QStringList& texts);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode mode_;
    QString text_;
    int preferredWidth_ = 0;
};

}  // namespace tessory
