// SPDX-License-Identifier: MIT
#include "ui/key_up_relay.h"

#include <QKeyEvent>
#include <QWidget>

namespace tessory {

void KeyUpRelay::watchWindow(QWidget* window) {
    window_ = window;
    window->installEventFilter(this);
}

bool KeyUpRelay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && window_->focusWidget() != nullptr &&
        window_->focusWidget() != window_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            emit keyReleased(key->key(), key->modifiers());
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tessory
