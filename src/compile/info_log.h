// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace tessory {

// The error-list texts of a compile, 8-bit like the driver's logs.
inline constexpr QByteArrayView kVertexSuffix = "  [VertexShader]";
inline constexpr QByteArrayView kFragmentSuffix = "  [FragmentShader]";
inline constexpr QByteArrayView kVertexOk = "VertexShader: OK";
inline constexpr QByteArrayView kFragmentOk = "FragmentShader: OK";

// Appends one entry per line of the log, each followed by the suffix. CR and LF each end a line
// on their own, so CR LF leaves an entry that holds only the suffix; the text after the last line
// end is an entry too, even when it is empty. Messages run together on one line are entries of
// their own (splitRunTogether).
void splitLogInto(QByteArrayView log, QByteArrayView suffix, QList<QByteArray>& target);

// The messages of one log line. Mesa ends some messages without a line break, so that the next
// one's "error: " or "warning: " follows the last word ("...unspecialized shadererror: linking
// with ..."); the line is cut before each such word that stands right after a letter.
QList<QByteArrayView> splitRunTogether(QByteArrayView line);

// Removes leading and trailing bytes with codes up to 0x20.
QByteArray trimControls(QByteArrayView text);

// A link log divided at the first "vertex info" and "fragment info" (found in any letter case),
// both parts trimmed. Without the vertex marker the vertex part starts at the log's beginning;
// without the fragment marker it runs to the log's second-to-last byte and the fragment part is
// empty. The fragment part ends before the log's last byte, and earlier by as many bytes as the
// vertex marker stands after the log's start (drivers that write the markers put it first).
struct LinkLogParts {
    QByteArray vertex;
    QByteArray fragment;
};
LinkLogParts divideLinkLog(QByteArrayView log);

// The error list of an editor run, made from the logs the driver gave. Compile logs lose their
// last byte (drivers end them with a line break). The link log is looked at only when both
// compile logs are empty, as the run reads it only then; each of its parts is cut to begin at its
// first "(" so that a first message "0(12) : ..." becomes a navigable "(12) : ...".
struct ErrorListReport {
    bool hasLog = false;
    QList<QByteArray> entries;
};
ErrorListReport composeErrorList(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog);

}  // namespace tessory
