// SPDX-License-Identifier: MIT
#pragma once

#include "editor/text_format.h"
#include "options/settings.h"

#include <QObject>
#include <QRect>
#include <QSize>

#include <memory>

class QSettings;

namespace tessory {

// The user's settings while the program runs. Whoever changes one goes through here, and
// whoever shows one listens: each setter announces a real change and stays quiet otherwise.
class AppSettings : public QObject {
    Q_OBJECT
public:
    explicit AppSettings(QObject* parent = nullptr);

    const TCFG& values() const { return values_; }

    // Start-up: the defaults, the stored values over them, then the corrections (extensions
    // trimmed, a WorkSpace that is no absolute path replaced, the window fitted to the screen).
    // Nothing is announced: the program has not shown anything yet.
    void load(QSettings& store, const QString& programDir, QSize screen);
    // Writes every stored value of `current` in its order; throws FileError when the store
    // cannot be written.
    static void store(QSettings& store, const TCFG& current);

    void setFormats(const CategoryFormats& formats);
    void setZoom(int step);
    void setAutoSave(bool autoSave);
    void setTimeLimits(int compileSeconds, int frameSeconds);
    void setGerman(bool german);
    void setProgramTargets(const QString& targets) { values_.ProgramTargets = targets; }
    bool german() const { return german_; }

    // What the window remembers of itself; nobody needs to hear of it before it is stored.
    void setNormalGeometry(const QRect& bounds);
    void setMaximized(bool maximized);
    void setPreviewDock(bool visible, QSize size);

signals:
    void formatsChanged(const CategoryFormats& formats);
    void zoomChanged(int step);
    void autoSaveChanged(bool autoSave);
    void timeLimitsChanged(int compileSeconds, int frameSeconds);
    void languageChanged(bool german);

private:
    TCFG values_;
    bool german_ = false;
};

}  // namespace tessory
