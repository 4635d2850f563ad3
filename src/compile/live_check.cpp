// SPDX-License-Identifier: MIT
#include "compile/live_check.h"

#include <QDataStream>
#include <QIODevice>

#include <stdexcept>

namespace tessory {
namespace {

void requireReadable(const QDataStream& in) {
    if (in.status() != QDataStream::Ok) {
        throw std::runtime_error("a live compile request or answer the driver host cannot read");
    }
}

}  // namespace

bool LiveCheckReply::hasErrors() const {
    for (const LiveMark& mark : marks) {
        if (mark.severity == MessageSeverity::Error) {
            return true;
        }
    }
    return false;
}

QByteArray encodeLiveCheck(const LiveCheckRequest& request) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << request.vertex << request.fragment << request.vertexPath << request.fragmentPath;
    return bytes;
}

LiveCheckRequest decodeLiveCheckRequest(const QByteArray& payload) {
    LiveCheckRequest request;
    QDataStream in(payload);
    in >> request.vertex >> request.fragment >> request.vertexPath >> request.fragmentPath;
    requireReadable(in);
    return request;
}

QByteArray encodeLiveCheck(const LiveCheckReply& reply) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(reply.target) << quint32(reply.marks.size());
    for (const LiveMark& mark : reply.marks) {
        out << qint32(mark.side) << qint32(mark.line) << qint32(mark.column)
            << qint32(mark.severity) << mark.text;
    }
    out << reply.summary;
    return bytes;
}

LiveCheckReply decodeLiveCheckReply(const QByteArray& payload) {
    LiveCheckReply reply;
    QDataStream in(payload);
    qint32 target = 0;
    quint32 count = 0;
    in >> target >> count;
    reply.target = Target(qBound(0, target, int(Target::Vulkan)));
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        LiveMark mark;
        qint32 side = 0;
        qint32 severity = 0;
        in >> side >> mark.line >> mark.column >> severity >> mark.text;
        mark.side = side == 1 ? PairSide::Fragment : PairSide::Vertex;
        mark.severity = severity == 1 ? MessageSeverity::Warning : MessageSeverity::Error;
        reply.marks.append(mark);
    }
    in >> reply.summary;
    requireReadable(in);
    return reply;
}

LiveCheck::LiveCheck(const QString& hostProgram, Sources sources, TimeLimit limit, QObject* parent)
    : QObject(parent),
      host_(hostProgram, {QStringLiteral("--driver-host")}),
      sources_(std::move(sources)),
      limit_(std::move(limit)) {
    setObjectName(QStringLiteral("LiveCheck"));
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &LiveCheck::checkNow);
    connect(&host_, &DriverHost::replied, this, &LiveCheck::answered);
    connect(&host_, &DriverHost::failed, this, [this](quint64 id, const HostFailure& failure) {
        if (id == latest_) {
            emit failed(failure);
        }
    });
}

void LiveCheck::sourcesEdited() {
    // The host loads its driver while the user types on, not after the pause; tried again at the
    // first key after a pause, not at every key, when it cannot start.
    if (!quiet_.isActive() && !host_.isRunning()) {
        host_.start();
    }
    quiet_.start();
}

void LiveCheck::checkNow() {
    quiet_.stop();
    latest_ = host_.send(HostKind::CheckProgram, encodeLiveCheck(sources_()), limit_() * 1000);
}

void LiveCheck::answered(quint64 id, const QByteArray& payload) {
    if (id != latest_) {
        return;
    }
    LiveCheckReply reply;
    try {
        reply = decodeLiveCheckReply(payload);
    } catch (const std::runtime_error& error) {
        emit failed({HostFailure::Kind::Refused, 0, 0, QString::fromUtf8(error.what())});
        return;
    }
    emit checked(reply);
}

}  // namespace tessory
