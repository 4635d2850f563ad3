// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_host_protocol.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <optional>

namespace tessory {

// Why a request to the driver host has no answer.
struct HostFailure {
    enum class Kind { Crashed, TimedOut, Cancelled, NotStarted, Refused };
    Kind kind = Kind::Crashed;
    int signal = 0;   // Crashed: the signal that ended the host, 0 for an exit
    int limitMs = 0;  // TimedOut: the time it was given
    QString detail;   // NotStarted and Refused: why, in words
};

// The OpenGL driver in a process of its own (the program started with --driver-host), so that a
// driver that crashes, or takes minutes on a strange input, takes only that process with it.
// Requests are answered one after the other. One that runs past its time limit ends the host, and
// so does cancel(); the requests after it go to a host started anew, as does the next request
// after a crash.
class DriverHost : public QObject {
    Q_OBJECT
public:
    DriverHost(QString program, QStringList arguments, QObject* parent = nullptr);
    ~DriverHost() override;

    // Starts the host now, so that its driver is loaded before the first request comes.
    void start();
    bool isRunning() const;
    // The host's process id while it runs, 0 otherwise.
    qint64 processId() const { return isRunning() ? process_->processId() : 0; }

    quint64 send(quint8 kind, const QByteArray& payload, int timeoutMs);

    struct Outcome {
        std::optional<QByteArray> reply;
        HostFailure failure;
    };
    // Sends the request and runs the event loop until it is answered or has failed, so that the
    // window paints and takes keys (Escape: cancel) meanwhile.
    Outcome call(quint8 kind, const QByteArray& payload, int timeoutMs);

    // Ends the host: what it was doing and what waits fails as cancelled.
    void cancel();

signals:
    // The host has loaded its driver, or found it cannot: why not, empty when it could.
    void started(const QString& driverTrouble);
    void replied(quint64 id, const QByteArray& payload);
    void failed(quint64 id, const HostFailure& failure);

private:
    struct Pending {
        HostMessage message;
        int timeoutMs = 0;
    };

    void ensureStarted();
    void writeNext();
    void readReplies();
    void ended(int exitCode, QProcess::ExitStatus status);
    void timedOut();
    void fail(quint64 id, const HostFailure& failure);
    void stopProcess();

    QString program_;
    QStringList arguments_;
    QProcess* process_ = nullptr;
    QByteArray buffer_;
    std::deque<Pending> pending_;
    bool headSent_ = false;
    bool ready_ = false;
    QTimer limit_;
    quint64 nextId_ = 1;
    // Set while the host is being ended on purpose, with what its requests then fail as.
    std::optional<HostFailure::Kind> ending_;
};

}  // namespace tessory

Q_DECLARE_METATYPE(tessory::HostFailure)
