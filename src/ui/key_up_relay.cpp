// SPDX-License-Identifier: MIT
#include "ui/key_up_relay.h"

#include <QKeyEvent>

namespace tessory {

bool KeyUpRelay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            emit keyReleased(key->key(), key->modifiers());
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tessory
