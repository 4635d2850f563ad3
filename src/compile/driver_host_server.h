// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>

#include <functional>

namespace tessory {

// The driver host's side: requests come in on standard input and are answered on standard
// output, one after the other, each by the handler of its kind.
class DriverHostServer {
public:
    // A handler throws std::exception for a request it cannot carry out; the window is told why.
    using Handler = std::function<QByteArray(const QByteArray& payload)>;

    void handle(quint8 kind, Handler handler) { handlers_.insert(kind, std::move(handler)); }
    // Said with the first message: why the host has no driver to work with; empty when it has.
    void setDriverTrouble(const QByteArray& why) { driverTrouble_ = why; }

    // The host's whole life, until the window closes its end: first it says it is ready, then
    // answers. Standard output is kept for the answers alone: what the driver prints itself goes
    // to standard error. Returns the process's exit status.
    int run();

private:
    QHash<quint8, Handler> handlers_;
    QByteArray driverTrouble_;
};

}  // namespace tessory
