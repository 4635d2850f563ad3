// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"
#include "preview/renderer.h"

#include <QByteArray>

#include <functional>

namespace tessory {

class DriverHostServer;

// A preview scene and its frame as they cross between the window and the driver host. The frame
// goes as its raw pixels: encoding it would cost more than drawing it.
QByteArray encodeScene(const PreviewScene& scene);
PreviewScene decodeScene(const QByteArray& payload);
QByteArray encodeFrame(const PreviewFrame& frame);
PreviewFrame decodeFrame(const QByteArray& payload);

// The host's preview: a renderer on a context of its own, made at the first frame asked for.
void serveFrames(DriverHostServer& server, std::function<GlContextResult()> makeContext);

}  // namespace tessory
