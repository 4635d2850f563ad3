// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"

#include <QByteArray>

#include <functional>

namespace tessory {

class DriverHostServer;

// A pair to compile and link in the driver host: the texts of Test Shader's panes, or the bytes
// of two files as the WorkSpace test reads them (CR LF line ends given to the driver, all three
// logs read).
struct PairCompileRequest {
    QByteArray vertex;
    QByteArray fragment;
    bool fromFiles = false;
};

struct PairCompileReply {
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;

    bool hasLog() const {
        return !vertexLog.isEmpty() || !fragmentLog.isEmpty() || !linkLog.isEmpty();
    }
};

QByteArray encodePairCompile(const PairCompileRequest& request);
PairCompileRequest decodePairCompileRequest(const QByteArray& payload);
QByteArray encodePairCompile(const PairCompileReply& reply);
PairCompileReply decodePairCompileReply(const QByteArray& payload);

// The host's compiles on a context made when the host starts, so that the driver is loaded
// before the first request. Without a context every request fails with the reason.
void serveCompiles(DriverHostServer& server, const std::function<GlContextResult()>& makeContext);

}  // namespace tessory
