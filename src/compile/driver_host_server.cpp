// SPDX-License-Identifier: MIT
#include "compile/driver_host_server.h"

#include "compile/driver_host_protocol.h"
#include "workspace/file_replace.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>

#include <unistd.h>

namespace tessory {
namespace {

// The hooks through which tests play a driver that crashes or never returns on one input.
void actOnTestHooks(const QByteArray& payload) {
    const QByteArray abortOn = qgetenv("TESSORY_HOST_ABORT_ON");
    if (!abortOn.isEmpty() && payload.contains(abortOn)) {
        std::abort();
    }
    const QByteArray stallOn = qgetenv("TESSORY_HOST_STALL_ON");
    if (!stallOn.isEmpty() && payload.contains(stallOn)) {
        for (;;) {
            ::pause();
        }
    }
}

}  // namespace

int DriverHostServer::run() {
    // The answers get a descriptor of their own; whatever else writes to standard output (a
    // driver's debug output) ends up on standard error instead of in the middle of an answer.
    const int answers = ::dup(STDOUT_FILENO);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        return 2;
    }
    if (!writeAll(answers, frameHostMessage({0, HostKind::Ready, driverTrouble_}))) {
        return 2;
    }
    QByteArray buffer;
    char chunk[64 * 1024];
    for (;;) {
        std::optional<HostMessage> request;
        try {
            request = takeHostMessage(buffer);
        } catch (const std::exception&) {
            return 2;
        }
        if (!request) {
            const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return 0;
            }
            buffer.append(chunk, n);
            continue;
        }
        actOnTestHooks(request->payload);
        HostMessage answer{request->id, request->kind, {}};
        const auto handler = handlers_.constFind(request->kind);
        try {
            if (handler == handlers_.constEnd()) {
                throw std::runtime_error("the driver host knows no such request");
            }
            answer.payload = (*handler)(request->payload);
        } catch (const std::exception& error) {
            answer.kind = HostKind::Failed;
            answer.payload = QByteArray(error.what());
        }
        if (!writeAll(answers, frameHostMessage(answer))) {
            return 0;
        }
    }
}

}  // namespace tessory
