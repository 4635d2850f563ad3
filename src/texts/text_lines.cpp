// SPDX-License-Identifier: MIT
#include "texts/text_lines.h"

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
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0) {
        text = text.first(nul);
    }
    qsizetype lineEnds = 0;
    for (const char c : text) {
        lineEnds += c == '\r' || c == '\n';
    }
    // Each line end grows by at most one byte, and so does a last line without one. Written
    // through a pointer: the checker converts every file it compiles.
    QByteArray converted(text.size() + lineEnds + 2, Qt::Uninitialized);
    char* out = converted.data();
    const char* in = text.data();
    const char* const end = in + text.size();
    while (in != end) {
        const char c = *in++;
        if (c != '\r' && c != '\n') {
            *out++ = c;
            continue;
        }
        *out++ = '\r';
        *out++ = '\n';
        if (c == '\r' && in != end && *in == '\n') {
            ++in;
        }
    }
    if (!text.isEmpty() && text.back() != '\r' && text.back() != '\n') {
        *out++ = '\r';
        *out++ = '\n';
    }
    converted.resize(out - converted.constData());
    return converted;
}

}  // namespace tessory
