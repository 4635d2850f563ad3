// SPDX-License-Identifier: MIT
#include "texts/text_lines.h"

#include <algorithm>
#include <cstring>

namespace tessory {

QList<QByteArray> splitTextLines(QByteArrayView text) {
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0) {
        text = text.first(nul);
    }
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.append(text.sliced(start, i - start).toByteArray());
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        lines.append(text.sliced(start).toByteArray());
    }
    return lines;
}

std::optional<qint64> lineOfFirstNul(QByteArrayView text) {
    const qsizetype nul = text.indexOf('\0');
    if (nul < 0) {
        return std::nullopt;
    }
    qint64 line = 1;
    for (qsizetype i = 0; i < nul; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= nul || text[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

QByteArray joinLinesCrLf(const QList<QByteArray>& lines) {
    qsizetype size = 0;
    for (const QByteArray& line : lines) {
        size += line.size() + 2;
    }
    QByteArray joined;
    joined.reserve(size);
    for (const QByteArray& line : lines) {
        joined.append(line).append("\r\n");
    }
    return joined;
}

QByteArray withCrLfLineEnds(QByteArrayView text) {
    QByteArray converted;
    withCrLfLineEnds(text, converted);
    return converted;
}

void withCrLfLineEnds(QByteArrayView text, QByteArray& converted) {
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0) {
        text = text.first(nul);
    }
    const char* in = text.data();
    const char* const end = in + text.size();
    // Each line end grows by at most one byte, and so does a last line without one.
    const qsizetype lineEnds = std::count(in, end, '\r') + std::count(in, end, '\n');
    const qsizetype most = text.size() + lineEnds + 2;
    if (converted.isDetached() && converted.capacity() >= most) {
        converted.resize(most);
    } else {
        converted = QByteArray(most, Qt::Uninitialized);
    }
    char* out = converted.data();
    // The checker converts every file it compiles, so the text between line ends is found with
    // memchr and copied whole; most files have no CR at all, which one search settles.
    const auto next = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, std::size_t(end - from));
        return found != nullptr ? static_cast<const char*>(found) : end;
    };
    const char* nextCr = next(in, '\r');
    const char* nextLf = next(in, '\n');
    while (in != end) {
        const char* const lineEnd = std::min(nextCr, nextLf);
        std::memcpy(out, in, std::size_t(lineEnd - in));
        out += lineEnd - in;
        if (lineEnd == end) {
            break;
        }
        *out++ = '\r';
        *out++ = '\n';
        in = lineEnd + 1;
        if (*lineEnd == '\r' && in != end && *in == '\n') {
            ++in;
        }
        if (nextCr < in) {
            nextCr = next(in, '\r');
        }
        if (nextLf < in) {
            nextLf = next(in, '\n');
        }
    }
    if (!text.isEmpty() && text.back() != '\r' && text.back() != '\n') {
        *out++ = '\r';
        *out++ = '\n';
    }
    converted.resize(out - converted.constData());
}

}  // namespace tessory
