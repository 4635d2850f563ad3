// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace tessory {

class RecoveryStore;

// Writes the unsaved texts of the open documents into a RecoveryStore on a thread of its own, so
// that the editor never waits for the disk while the user types. What is handed over is queued by
// file: a newer text for a file replaces one still waiting, and a removal replaces both, so that
// a slow disk writes each file's latest text once and never a text that was saved in between.
// The caller decides when to hand a text over (a short pause after the last key): update costs a
// lock and a copy of the implicitly shared text, never a read or write of a file.
class RecoveryWriter : public QObject {
    Q_OBJECT
public:
    // `beforeWrite` exists so that tests can hold the thread at a write; it is called on the
    // writer's thread with the file about to be written.
    explicit RecoveryWriter(RecoveryStore& store, QObject* parent = nullptr,
                            std::function<void(const QString& path)> beforeWrite = {});
    // Writes what is still waiting, then ends the thread.
    ~RecoveryWriter() override;
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // The file's unsaved text, edited from the file on disk that `base` describes.
    void update(const QString& path, const ShaderText& text, const FileStamp& base);
    // The file was saved, reloaded or closed unsaved: its text is no longer to be kept.
    void remove(const QString& path);

    // Waits until everything handed over is written or removed; false when `timeoutMs` (if
    // 0 or more) ran out first.
    bool waitForIdle(int timeoutMs = -1);

    // Why the store cannot be written, from the latest failure until a write goes well.
    QString error() const;

signals:
    // The store cannot be written: the folder cannot be made, is read-only or full. Emitted from
    // the writer's thread, once until a write succeeds again, however many fail in between;
    // the writer goes on taking texts.
    void failed(const QString& message);

private:
    struct Job {
        std::optional<ShaderText> text;  // nothing: remove the file's text
        FileStamp base;
        QDateTime handedOver;
    };

    void hand(const QString& path, Job job);
    void run();
    void perform(const QString& path, const Job& job);

    RecoveryStore& store_;
    std::function<void(const QString&)> beforeWrite_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<QString> order_;
    QHash<QString, Job> waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    QString error_;
    std::thread thread_;
};

}  // namespace tessory
