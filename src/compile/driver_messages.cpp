// SPDX-License-Identifier: MIT
#include "compile/driver_messages.h"

#include "compile/driver_line.h"

namespace tessory {
namespace {

ShaderMessage withoutText(PairSide file, MessageOrigin log) {
    ShaderMessage message;
    message.pane = file;
    message.origin = log;
    message.text = QStringLiteral("the driver wrote an info log without a message");
    message.shown = message.text;
    return message;
}

}  // namespace

ShaderMessage parseDriverLine(QStringView line) {
    line = line.trimmed();
    ShaderMessage message;
    message.shown = line.toString();
    placeAt(line, message);
    if (message.line && *message.line < 1) {
        message.line.reset();
    }
    readSeverityAndText(line, message);
    return message;
}

QList<ShaderMessage> compileLogMessages(QByteArrayView log, PairSide file) {
    const MessageOrigin kind =
        file == PairSide::Fragment ? MessageOrigin::FragmentCompile : MessageOrigin::VertexCompile;
    QList<ShaderMessage> messages;
    forEachLine(log, [&](QStringView line) {
        const QStringView part = messagePart(line);
        if (part.isEmpty()) {
            return;
        }
        ShaderMessage message = parseDriverLine(part);
        message.pane = file;
        message.origin = kind;
        messages.append(std::move(message));
    });
    if (messages.isEmpty() && !log.isEmpty()) {
        messages.append(withoutText(file, kind));
    }
    return messages;
}

QList<ShaderMessage> linkLogMessages(QByteArrayView log) {
    QList<ShaderMessage> messages;
    PairSide file = PairSide::Vertex;
    bool marked = false;
    forEachLine(log, [&](QStringView line) {
        const QStringView part = messagePart(line);
        if (part.isEmpty() || onlyDashes(part)) {
            return;
        }
        if (part.contains(u"vertex info", Qt::CaseInsensitive)) {
            file = PairSide::Vertex;
            marked = true;
            return;
        }
        if (part.contains(u"fragment info", Qt::CaseInsensitive)) {
            file = PairSide::Fragment;
            marked = true;
            return;
        }
        ShaderMessage message = parseDriverLine(part);
        message.pane = file;
        message.origin = MessageOrigin::Link;
        if (!marked) {
            message.line.reset();
            message.column.reset();
        }
        messages.append(std::move(message));
    });
    if (messages.isEmpty() && !log.isEmpty()) {
        messages.append(withoutText(PairSide::Vertex, MessageOrigin::Link));
    }
    return messages;
}

qint64 sourceColumn(QByteArrayView sourceLine, qint64 driverColumn) {
    const qsizetype n = sourceLine.size();
    // The end of the run of blanks and comments at i; i itself when none starts there.
    const auto gapEnd = [&](qsizetype i) {
        while (i < n) {
            if (sourceLine[i] == ' ' || sourceLine[i] == '\t') {
                ++i;
            } else if (sourceLine.sliced(i).startsWith("//")) {
                return n;
            } else if (sourceLine.sliced(i).startsWith("/*")) {
                const qsizetype close = sourceLine.indexOf("*/", i + 2);
                if (close < 0) {
                    return n;
                }
                i = close + 2;
            } else {
                break;
            }
        }
        return i;
    };
    qint64 column = 1;
    for (qsizetype i = 0; i < n;) {
        const qsizetype end = gapEnd(i);
        if (end > i) {
            i = end;
            ++column;
            continue;
        }
        if (column == driverColumn) {
            return i + 1;
        }
        ++column;
        ++i;
    }
    return driverColumn;
}

QList<ShaderMessage> runMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog) {
    QList<ShaderMessage> messages = compileLogMessages(vertexLog, PairSide::Vertex);
    messages.append(compileLogMessages(fragmentLog, PairSide::Fragment));
    messages.append(linkLogMessages(linkLog));
    return messages;
}

}  // namespace tessory
