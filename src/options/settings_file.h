// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <utility>

namespace tessory {

// Writes the values into `group` of the settings file behind `store`, keeping the other entries
// of it that QSettings can read, so that afterwards the file holds either all of the new settings
// or its old content byte for byte. QSettings alone is not enough: it replaces its file through
// QSaveFile, whose commit (Qt 6.4) misses a failure to write the last buffered bytes, so on a
// full disk it puts an empty file where the settings were and reports success. Here the settings
// are written into a private copy, read back, and written as a FileReplacement. An old file that
// cannot be read or holds lines QSettings does not know is no failure.
// Throws std::runtime_error naming the file and the cause when the settings could not be written.
void writeSettingsFile(const QSettings& store, const QString& group,
                       const QList<std::pair<QString, QVariant>>& values);

}  // namespace tessory
