// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <utility>

namespace tessory {

// Writes the values into `group` of the settings file behind `store`, keeping every other entry
// of it, so that afterwards the file holds either all of the new settings or its old content byte
// for byte. QSettings alone is not enough: it replaces its file through QSaveFile, whose commit
// (Qt 6.4) misses a failure to write the last buffered bytes, so on a full disk it puts an empty
// file where the settings were and reports success. Here the settings are written into a copy
// beside the file, read back, and put in its place only when complete.
// Throws std::runtime_error naming the file when the settings could not be written.
void writeSettingsFile(const QSettings& store, const QString& group,
                       const QList<std::pair<QString, QVariant>>& values);

}  // namespace tessory
