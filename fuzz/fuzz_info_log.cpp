// SPDX-License-Identifier: MIT
// The error list made from a compile-and-link run's three info logs, and the driver messages read
// from the same logs. The input holds the vertex, fragment and link logs separated by NUL bytes
// (a driver's log is a C string, so it never holds one); a missing log is empty.
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"
#include "compile/info_log.h"
#include "texts/win1252.h"

#include "fuzz_check.h"

#include <QList>

#include <cctype>

#include <array>
#include <cstdint>

using namespace tessory;

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

qsizetype lineEndCount(QByteArrayView text) {
    return text.count('\r') + text.count('\n');
}

bool isControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

QByteArray asciiLower(QByteArrayView text) {
    QByteArray lowered = text.toByteArray();
    for (char& c : lowered) {
        c = (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c;
    }
    return lowered;
}

void checkTrim(QByteArrayView text) {
    const QByteArray trimmed = trimControls(text);
    qsizetype lead = 0;
    while (lead < text.size() && isControl(text[lead])) {
        ++lead;
    }
    FUZZ_CHECK(text.sliced(lead).startsWith(trimmed));
    FUZZ_CHECK(trimmed.isEmpty() ? lead == text.size()
                                 : !isControl(trimmed.front()) && !isControl(trimmed.back()));
    FUZZ_CHECK(trimControls(trimmed) == trimmed);
}

// At least one entry per line, each with the suffix, appended behind what the list held: a line
// is cut only before an "error: " or "warning: " that follows a letter (Mesa runs two messages
// together that way). The entries without their suffix, put back together with the log's own
// line ends, are the log.
void checkSplit(QByteArrayView log, QByteArrayView suffix) {
    QList<QByteArray> entries{"earlier entry"};
    splitLogInto(log, suffix, entries);
    FUZZ_CHECK(entries.size() >= lineEndCount(log) + 2 && entries[0] == "earlier entry");
    QByteArray rebuilt;
    qsizetype at = 0;
    for (qsizetype k = 1; k < entries.size(); ++k) {
        FUZZ_CHECK(entries[k].endsWith(suffix));
        const QByteArray line = entries[k].chopped(suffix.size());
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        rebuilt += line;
        at += line.size();
        if (k + 1 == entries.size()) {
            break;
        }
        FUZZ_CHECK(at <= log.size());
        if (at < log.size() && isLineEnd(log[at])) {
            rebuilt += log[at++];
        } else {
            // A cut inside a line: right after a letter, before the next message's word.
            const QByteArray next = entries[k + 1];
            FUZZ_CHECK(!line.isEmpty() && std::isalpha(static_cast<unsigned char>(line.back())));
            FUZZ_CHECK(next.startsWith("error: ") || next.startsWith("warning: "));
        }
    }
    FUZZ_CHECK(rebuilt == log);
}

// The parts of a link log: the vertex part runs from the "vertex info" marker (or the start) to
// the "fragment info" marker (or the second-to-last byte); the fragment part from its marker
// to the last byte, less as many bytes as the vertex marker stands after the start.
void checkDivision(QByteArrayView log) {
    const LinkLogParts parts = divideLinkLog(log);
    const QByteArray lowered = asciiLower(log);
    const qsizetype vertexMarker = lowered.indexOf("vertex info");
    const qsizetype fragmentMarker = lowered.indexOf("fragment info");
    const qsizetype n = log.size();
    const qsizetype vertexStart = vertexMarker < 0 ? 0 : vertexMarker;
    const qsizetype vertexEnd = fragmentMarker < 0 ? n - 1 : fragmentMarker;
    const auto piece = [&](qsizetype from, qsizetype to) {
        return from < to ? trimControls(log.sliced(from, to - from)) : QByteArray();
    };
    FUZZ_CHECK(parts.vertex == piece(vertexStart, vertexEnd));
    FUZZ_CHECK(parts.fragment ==
               (fragmentMarker < 0 ? QByteArray() : piece(fragmentMarker, n - 1 - vertexStart)));
}

void checkErrorList(QByteArrayView vertex, QByteArrayView fragment, QByteArrayView link) {
    const ErrorListReport report = composeErrorList(vertex, fragment, link);
    FUZZ_CHECK(report.hasLog == !(vertex.isEmpty() && fragment.isEmpty() && link.isEmpty()));
    const QList<QByteArray>& entries = report.entries;
    qsizetype vertexEntries = 0;
    while (vertexEntries < entries.size() && entries[vertexEntries].endsWith(kVertexSuffix)) {
        ++vertexEntries;
    }
    const bool vertexOk = vertexEntries == 0;
    FUZZ_CHECK(!vertexOk || (!entries.isEmpty() && entries[0] == kVertexOk));
    const qsizetype firstFragment = vertexEntries + (vertexOk ? 1 : 0);
    const bool fragmentOk = entries.size() == firstFragment + 1 && entries.back() == kFragmentOk;
    FUZZ_CHECK(fragmentOk || entries.size() > firstFragment);
    for (qsizetype k = firstFragment; !fragmentOk && k < entries.size(); ++k) {
        FUZZ_CHECK(entries[k].endsWith(kFragmentSuffix));
    }
    const qsizetype fragmentEntries = fragmentOk ? 0 : entries.size() - firstFragment;
    // A compile log loses its last byte, the driver's closing line break. Each line gives one
    // entry, and one more for each message Mesa ran into it.
    const auto entriesFit = [](qsizetype count, QByteArrayView log) {
        const QByteArrayView shown = log.chopped(1);
        return count >= lineEndCount(shown) + 1 &&
               count <= lineEndCount(shown) + 1 + shown.count("error: ") + shown.count("warning: ");
    };
    if (!vertex.isEmpty()) {
        FUZZ_CHECK(entriesFit(vertexEntries, vertex));
    }
    if (!fragment.isEmpty()) {
        FUZZ_CHECK(entriesFit(fragmentEntries, fragment));
    }
    const bool linkRead = vertex.isEmpty() && fragment.isEmpty() && !link.isEmpty();
    if (vertex.isEmpty() && !linkRead) {
        FUZZ_CHECK(vertexOk);
    }
    if (fragment.isEmpty() && !linkRead) {
        FUZZ_CHECK(fragmentOk);
    }
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const QString entry = fromWin1252(entries[k]);
        const std::optional<PairSide> pane = errorEntryPane(entry);
        if (k < vertexEntries) {
            FUZZ_CHECK(pane == PairSide::Vertex);
        } else if (entries[k].endsWith(kFragmentSuffix)) {
            FUZZ_CHECK(pane == PairSide::Fragment || entry.contains(u"[VertexShader]"));
        } else {
            FUZZ_CHECK(pane == std::nullopt);
        }
        if (linkRead && entries[k] != kVertexOk && entries[k] != kFragmentOk) {
            const QByteArray line = entries[k].chopped(k < vertexEntries ? kVertexSuffix.size()
                                                                         : kFragmentSuffix.size());
            FUZZ_CHECK(link.contains(line));
        }
    }
}

