// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace tessory {

// Announces the key releases of the widgets it watches. A held key repeats its release on some
// platforms; only the real release counts, so that one F10 writes one archive.
class KeyUpRelay final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void watch(QObject* widget) { widget->installEventFilter(this); }

signals:
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tessory
