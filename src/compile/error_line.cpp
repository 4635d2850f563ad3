// SPDX-License-Identifier: MIT
#include "compile/error_line.h"

#include <limits>

namespace tessory {
namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

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

}  // namespace

ErrorPane errorEntryPane(QStringView entry) {
    if (entry.contains(u"[VertexShader]")) {
        return ErrorPane::Vertex;
    }
    if (entry.contains(u"[FragmentShader]")) {
        return ErrorPane::Fragment;
    }
    return ErrorPane::None;
}

std::optional<qint64> errorLineIndex(QStringView entry) {
    std::optional<qint64> number;
    if (entry.startsWith(u'(')) {
        number = parenthesisedNumber(entry);
    } else if (const std::optional<Location> location = driverLocation(entry)) {
        number = location->line;
    }
    if (!number) {
        return std::nullopt;
    }
    return *number == 0 ? 0 : *number - 1;
}

std::optional<qint64> errorColumnIndex(QStringView entry) {
    if (entry.startsWith(u'(')) {
        return std::nullopt;
    }
    const std::optional<Location> location = driverLocation(entry);
    if (!location || !location->column) {
        return std::nullopt;
    }
    return *location->column == 0 ? 0 : *location->column - 1;
}

}  // namespace tessory
