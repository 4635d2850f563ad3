// SPDX-License-Identifier: MIT
#include "options/settings_file.h"

#include "workspace/file_io.h"
#include "workspace/file_replace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

namespace tessory {
namespace {

[[noreturn]] void fail(const QString& path, const QString& cause) {
    throw std::runtime_error(QStringLiteral("The settings could not be written to %1.\n%2")
                                 .arg(path, cause)
                                 .toStdString());
}

// A value written as a number reads back as text; any other value reads back as itself.
bool sameValue(const QVariant& a, const QVariant& b) {
    return a.typeId() == b.typeId() ? a == b : a.toString() == b.toString();
}

// The old settings, or nothing when they cannot be read: an unreadable old file must not keep
// the new settings from being written, and its foreign entries are then left out.
QByteArray oldSettings(const QString& path) {
    try {
        return QFile::exists(path) ? readWholeFile(path) : QByteArray();
    } catch (const FileError&) {
        return {};
    }
}

}  // namespace

void writeSettingsFile(const QSettings& store, const QString& group,
                       const QList<std::pair<QString, QVariant>>& values) {
    const QString path = store.fileName();
    // QSettings edits the settings in a private copy, which never takes the place of the file:
    // its bytes are written through FileReplacement, which checks every step of the write.
    QTemporaryDir scratchDir;
    const QString scratch = scratchDir.filePath(QStringLiteral("settings"));
    {
        QFile copy(scratch);
        const QByteArray bytes = oldSettings(path);
        if (!scratchDir.isValid() || !copy.open(QIODevice::WriteOnly) ||
            copy.write(bytes) != bytes.size() || !copy.flush()) {
            fail(path, QStringLiteral("No working copy could be made in %1: %2")
                           .arg(scratchDir.path(), copy.errorString()));
        }
    }
    {
        QSettings writer(scratch, store.format());
        writer.beginGroup(group);
        for (const auto& [name, value] : values) {
            writer.setValue(name, value);
        }
        writer.sync();
        // A FormatError only says that the old file held lines QSettings does not know.
        if (writer.status() == QSettings::AccessError) {
            fail(path, QStringLiteral("The working copy in %1 could not be written.")
                           .arg(scratchDir.path()));
        }
    }
    // Only the program's own values are checked: foreign ones may come back changed or not at
    // all (a value of a type this program does not know), which is no failure of the write.
    {
        QSettings reader(scratch, store.format());
        reader.beginGroup(group);
        for (const auto& [name, value] : values) {
            if (!sameValue(value, reader.value(name))) {
                fail(path, QStringLiteral("The new settings did not reach the disk whole; it "
                                          "may be full."));
            }
        }
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        fail(path, QStringLiteral("Its folder cannot be made."));
    }
    try {
        FileReplacement file(path);
        file.write(readWholeFile(scratch));
        file.commit();
    } catch (const FileError& e) {
        fail(path, QString::fromStdString(e.what()).mid(e.path().size() + 2));
    }
}

}  // namespace tessory
