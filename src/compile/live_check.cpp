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

void writeLocation(QDataStream& out, const SourceLocation& at) {
    out << at.path << bool(at.line) << at.line.value_or(0) << bool(at.column)
        << at.column.value_or(0);
}

SourceLocation readLocation(QDataStream& in) {
    SourceLocation at;
    bool hasLine = false;
    bool hasColumn = false;
    qint64 line = 0;
    qint64 column = 0;
    in >> at.path >> hasLine >> line >> hasColumn >> column;
    if (hasLine) {
        at.line = line;
    }
    if (hasColumn) {
        at.column = column;
    }
    return at;
}

void writeMessage(QDataStream& out, const ShaderMessage& message) {
    writeLocation(out, message.location());
    out << qint32(message.severity) << message.text << qint32(message.origin)
        << qint32(message.stage ? int(*message.stage) : -1)
        << qint32(message.pane ? int(*message.pane) : -1) << message.shown
        << quint32(message.includedFrom.size());
    for (const SourceLocation& at : message.includedFrom) {
        writeLocation(out, at);
    }
}

ShaderMessage readMessage(QDataStream& in) {
    ShaderMessage message;
    const SourceLocation at = readLocation(in);
    message.path = at.path;
    message.line = at.line;
    message.column = at.column;
    qint32 severity = 0;
    qint32 origin = 0;
    qint32 stage = -1;
    qint32 pane = -1;
    quint32 includes = 0;
    in >> severity >> message.text >> origin >> stage >> pane >> message.shown >> includes;
    message.severity = severity == 1 ? MessageSeverity::Warning : MessageSeverity::Error;
    message.origin = MessageOrigin(qBound(0, origin, int(MessageOrigin::Setup)));
    message.stage = stage >= 0 && stage <= int(ShaderStage::Task)
                        ? std::optional<ShaderStage>(ShaderStage(stage))
                        : std::nullopt;
    message.pane =
        pane >= 0 && pane < kPaneCount ? std::optional<PairSide>(PairSide(pane)) : std::nullopt;
    for (quint32 i = 0; i < includes && in.status() == QDataStream::Ok; ++i) {
        message.includedFrom.append(readLocation(in));
    }
    return message;
}

void writeStages(QDataStream& out, const QList<LiveStage>& stages) {
    out << quint32(stages.size());
    for (const LiveStage& stage : stages) {
        out << qint32(stage.side) << stage.path << stage.bytes;
    }
}

// Sides at or past `sides` are taken as the last one below it.
QList<LiveStage> readStages(QDataStream& in, int sides) {
    QList<LiveStage> stages;
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        LiveStage stage;
        qint32 side = 0;
        in >> side >> stage.path >> stage.bytes;
        stage.side = PairSide(qBound(0, side, sides - 1));
        stages.append(stage);
    }
    return stages;
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
    writeStages(out, request.stages);
    writeStages(out, request.openFiles);
    out << qint32(request.target) << qint32(request.vulkan) << request.expand.includeDirs
        << request.expand.root << quint32(request.expand.defines.size());
    for (const Define& define : request.expand.defines) {
        out << define.name << bool(define.value) << define.value.value_or(QString());
    }
    return bytes;
}

LiveCheckRequest decodeLiveCheckRequest(const QByteArray& payload) {
    LiveCheckRequest request;
    QDataStream in(payload);
    request.stages = readStages(in, kSideCount);
    request.openFiles = readStages(in, kPaneCount);
    qint32 target = 0;
    qint32 vulkan = 0;
    quint32 defines = 0;
    in >> target >> vulkan >> request.expand.includeDirs >> request.expand.root >> defines;
    request.target = Target(qBound(0, target, int(Target::Vulkan)));
    request.vulkan = VulkanVersion(qBound(0, vulkan, int(VulkanVersion::V1_3)));
    for (quint32 i = 0; i < defines && in.status() == QDataStream::Ok; ++i) {
        Define define;
        bool valued = false;
        QString value;
        in >> define.name >> valued >> value;
        if (valued) {
            define.value = value;
        }
        request.expand.defines.append(define);
    }
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
    out << quint32(reply.messages.size());
    for (const ShaderMessage& message : reply.messages) {
        writeMessage(out, message);
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
        mark.side = PairSide(qBound(0, side, kPaneCount - 1));
        mark.severity = severity == 1 ? MessageSeverity::Warning : MessageSeverity::Error;
        reply.marks.append(mark);
    }
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        reply.messages.append(readMessage(in));
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
