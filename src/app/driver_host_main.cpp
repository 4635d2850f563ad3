// SPDX-License-Identifier: MIT
#include "app/driver_host_main.h"

#include "compile/driver_host_server.h"
#include "compile/host_check.h"
#include "compile/host_compile.h"
#include "preview/host_render.h"

#include <QCoreApplication>

namespace tessory {
namespace {

// A test plays a machine without a usable driver through the environment.
GlContextResult makeContext() {
    const QString refused = qEnvironmentVariable("TESSORY_HOST_NO_CONTEXT");
    if (!refused.isEmpty()) {
        return {nullptr, refused};
    }
    return GlContext::create();
}

}  // namespace

int runDriverHost(int argc, char** argv) {
    // For the image readers of the preview's textures; no window is ever made.
    QCoreApplication app(argc, argv);
    DriverHostServer server;
    serveCompiles(server, &makeContext);
    serveFrames(server, &makeContext);
    serveChecks(server, &makeContext);
    return server.run();
}

}  // namespace tessory
