// SPDX-License-Identifier: MIT
#include "compile/driver_messages.h"

#include "compile/info_log.h"
#include "texts/win1252.h"

#include <functional>

namespace tessory {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
// What drivers put before a message to say where it is: "0:4(19): ", "0(4) : ", "(4): ".
bool isLocationChar(QChar c) {
    return isDigit(c) || c == u':' || c == u'(' || c == u')' || isBlank(c);
}

qsizetype skipWhile(QStringView text, qsizetype pos, bool (*predicate)(QChar)) {
    while (pos < text.size() && predicate(text[pos])) {
        ++pos;
    }
    return pos;
}

struct SeverityWord {
    MessageSeverity severity;
    qsizetype length;
};

// "error" or "warning" as a whole word at pos: followed by the end, a colon or a blank, so that
// "errors" or "warnings" in running text do not count.
std::optional<SeverityWord> severityWordAt(QStringView text, qsizetype pos) {
    static constexpr std::pair<QStringView, MessageSeverity> kWords[] = {
        {u"error", MessageSeverity::Error}, {u"warning", MessageSeverity::Warning}};
    for (const auto& [word, severity] : kWords) {
        if (!text.sliced(pos).startsWith(word, Qt::CaseInsensitive)) {
            continue;
        }
        const qsizetype end = pos + word.size();
        if (end == text.size() || text[end] == u':' || isBlank(text[end])) {
            return SeverityWord{severity, word.size()};
        }
    }
    return std::nullopt;
}

std::optional<qint64> oneBasedLine(QStringView line) {
    const std::optional<qint64> index = errorLineIndex(line);
    if (!index || *index < 0) {
        return std::nullopt;
    }
    return *index + 1;
}

bool onlyDots(QStringView text) {
    return !text.isEmpty() && skipWhile(text, 0, [](QChar c) { return c == u'.'; }) == text.size();
}

bool onlyDashes(QStringView text) {
    return !text.isEmpty() && skipWhile(text, 0, [](QChar c) { return c == u'-'; }) == text.size();
}

// The line as a message, or an empty view when it holds none. Mesa ends some link messages with
// "\n." and starts the next one right after the dot, so a dot before a severity word is dropped.
QStringView messagePart(QStringView line) {
    line = line.trimmed();
    if (onlyDots(line)) {
        return {};
    }
    const qsizetype afterDots = skipWhile(line, 0, [](QChar c) { return c == u'.'; });
    if (afterDots > 0 && severityWordAt(line, afterDots)) {
        return line.sliced(afterDots);
    }
    return line;
}

void forEachLine(QByteArrayView log, const std::function<void(QStringView)>& take) {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= log.size(); ++i) {
        if (i == log.size() || log[i] == '\r' || log[i] == '\n') {
            for (const QByteArrayView part : splitRunTogether(log.sliced(start, i - start))) {
                take(fromWin1252(part));
            }
            start = i + 1;
        }
    }
}

// Mesa's "0:4(23):" is the only location form that holds a column.
std::optional<qint64> mesaColumn(QStringView line) {
    qsizetype pos = skipWhile(line, 0, isBlank);
    const auto digits = [&]() {
        const qsizetype start = pos;
        pos = skipWhile(line, pos, isDigit);
        return pos > start;
    };
    const auto mark = [&](QChar c) {
        if (pos < line.size() && line[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    };
    if (!digits() || !mark(u':') || !digits() || !mark(u'(')) {
        return std::nullopt;
    }
    const qsizetype start = pos;
    if (!digits() || !mark(u')')) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 column = line.sliced(start, pos - 1 - start).toLongLong(&ok);
    return ok && column > 0 ? std::optional<qint64>(column) : std::nullopt;
}

DriverMessage withoutText(ErrorPane file, InfoLogKind log) {
    DriverMessage message;
    message.file = file;
    message.log = log;
    message.text = QStringLiteral("the driver wrote an info log without a message");
    return message;
}

}  // namespace

DriverMessage parseDriverLine(QStringView line) {
    line = line.trimmed();
    DriverMessage message;
    message.line = oneBasedLine(line);
    if (message.line) {
        message.column = mesaColumn(line);
    }
    const qsizetype start = message.line ? skipWhile(line, 0, isLocationChar) : 0;
    const std::optional<SeverityWord> word = severityWordAt(line, start);
    if (!word) {
        message.text = line.sliced(start).trimmed().toString();
        return message;
    }
    message.severity = word->severity;
    qsizetype pos = start + word->length;
    pos = skipWhile(line, pos, [](QChar c) { return c == u':' || isBlank(c); });
    // AMD and Intel put the word first and the location after it: "ERROR: 0:4: 'x' : ...".
    if (start == 0 && message.line) {
        pos = skipWhile(line, pos, [](QChar c) { return isDigit(c) || c == u':'; });
        pos = skipWhile(line, pos, isBlank);
    }
    message.text = line.sliced(pos).toString();
    return message;
}

QList<DriverMessage> compileLogMessages(QByteArrayView log, ErrorPane file) {
    const InfoLogKind kind =
        file == ErrorPane::Fragment ? InfoLogKind::FragmentCompile : InfoLogKind::VertexCompile;
    QList<DriverMessage> messages;
    forEachLine(log, [&](QStringView line) {
        const QStringView part = messagePart(line);
        if (part.isEmpty()) {
            return;
        }
        DriverMessage message = parseDriverLine(part);
        message.file = file;
        message.log = kind;
        messages.append(std::move(message));
    });
    if (messages.isEmpty() && !log.isEmpty()) {
        messages.append(withoutText(file, kind));
    }
    return messages;
}

QList<DriverMessage> linkLogMessages(QByteArrayView log) {
    QList<DriverMessage> messages;
    ErrorPane file = ErrorPane::Vertex;
    bool marked = false;
    forEachLine(log, [&](QStringView line) {
        const QStringView part = messagePart(line);
        if (part.isEmpty() || onlyDashes(part)) {
            return;
        }
        if (part.contains(u"vertex info", Qt::CaseInsensitive)) {
            file = ErrorPane::Vertex;
            marked = true;
            return;
        }
        if (part.contains(u"fragment info", Qt::CaseInsensitive)) {
            file = ErrorPane::Fragment;
            marked = true;
            return;
        }
        DriverMessage message = parseDriverLine(part);
        message.file = file;
        message.log = InfoLogKind::Link;
        if (!marked) {
            message.line.reset();
            message.column.reset();
        }
        messages.append(std::move(message));
    });
    if (messages.isEmpty() && !log.isEmpty()) {
        messages.append(withoutText(ErrorPane::Vertex, InfoLogKind::Link));
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

QList<DriverMessage> runMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog) {
    QList<DriverMessage> messages = compileLogMessages(vertexLog, ErrorPane::Vertex);
    messages.append(compileLogMessages(fragmentLog, ErrorPane::Fragment));
    messages.append(linkLogMessages(linkLog));
    return messages;
}

}  // namespace tessory
