// SPDX-License-Identifier: MIT
#include "compile/driver_host.h"

#include <QEventLoop>

#include <stdexcept>

namespace tessory {

DriverHost::DriverHost(QString program, QStringList arguments, QObject* parent)
    : QObject(parent), program_(std::move(program)), arguments_(std::move(arguments)) {
    limit_.setSingleShot(true);
    connect(&limit_, &QTimer::timeout, this, &DriverHost::timedOut);
}

DriverHost::~DriverHost() {
    if (process_ != nullptr) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(2000);
    }
}

bool DriverHost::isRunning() const {
    return process_ != nullptr && process_->state() != QProcess::NotRunning;
}

void DriverHost::start() {
    ensureStarted();
}

void DriverHost::ensureStarted() {
    if (isRunning()) {
        return;
    }
    delete process_;
    process_ = new QProcess(this);
    process_->setProgram(program_);
    process_->setArguments(arguments_);
    // The driver's own chatter goes where the window's does.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    buffer_.clear();
    ready_ = false;
    headSent_ = false;
    connect(process_, &QProcess::readyReadStandardOutput, this, &DriverHost::readReplies);
    connect(process_, &QProcess::finished, this, &DriverHost::ended);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) {
            return;
        }
        const QString why = process_->errorString();
        emit started(why);
        while (!pending_.empty()) {
            const quint64 id = pending_.front().message.id;
            pending_.pop_front();
            fail(id, {HostFailure::Kind::NotStarted, 0, 0, why});
        }
        limit_.stop();
    });
    process_->start();
}

quint64 DriverHost::send(quint8 kind, const QByteArray& payload, int timeoutMs) {
    const quint64 id = nextId_++;
    pending_.push_back({{id, kind, payload}, timeoutMs});
    ensureStarted();
    // The time runs from now: a host whose driver never gets ready is ended as well.
    if (!headSent_ && !limit_.isActive()) {
        limit_.start(pending_.front().timeoutMs);
    }
    writeNext();
    return id;
}

void DriverHost::writeNext() {
    if (!ready_ || headSent_ || pending_.empty()) {
        return;
    }
    const Pending& head = pending_.front();
    process_->write(frameHostMessage(head.message));
    headSent_ = true;
    limit_.start(head.timeoutMs);
}

void DriverHost::readReplies() {
    buffer_.append(process_->readAllStandardOutput());
    try {
        while (const std::optional<HostMessage> message = takeHostMessage(buffer_)) {
            if (message->kind == HostKind::Ready) {
                ready_ = true;
                emit started(QString::fromUtf8(message->payload));
                continue;
            }
            if (pending_.empty() || pending_.front().message.id != message->id) {
                continue;
            }
            limit_.stop();
            pending_.pop_front();
            headSent_ = false;
            if (message->kind == HostKind::Failed) {
                fail(message->id,
                     {HostFailure::Kind::Refused, 0, 0, QString::fromUtf8(message->payload)});
            } else {
                emit replied(message->id, message->payload);
            }
        }
    } catch (const std::runtime_error&) {
        // A host that writes what no host writes is not to be trusted with more.
        ending_ = HostFailure::Kind::Crashed;
        stopProcess();
        return;
    }
    writeNext();
}

void DriverHost::timedOut() {
    ending_ = HostFailure::Kind::TimedOut;
    stopProcess();
}

void DriverHost::cancel() {
    if (pending_.empty()) {
        return;
    }
    ending_ = HostFailure::Kind::Cancelled;
    stopProcess();
}

void DriverHost::stopProcess() {
    if (process_ != nullptr && process_->state() != QProcess::NotRunning) {
        process_->kill();
    }
}

void DriverHost::ended(int exitCode, QProcess::ExitStatus status) {
    limit_.stop();
    const HostFailure::Kind kind = ending_.value_or(HostFailure::Kind::Crashed);
    ending_.reset();
    const bool wasReady = ready_;
    ready_ = false;
    const int signal = status == QProcess::CrashExit ? exitCode : 0;
    const auto failAll = [this](const HostFailure& failure) {
        while (!pending_.empty()) {
            const quint64 id = pending_.front().message.id;
            pending_.pop_front();
            fail(id, failure);
        }
    };
    if (kind == HostFailure::Kind::Cancelled) {
        failAll({kind, 0, 0, {}});
        return;
    }
    // A host that never got its driver ready would not do better when started again.
    if (!wasReady && kind == HostFailure::Kind::Crashed) {
        failAll({HostFailure::Kind::NotStarted, signal, 0,
                 signal != 0 ? QString() : QStringLiteral("exit status %1").arg(exitCode)});
        return;
    }
    // The request the host was working on fails; those after it go to a new host.
    if (!pending_.empty() && (headSent_ || kind == HostFailure::Kind::TimedOut)) {
        const Pending head = pending_.front();
        pending_.pop_front();
        fail(head.message.id,
             {kind, kind == HostFailure::Kind::Crashed ? signal : 0, head.timeoutMs, {}});
    }
    headSent_ = false;
    if (!pending_.empty()) {
        ensureStarted();
        limit_.start(pending_.front().timeoutMs);
    }
}

void DriverHost::fail(quint64 id, const HostFailure& failure) {
    emit failed(id, failure);
}

DriverHost::Outcome DriverHost::call(quint8 kind, const QByteArray& payload, int timeoutMs) {
    Outcome outcome;
    bool done = false;
    QEventLoop loop;
    const quint64 id = nextId_;
    const QMetaObject::Connection answered =
        connect(this, &DriverHost::replied, &loop, [&](quint64 replyId, const QByteArray& reply) {
            if (replyId == id) {
                outcome.reply = reply;
                done = true;
                loop.quit();
            }
        });
    const QMetaObject::Connection refused =
        connect(this, &DriverHost::failed, &loop, [&](quint64 failedId, const HostFailure& why) {
            if (failedId == id) {
                outcome.failure = why;
                done = true;
                loop.quit();
            }
        });
    send(kind, payload, timeoutMs);
    if (!done) {
        loop.exec();
    }
    disconnect(answered);
    disconnect(refused);
    return outcome;
}

}  // namespace tessory
