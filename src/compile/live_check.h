// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_host.h"
#include "compile/driver_messages.h"
#include "compile/source_expand.h"
#include "compile/target.h"
#include "workspace/pair_side.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <utility>

namespace tessory {

// One message of the live compile, placed in the pane whose text it is about.
struct LiveMark {
    PairSide side = PairSide::Vertex;
    int line = -1;    // 0-based; below 0 when the message names no line
    int column = -1;  // 0-based in the pane's line; below 0 when the driver names none
    MessageSeverity severity = MessageSeverity::Error;
    QString text;

    friend bool operator==(const LiveMark&, const LiveMark&) = default;
};

// One stage of the program as its pane holds it, with the file it was read from (the includes
// are found from there); a pane without a file is named after its tab.
struct LiveStage {
    PairSide side = PairSide::Vertex;
    QString path;
    QByteArray bytes;
};

// The program to compile and how: a lone fragment shader is linked with the engine's full-screen
// vertex stage.
struct LiveCheckRequest {
    QList<LiveStage> stages;
    // Files the stages include that the editor has open, with their texts, saved or not: read in
    // place of the files on disk.
    QList<LiveStage> openFiles;
    Target target = Target::Gl;
    VulkanVersion vulkan = VulkanVersion::V1_3;
    ExpandSettings expand;
};

struct LiveCheckReply {
    Target target = Target::Gl;
    // Every message, lineless ones too, in the order the engine gave them.
    QList<LiveMark> marks;
    // The same messages whole: the file each is about, and the pane it was placed in.
    QList<ShaderMessage> messages;
    // The messages as the preview shows them, one a line; empty for a clean program.
    QString summary;

    bool hasErrors() const;
};

QByteArray encodeLiveCheck(const LiveCheckRequest& request);
LiveCheckRequest decodeLiveCheckRequest(const QByteArray& payload);
QByteArray encodeLiveCheck(const LiveCheckReply& reply);
LiveCheckReply decodeLiveCheckReply(const QByteArray& payload);

// The compile that runs while the user types: once the text has been still for kQuietMs the pair
// goes to the driver host, so that the window holds no driver for it and a driver that hangs or
// crashes on a half-typed line costs only that process. The preview draws from the same host,
// and both the panes' marks and the preview listen to the one answer. Only the answer to the
// latest text is passed on.
class LiveCheck : public QObject {
    Q_OBJECT
public:
    using Sources = std::function<LiveCheckRequest()>;
    // The seconds a check may take, as the settings say now.
    using TimeLimit = std::function<int()>;

    // `hostProgram` started with --driver-host; empty for none (every check then fails).
    LiveCheck(const QString& hostProgram, Sources sources, TimeLimit limit,
              QObject* parent = nullptr);

    DriverHost& host() { return host_; }

    // The text changed: checked once it has been still for kQuietMs.
    void sourcesEdited();
    // Checks the current text now, as when the pause ends.
    void checkNow();

    static constexpr int kQuietMs = 300;

signals:
    void checked(const LiveCheckReply& reply);
    // The host could not answer (no driver, a crash, the time limit): why, in words.
    void failed(const HostFailure& failure);

private:
    void answered(quint64 id, const QByteArray& payload);

    DriverHost host_;
    Sources sources_;
    TimeLimit limit_;
    QTimer quiet_;
    quint64 latest_ = 0;
};

}  // namespace tessory

Q_DECLARE_METATYPE(tessory::LiveCheckReply)
