// SPDX-License-Identifier: MIT
#include "compile/error_list_messages.h"

#include "compile/driver_line.h"
#include "compile/info_log.h"
#include "texts/win1252.h"

#include <QFileInfo>

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

QList<ShaderMessage> programListMessages(const QList<ShaderMessage>& messages,
                                         const QList<PairSide>& panes) {
    const auto entry = [](ShaderMessage message, PairSide pane) {
        QString where = QFileInfo(message.path).fileName();
        if (message.line) {
            where += u':' + QString::number(*message.line);
            if (message.column) {
                where += u'(' + QString::number(*message.column) + u')';
            }
        }
        message.shown = where + QStringLiteral(": ") +
                        (message.severity == MessageSeverity::Warning ? QStringLiteral("warning: ")
                                                                      : QStringLiteral("error: ")) +
                        message.text + QStringLiteral("  [") + sideName(pane) + u']';
        return message;
    };
    QList<ShaderMessage> list;
    for (const PairSide pane : panes) {
        bool any = false;
        for (const ShaderMessage& message : messages) {
            if (message.pane == pane && message.origin != MessageOrigin::Link) {
                any = true;
                list.append(entry(message, pane));
            }
        }
        if (!any) {
            ShaderMessage ok;
            ok.pane = std::nullopt;
            ok.shown = sideName(pane) + QStringLiteral(": OK");
            ok.text = ok.shown;
            list.append(ok);
        }
    }
    // What the link says follows from the stages', so it comes after all of them.
    for (const ShaderMessage& message : messages) {
        if (message.origin == MessageOrigin::Link && message.pane) {
            list.append(entry(message, *message.pane));
        }
    }
    return list;
}

}  // namespace tessory
