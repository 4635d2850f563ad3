// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace tessory {

// What the window asks of the driver host, and what the host answers, on the host's standard
// input and output. Each message is framed by its length, so that a reader knows where it ends
// whatever its payload holds.
struct HostMessage {
    quint64 id = 0;
    quint8 kind = 0;
    QByteArray payload;

    friend bool operator==(const HostMessage&, const HostMessage&) = default;
};

// The kinds of request; a reply carries the kind of its request.
namespace HostKind {
inline constexpr quint8 Ready = 0;         // the host's first message, once its driver is loaded
inline constexpr quint8 CompilePair = 1;   // a vertex and a fragment source: the three logs
inline constexpr quint8 RenderFrame = 2;   // a preview scene: the frame
inline constexpr quint8 CheckProgram = 3;  // the panes' texts: the live compile's messages
inline constexpr quint8 Failed = 255;      // the host could not carry out the request: why
}  // namespace HostKind

// A message as it goes on the pipe.
QByteArray frameHostMessage(const HostMessage& message);
// Takes the first whole message off the front of `buffer`; nothing while it is incomplete.
// Throws std::runtime_error for a frame no writer of this protocol makes.
std::optional<HostMessage> takeHostMessage(QByteArray& buffer);

// The largest frame either side accepts: a frame of 8K pixels, with room for its uniforms.
inline constexpr qint64 kMaxHostFrame = qint64(512) << 20;

}  // namespace tessory
