// SPDX-License-Identifier: MIT
#include "app/elided_label.h"

#include <QPainter>

namespace tessory {

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QWidget(parent), mode_(mode) {
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text) {
    if (text != text_) {
        text_ = text;
        update();
    }
}

void ElidedLabel::setFullText(const QString& text) {
    setText(text);
    setToolTip(text);
}

void ElidedLabel::fitTexts(const QStringList& texts) {
    int width = 0;
    for (const QString& text : texts) {
        width = qMax(width, fontMetrics().horizontalAdvance(text));
    }
    // A gap to the next panel.
    preferredWidth_ = width + fontMetrics().averageCharWidth() * 2;
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    return {preferredWidth_, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("...")), fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(text_, mode_, area.width()));
}

}  // namespace tessory