void checkMessages(QByteArrayView vertex, QByteArrayView fragment, QByteArrayView link) {
    const QList<ShaderMessage> messages = runMessages(vertex, fragment, link);
    const std::array<QByteArrayView, 3> logs = {vertex, fragment, link};
    const std::array<MessageOrigin, 3> kinds = {
        MessageOrigin::VertexCompile, MessageOrigin::FragmentCompile, MessageOrigin::Link};
    // Without a heading the driver has not said which file it counts lines in.
    const QByteArray lowered = asciiLower(link);
    const bool headed = lowered.contains("vertex info") || lowered.contains("fragment info");
    qsizetype k = 0;
    for (int log = 0; log < 3; ++log) {
        const qsizetype first = k;
        while (k < messages.size() && messages[k].origin == kinds[log]) {
            const ShaderMessage& m = messages[k];
            FUZZ_CHECK(m.pane == PairSide::Vertex || m.pane == PairSide::Fragment);
            if (log == 0) {
                FUZZ_CHECK(m.pane == PairSide::Vertex);
            } else if (log == 1) {
                FUZZ_CHECK(m.pane == PairSide::Fragment);
            }
            FUZZ_CHECK(!m.line || *m.line >= 1);
            FUZZ_CHECK(!m.text.contains(u'\r') && !m.text.contains(u'\n'));
            FUZZ_CHECK(log != 2 || headed || !m.line);
            ++k;
        }
        const qsizetype count = k - first;
        FUZZ_CHECK(logs[log].isEmpty() ? count == 0 : count >= 1);
        // A line per message, and one more for each message Mesa ran into a line.
        FUZZ_CHECK(count <= lineEndCount(logs[log]) + 1 + logs[log].count("error: ") +
                                logs[log].count("warning: "));
    }
    FUZZ_CHECK(k == messages.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArrayView rest(reinterpret_cast<const char*>(data), qsizetype(size));
    std::array<QByteArrayView, 3> logs;
    for (int k = 0; k < 2; ++k) {
        const qsizetype nul = rest.indexOf('\0');
        logs[k] = nul < 0 ? rest : rest.first(nul);
        rest = nul < 0 ? QByteArrayView() : rest.sliced(nul + 1);
    }
    logs[2] = rest;
    for (QByteArrayView log : logs) {
        checkSplit(log, kVertexSuffix);
        checkTrim(log);
        checkDivision(log);
    }
    checkErrorList(logs[0], logs[1], logs[2]);
    checkMessages(logs[0], logs[1], logs[2]);
    return 0;
}
