// SPDX-License-Identifier: MIT
#include "app/elided_label.h"

#include <QPainter>

namespace tessory {

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode) {}

void ElidedLabel::setFullText(const QString& text) {
    setText(text);
    setToolTip(text);
}

void ElidedLabel::fitTexts(const QStringList& texts) {
    int width = 0;
    for (const QString& text : texts) {
        width = qMax(width, fontMetrics().horizontalAdvance(text));
    }
    // The label's own margins and a gap to the next panel.
    preferredWidth_ = width + fontMetrics().averageCharWidth() * 2;
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    const QSize own = QLabel::sizeHint();
    return preferredWidth_ < 0 ? own : QSize(preferredWidth_, own.height());
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("...")),
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.drawText(area, int(alignment()) | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), mode_, area.width()));
}

}  // namespace tessory
