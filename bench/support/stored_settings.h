// SPDX-License-Identifier: MIT
#pragma once

#include "options/settings.h"

#include <QSettings>
#include <QString>

namespace tessory::bench {

// Leaves the settings a previous run would have left with `pair` of `workspace` open, so that the
// window reopens it at its start the way it does for a user.
inline void storeOpenPair(const QString& settingsFile, const QString& workspace,
                          const QString& pair) {
    TCFG cfg = defaultSettings(workspace);
    cfg.CurrentDir = workspace;
    cfg.CurrentFileName = pair;
    QSettings store(settingsFile, QSettings::IniFormat);
    store.beginGroup(QStringLiteral("V1/settings"));
    for (const auto& [name, value] : storedValues(cfg)) {
        store.setValue(name, value);
    }
}

}  // namespace tessory::bench
