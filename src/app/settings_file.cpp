// SPDX-License-Identifier: MIT
#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace tessory {
namespace {

[[noreturn]] void fail(const QString& path, const QString& cause) {
    throw std::runtime_error(QStringLiteral("The settings could not be written to %1.\n%2")
                                 .arg(path, cause)
                                 .toStdString());
}

using Entries = QMap<QString, QVariant>;

// Every entry of a settings file as a fresh reader finds it on the disk: with no changes of its
// own pending, QSettings reads the file anew.
Entries entriesOnDisk(const QString& path, QSettings::Format format) {
    const QSettings reader(path, format);
    Entries entries;
    for (const QString& key : reader.allKeys()) {
        entries.insert(key, reader.value(key));
    }
    return entries;
}

// A value written as a number reads back as text; any other value reads back as itself.
bool sameValue(const QVariant& a, const QVariant& b) {
    return a.typeId() == b.typeId() ? a == b : a.toString() == b.toString();
}

bool sameEntries(const Entries& intended, const Entries& found) {
    if (intended.keys() != found.keys()) {
        return false;
    }
    for (auto it = intended.cbegin(); it != intended.cend(); ++it) {
        if (!sameValue(it.value(), found.value(it.key()))) {
            return false;
        }
    }
    return true;
}

// A copy of the file (or an empty file when there is none yet) beside it, with its permissions.
void copyInto(QTemporaryFile& scratch, const QString& path) {
    if (!scratch.open()) {
        fail(path, scratch.errorString());
    }
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly)) {
            fail(path, old.errorString());
        }
        const QByteArray bytes = old.readAll();
        if (old.error() != QFileDevice::NoError) {
            fail(path, old.errorString());
        }
        if (scratch.write(bytes) != bytes.size() || !scratch.flush()) {
            fail(path, scratch.errorString());
        }
        scratch.setPermissions(old.permissions());
    }
    scratch.close();
}

}  // namespace

void writeSettingsFile(const QSettings& store, const QString& group,
                       const QList<std::pair<QString, QVariant>>& values) {
    QString path = store.fileName();
    const QFileInfo info(path);
    // A linked settings file is written where the link leads, as QSettings itself does.
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) {
        path = info.canonicalFilePath();
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        fail(path, QStringLiteral("Its folder cannot be made."));
    }
    QTemporaryFile scratch(path + QStringLiteral(".XXXXXX"));
    copyInto(scratch, path);

    Entries intended;
    {
        QSettings writer(scratch.fileName(), store.format());
        writer.beginGroup(group);
        for (const auto& [name, value] : values) {
            writer.setValue(name, value);
        }
        writer.endGroup();
        writer.sync();
        if (writer.status() != QSettings::NoError) {
            fail(path, QStringLiteral("The disk may be full, or its folder not writable."));
        }
        for (const QString& key : writer.allKeys()) {
            intended.insert(key, writer.value(key));
        }
    }
    if (!sameEntries(intended, entriesOnDisk(scratch.fileName(), store.format()))) {
        fail(path,
             QStringLiteral("The new settings did not reach the disk whole; it may be full."));
    }
    if (std::rename(QFile::encodeName(scratch.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        fail(path, qt_error_string(errno));
    }
    // The copy is the settings file now.
    scratch.setAutoRemove(false);
}

}  // namespace tessory
