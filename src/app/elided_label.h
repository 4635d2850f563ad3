// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

namespace tessory {

// A one-line label that shows as much of its text as fits and elides the rest, and that asks for
// little room, so that a narrow window shrinks it instead of drawing its neighbours over it.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

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
    int preferredWidth_ = -1;
};

}  // namespace tessory
