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
    QByteArray converted;
    // Each line end grows by at most one byte, and so does a last line without one.
    converted.reserve(text.size() + text.count('\n') + text.count('\r') + 2);
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            converted.append(text.sliced(start, i - start)).append("\r\n");
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) {
        converted.append(text.sliced(start)).append("\r\n");
    }
    return converted;
}

}  // namespace tessory
