// SPDX-License-Identifier: MIT
#include "compile/error_list_messages.h"

#include "compile/driver_line.h"
#include "compile/info_log.h"
#include "texts/win1252.h"

namespace tessory {
namespace {

QStringView withoutTag(QStringView entry) {
    for (const QByteArrayView tag : {kVertexSuffix, kFragmentSuffix}) {
        if (entry.endsWith(QLatin1StringView(tag.data(), tag.size()))) {
            return entry.chopped(tag.size());
        }
    }
    return entry;
}

}  // namespace

std::optional<PairSide> errorEntryPane(QStringView entry) {
    if (entry.contains(u"[VertexShader]")) {
        return PairSide::Vertex;
    }
    if (entry.contains(u"[FragmentShader]")) {
        return PairSide::Fragment;
    }
    return std::nullopt;
}

ShaderMessage errorListEntry(QStringView entry) {
    ShaderMessage message;
    message.shown = entry.toString();
    message.pane = errorEntryPane(entry);
    placeAt(entry, message);
    readSeverityAndText(withoutTag(entry).trimmed(), message);
    return message;
}

QList<ShaderMessage> errorListMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                       QByteArrayView linkLog) {
    const ErrorListReport report = composeErrorList(vertexLog, fragmentLog, linkLog);
    const bool linkRead = vertexLog.isEmpty() && fragmentLog.isEmpty() && !linkLog.isEmpty();
    QList<ShaderMessage> messages;
    messages.reserve(report.entries.size());
    for (const QByteArray& entry : report.entries) {
        ShaderMessage message = errorListEntry(fromWin1252(entry));
        message.origin = linkRead                             ? MessageOrigin::Link
                         : message.pane == PairSide::Fragment ? MessageOrigin::FragmentCompile
                                                              : MessageOrigin::VertexCompile;
        messages.append(std::move(message));
    }
    return messages;
}

}  // namespace tessory
