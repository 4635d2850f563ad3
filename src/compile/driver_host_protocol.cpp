// SPDX-License-Identifier: MIT
#include "compile/driver_host_protocol.h"

#include <QtEndian>

#include <cstring>
#include <stdexcept>

namespace tessory {
namespace {

// Length of what follows, id, kind.
constexpr qsizetype kHeader = 4 + 8 + 1;

}  // namespace

QByteArray frameHostMessage(const HostMessage& message) {
    QByteArray frame(kHeader, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(8 + 1 + message.payload.size()), frame.data());
    qToBigEndian<quint64>(message.id, frame.data() + 4);
    frame[12] = char(message.kind);
    frame.append(message.payload);
    return frame;
}

std::optional<HostMessage> takeHostMessage(QByteArray& buffer) {
    if (buffer.size() < 4) {
        return std::nullopt;
    }
    const quint32 length = qFromBigEndian<quint32>(buffer.constData());
    if (length < 9 || length > kMaxHostFrame) {
        throw std::runtime_error("a message of the driver host has a length no message has");
    }
    if (buffer.size() < qsizetype(4 + length)) {
        return std::nullopt;
    }
    HostMessage message;
    message.id = qFromBigEndian<quint64>(buffer.constData() + 4);
    message.kind = quint8(buffer[12]);
    message.payload = buffer.mid(kHeader, length - 9);
    buffer.remove(0, 4 + length);
    return message;
}

}  // namespace tessory
