// SPDX-License-Identifier: MIT
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace tessory {

// Watches the open pair's files, and their folder so that a file replaced by a rename or made
// anew is seen too, and announces changes once they have settled: a program that writes a file
// in several steps, or a save that replaces both files, gives one announcement. What changed is
// for the receiver to find out; the editor's own saves are announced as well.
class PairWatcher : public QObject {
    Q_OBJECT
public:
    explicit PairWatcher(QObject* parent = nullptr);

    // Watches these files from now on, in place of any others; none stops watching.
    void watch(const QStringList& files);
    const QStringList& files() const { return files_; }

signals:
    void changed();

private:
    void noticed();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QStringList files_;
};

}  // namespace tessory
