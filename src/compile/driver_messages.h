// SPDX-License-Identifier: MIT
#pragma once

#include "compile/error_line.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace tessory {

enum class MessageSeverity { Error, Warning };

// Which of the three info logs of a compile-and-link run a message comes from.
enum class InfoLogKind { VertexCompile, FragmentCompile, Link };

// One message of the driver, read from one line of an info log.
struct DriverMessage {
    // The shader file it belongs to: Vertex or Fragment, never None.
    ErrorPane file = ErrorPane::Vertex;
    InfoLogKind log = InfoLogKind::VertexCompile;
    // 1-based source line, read as the error navigation reads it; nothing when the line names none.
    std::optional<qint64> line;
    // 1-based column, where the driver gives one (Mesa's "0:4(23):"); nothing otherwise.
    std::optional<qint64> column;
    MessageSeverity severity = MessageSeverity::Error;
    // The message without the driver's location and severity word.
    QString text;
};

// The severity word of a message ("error"/"warning" in any letter case, as Mesa, NVIDIA, AMD and
// Intel write it, right after the location or at the line's start); Error when there is none.
// The text is what follows the word, or the whole line after its location without one.
DriverMessage parseDriverLine(QStringView line);

// One message per line of a compile log (two where Mesa ran two together, see
// splitRunTogether); blank lines are skipped. A non-empty log that holds no
// message line still gives one message, so that a log never goes unreported.
QList<DriverMessage> compileLogMessages(QByteArrayView log, ErrorPane file);

// A link log's messages. A "vertex info" or "fragment info" heading line (NVIDIA) sends the lines
// after it to that file, and only there a line number is kept, since only there the driver said
// which file it counts in. Everything else (all of Mesa's link messages) goes to the vertex file,
// without a line, as the editor's error list does. Heading underlines ("-----") and Mesa's stray
// "." between messages are not messages.
QList<DriverMessage> linkLogMessages(QByteArrayView log);

// Mesa counts columns in its preprocessed text, in which every run of blanks and comments is one
// space. Gives the 1-based column of the same character in the source line, or the driver's own
// column where the line does not fit that reading (a comment from an earlier line, a macro).
qint64 sourceColumn(QByteArrayView sourceLine, qint64 driverColumn);

// Every message of a run: vertex compile log, fragment compile log, then link log.
QList<DriverMessage> runMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog);

}  // namespace tessory
