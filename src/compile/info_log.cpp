// SPDX-License-Identifier: MIT
#include "compile/info_log.h"

#include <algorithm>

namespace tessory {
namespace {

// Position is 1-based. A count beyond the end takes what remains; a count of 0 or less, nothing.
QByteArray copyFrom(QByteArrayView text, qsizetype position, qsizetype count) {
    const qsizetype start = position - 1;
    if (count <= 0 || start < 0 || start >= text.size()) {
        return {};
    }
    return text.sliced(start, std::min(count, text.size() - start)).toByteArray();
}

// Only A to Z: the markers are ASCII, and the log's other bytes are Windows-1252.
QByteArray lowerAsciiLetters(QByteArrayView text) {
    QByteArray lowered = text.toByteArray();
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = char(c - 'A' + 'a');
        }
    }
    return lowered;
}

QByteArray fromFirstParenthesis(const QByteArray& part) {
    const qsizetype paren = part.indexOf('(');
    return paren < 0 ? part : part.sliced(paren);
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

QList<QByteArrayView> splitRunTogether(QByteArrayView line) {
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        if (!isAsciiLetter(line[i - 1])) {
            continue;
        }
        const QByteArrayView rest = line.sliced(i);
        if (rest.startsWith("error: ") || rest.startsWith("warning: ")) {
            parts.append(line.sliced(start, i - start));
            start = i;
        }
    }
    parts.append(line.sliced(start));
    return parts;
}

void splitLogInto(QByteArrayView log, QByteArrayView suffix, QList<QByteArray>& target) {
    const auto add = [&](QByteArrayView line) {
        for (const QByteArrayView part : splitRunTogether(line)) {
            QByteArray entry;
            entry.reserve(part.size() + suffix.size());
            entry.append(part).append(suffix);
            target.append(std::move(entry));
        }
    };
    qsizetype start = 0;
    for (qsizetype i = 0; i < log.size(); ++i) {
        if (log[i] == '\r' || log[i] == '\n') {
            add(log.sliced(start, i - start));
            start = i + 1;
        }
    }
    add(log.sliced(start));
}

QByteArray trimControls(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlankOrControl(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin).toByteArray();
}

LinkLogParts divideLinkLog(QByteArrayView log) {
    const qsizetype n = log.size();
    const QByteArray lowered = lowerAsciiLetters(log);
    qsizetype p1 = lowered.indexOf("vertex info") + 1;
    qsizetype p2 = lowered.indexOf("fragment info") + 1;
    if (p1 == 0) {
        p1 = 1;
    }
    if (p2 == 0) {
        p2 = n;
    }
    return {trimControls(copyFrom(log, p1, p2 - p1)),
            trimControls(copyFrom(log, p2, n - p1 - p2 + 1))};
}

ErrorListReport composeErrorList(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog) {
    ErrorListReport report;
    QList<QByteArray> vertexEntries;
    QList<QByteArray> fragmentEntries;
    bool vertexReported = false;
    bool fragmentReported = false;
    if (!vertexLog.isEmpty()) {
        report.hasLog = vertexReported = true;
        splitLogInto(vertexLog.chopped(1), kVertexSuffix, vertexEntries);
    }
    if (!fragmentLog.isEmpty()) {
        report.hasLog = fragmentReported = true;
        splitLogInto(fragmentLog.chopped(1), kFragmentSuffix, fragmentEntries);
    }
    if (!report.hasLog && !linkLog.isEmpty()) {
        report.hasLog = true;
        const LinkLogParts parts = divideLinkLog(linkLog);
        if (!parts.fragment.isEmpty()) {
            fragmentReported = true;
            splitLogInto(trimControls(fromFirstParenthesis(parts.fragment)), kFragmentSuffix,
                         fragmentEntries);
        }
        if (!parts.vertex.isEmpty()) {
            vertexReported = true;
            splitLogInto(trimControls(fromFirstParenthesis(parts.vertex)), kVertexSuffix,
                         vertexEntries);
        }
    }
    report.entries.reserve(vertexEntries.size() + fragmentEntries.size() + 2);
    if (vertexReported) {
        report.entries.append(vertexEntries);
    } else {
        report.entries.append(kVertexOk.toByteArray());
    }
    if (fragmentReported) {
        report.entries.append(fragmentEntries);
    } else {
        report.entries.append(kFragmentOk.toByteArray());
    }
    return report;
}

}  // namespace tessory
