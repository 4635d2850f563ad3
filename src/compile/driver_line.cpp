// SPDX-License-Identifier: MIT
#include "compile/driver_line.h"

#include "compile/info_log.h"
#include "texts/win1252.h"

#include <limits>

namespace tessory {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

// Reads the decimal digits at pos onward, saturating at the largest qint64; nothing when there
// is no digit there.
std::optional<qint64> readDigits(QStringView text, qsizetype& pos) {
    const qsizetype start = pos;
    qint64 value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        const int digit = text[pos].unicode() - u'0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    if (pos == start) {
        return std::nullopt;
    }
    return value;
}

bool skip(QStringView text, qsizetype& pos, QStringView expected) {
    if (!text.sliced(pos).startsWith(expected)) {
        return false;
    }
    pos += expected.size();
    return true;
}

// The whole text must be: optional blanks, optional sign, decimal digits, optional blanks.
// Nothing else (no hexadecimal, no fraction): a driver never writes a line number that way.
std::optional<qint64> parseWholeNumber(QStringView text) {
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    const std::optional<qint64> magnitude = readDigits(text, pos);
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    if (!magnitude || pos != text.size()) {
        return std::nullopt;
    }
    return negative ? -*magnitude : *magnitude;
}

// "(" number ")" at the very start: the characters from the second one up to the first ")",
// but never the entry's last character.
std::optional<qint64> parenthesisedNumber(QStringView entry) {
    if (!entry.startsWith(u'(')) {
        return std::nullopt;
    }
    QStringView text;
    if (entry.size() >= 3) {
        text = entry.sliced(1, entry.size() - 2);
        const qsizetype close = text.indexOf(u')');
        if (close >= 0) {
            text = text.first(close);
        }
    }
    return parseWholeNumber(text);
}

struct Location {
    qint64 line = 0;
    std::optional<qint64> column;
};

std::optional<Location> driverLocation(QStringView entry) {
    qsizetype pos = 0;
    while (pos < entry.size() && isBlank(entry[pos])) {
        ++pos;
    }
    // AMD and Intel (Windows), and glslang:
    //   ERROR: 0:4: 'undefinedThing' : undeclared identifier
    //   WARNING: 0:2: '' : #version directive missing
    if (skip(entry, pos, u"ERROR: ") || skip(entry, pos, u"WARNING: ")) {
        if (!readDigits(entry, pos) || !skip(entry, pos, u":")) {
            return std::nullopt;
        }
        const std::optional<qint64> line = readDigits(entry, pos);
        if (!line || !skip(entry, pos, u":")) {
            return std::nullopt;
        }
        return Location{*line, std::nullopt};
    }
    if (!readDigits(entry, pos)) {
        return std::nullopt;
    }
    // Mesa:  0:4(23): error: `undefinedThing' undeclared
    if (skip(entry, pos, u":")) {
        const std::optional<qint64> line = readDigits(entry, pos);
        if (!line || !skip(entry, pos, u"(")) {
            return std::nullopt;
        }
        const std::optional<qint64> column = readDigits(entry, pos);
        if (!column || !skip(entry, pos, u")")) {
            return std::nullopt;
        }
        return Location{*line, column};
    }
    // NVIDIA:  0(4) : error C1008: undefined variable "undefinedThing"
    if (skip(entry, pos, u"(")) {
        const std::optional<qint64> line = readDigits(entry, pos);
        if (!line || !skip(entry, pos, u")")) {
            return std::nullopt;
        }
        return Location{*line, std::nullopt};
    }
    return std::nullopt;
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

bool onlyDots(QStringView text) {
    return !text.isEmpty() && skipWhile(text, 0, [](QChar c) { return c == u'.'; }) == text.size();
}

// The zero-based line and the driver's own column (from 1, or 0) at the start of an entry.
struct EntryLocation {
    std::optional<qint64> index;
    std::optional<qint64> column;
};

EntryLocation locate(QStringView entry) {
    std::optional<qint64> number;
    std::optional<qint64> column;
    if (entry.startsWith(u'(')) {
        number = parenthesisedNumber(entry);
    } else if (const std::optional<Location> location = driverLocation(entry)) {
        number = location->line;
        column = location->column;
    }
    if (!number) {
        return {};
    }
    return {*number == 0 ? 0 : *number - 1, column};
}

}  // namespace

// The line as named, below 1 for one before the first. A column 0 is left out: it places the
// caret where no column would.
void placeAt(QStringView entry, ShaderMessage& message) {
    const EntryLocation location = locate(entry);
    if (!location.index) {
        return;
    }
    message.line = *location.index + 1;
    if (location.column && *location.column > 0) {
        message.column = location.column;
    }
}

// Severity and text of a trimmed line whose location, when it names a line, stands at its start.
void readSeverityAndText(QStringView line, ShaderMessage& message) {
    const bool located = message.line && *message.line >= 1;
    const qsizetype start = located ? skipWhile(line, 0, isLocationChar) : 0;
    const std::optional<SeverityWord> word = severityWordAt(line, start);
    if (!word) {
        message.text = line.sliced(start).trimmed().toString();
        return;
    }
    message.severity = word->severity;
    qsizetype pos = start + word->length;
    pos = skipWhile(line, pos, [](QChar c) { return c == u':' || isBlank(c); });
    // AMD and Intel put the word first and the location after it: "ERROR: 0:4: 'x' : ...".
    if (start == 0 && located) {
        pos = skipWhile(line, pos, [](QChar c) { return isDigit(c) || c == u':'; });
        pos = skipWhile(line, pos, isBlank);
    }
    message.text = line.sliced(pos).toString();
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

bool onlyDashes(QStringView text) {
    return !text.isEmpty() && skipWhile(text, 0, [](QChar c) { return c == u'-'; }) == text.size();
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

}  // namespace tessory
