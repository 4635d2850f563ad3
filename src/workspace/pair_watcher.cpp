// SPDX-License-Identifier: MIT
#include "workspace/pair_watcher.h"

#include <QFileInfo>

namespace tessory {

PairWatcher::PairWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(100);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &PairWatcher::noticed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &PairWatcher::noticed);
    connect(&settle_, &QTimer::timeout, this, [this] {
        // A file replaced by a rename is no longer watched under its name: watch it again.
        watch(files_);
        emit changed();
    });
}

void PairWatcher::watch(const QStringList& files) {
    files_ = files;
    QStringList wanted;
    for (const QString& file : files) {
        if (QFileInfo::exists(file)) {
            wanted.append(file);
        }
        const QString folder = QFileInfo(file).absolutePath();
        if (!wanted.contains(folder) && QFileInfo(folder).isDir()) {
            wanted.append(folder);
        }
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) {
        watcher_.removePaths(watched);
    }
    if (!wanted.isEmpty()) {
        watcher_.addPaths(wanted);
    }
}

void PairWatcher::noticed() {
    if (!files_.isEmpty()) {
        settle_.start();
    }
}

}  // namespace tessory
