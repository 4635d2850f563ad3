// SPDX-License-Identifier: MIT
#pragma once

#include "compile/shader_message.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace tessory {

// A log line read as the checker reads it: trimmed first. The severity word ("error"/"warning" in
// any letter case, as Mesa, NVIDIA, AMD and Intel write it, right after the location or at the
// line's start) gives the severity, Error when there is none. The text is what follows the word,
// or the whole line after its location without one.
ShaderMessage parseDriverLine(QStringView line);

// One message per line of a compile log (two where Mesa ran two together, see
// splitRunTogether); blank lines are skipped. A non-empty log that holds no
// message line still gives one message, so that a log never goes unreported.
QList<ShaderMessage> compileLogMessages(QByteArrayView log, PairSide file);

// A link log's messages. A "vertex info" or "fragment info" heading line (NVIDIA) sends the lines
// after it to that file, and only there a line number is kept, since only there the driver said
// which file it counts in. Everything else (all of Mesa's link messages) goes to the vertex file,
// without a line, as the editor's error list does. Heading underlines ("-----") and Mesa's stray
// "." between messages are not messages.
QList<ShaderMessage> linkLogMessages(QByteArrayView log);

// Mesa counts columns in its preprocessed text, in which every run of blanks and comments is one
// space. Gives the 1-based column of the same character in the source line, or the driver's own
// column where the line does not fit that reading (a comment from an earlier line, a macro).
qint64 sourceColumn(QByteArrayView sourceLine, qint64 driverColumn);

// Every message of a run: vertex compile log, fragment compile log, then link log.
QList<ShaderMessage> runMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                 QByteArrayView linkLog);

}  // namespace tessory
