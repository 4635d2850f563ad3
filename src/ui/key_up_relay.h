// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QWidget;

namespace tessory {

// Announces the key releases of the widgets it watches. A held key repeats its release on some
// platforms; only the real release counts, so that one F10 writes one archive.
class KeyUpRelay final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void watch(QObject* widget) { widget->installEventFilter(this); }
    // A release that a child ignored climbs up to its window as well: the watched children have
    // already had theirs, and one from the tab strip or any other child is not the window's. The
    // window's own is the one it receives while none of its children holds the focus.
    void watchWindow(QWidget* window);

signals:
    void keyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_ = nullptr;
};

}  // namespace tessory
