// SPDX-License-Identifier: MIT
#include "app/hints.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace tessory {
namespace {

constexpr int kHintPause = 1000;
constexpr int kHintShown = 10000;

class HintStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay) {
            return kHintPause;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Qt picks a display time from the hint's length; this keeps every hint up for the same time.
// Q_OBJECT gives it a meta-object of its own, which findChild needs to tell it from the
// application's other children.
class HintDuration final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::ToolTip || widget == nullptr || widget->toolTip().isEmpty()) {
            return false;
        }
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), widget->toolTip(), widget, {}, kHintShown);
        return true;
    }
};

}  // namespace

void installHintTiming(QApplication& app) {
    if (app.findChild<HintDuration*>() != nullptr) {
        return;
    }
    app.setStyle(new HintStyle(app.style()->name()));
    app.installEventFilter(new HintDuration(&app));
}

}  // namespace tessory

#include "hints.moc"
