// SPDX-License-Identifier: MIT
#include "workspace/recovery_writer.h"

#include "workspace/recovery_store.h"

#include <QCoreApplication>

#include <chrono>

namespace tessory {

RecoveryWriter::RecoveryWriter(RecoveryStore& store, QObject* parent,
                               std::function<void(const QString& path)> beforeWrite)
    : QObject(parent), store_(store), beforeWrite_(std::move(beforeWrite)) {
    thread_ = std::thread([this] { run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        const std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RecoveryWriter::update(const QString& path, const ShaderText& text, const FileStamp& base) {
    hand(path, {text, base, QDateTime::currentDateTimeUtc()});
}

void RecoveryWriter::remove(const QString& path) {
    hand(path, {std::nullopt, {}, {}});
}

void RecoveryWriter::hand(const QString& path, Job job) {
    {
        const std::lock_guard guard(mutex_);
        if (!waiting_.contains(path)) {
            order_.push_back(path);
        }
        waiting_.insert(path, std::move(job));
    }
    wake_.notify_one();
}

bool RecoveryWriter::waitForIdle(int timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto done = [this] { return order_.empty() && !busy_; };
    if (timeoutMs < 0) {
        idle_.wait(lock, done);
        return true;
    }
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), done);
}

QString RecoveryWriter::error() const {
    const std::lock_guard guard(mutex_);
    return error_;
}

void RecoveryWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !order_.empty(); });
        if (order_.empty()) {
            return;
        }
        const QString path = order_.front();
        order_.pop_front();
        const Job job = waiting_.take(path);
        busy_ = true;
        lock.unlock();
        perform(path, job);
        lock.lock();
        busy_ = false;
        if (order_.empty()) {
            idle_.notify_all();
        }
    }
}

void RecoveryWriter::perform(const QString& path, const Job& job) {
    QString failure;
    try {
        if (job.text) {
            if (beforeWrite_) {
                beforeWrite_(path);
            }
            store_.write(
                {path, job.base, *job.text, QCoreApplication::applicationPid(), job.handedOver});
        } else {
            store_.remove(path);
        }
    } catch (const FileError& e) {
        failure = QString::fromStdString(e.what());
    }
    bool firstFailure = false;
    {
        // Only a write shows that the store works again: a removal of nothing always succeeds.
        const std::lock_guard guard(mutex_);
        firstFailure = error_.isEmpty() && !failure.isEmpty();
        if (!failure.isEmpty() || job.text) {
            error_ = failure;
        }
    }
    if (firstFailure) {
        emit failed(failure);
    }
}

}  // namespace tessory
