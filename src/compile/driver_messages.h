// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/pair_side.h"

#include <QByteArrayView>
#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

namespace tessory {

enum class MessageSeverity { Error, Warning };

// Which of the three info logs of a compile-and-link run a message comes from.
enum class InfoLogKind { VertexCompile, FragmentCompile, Link };

// One message of the driver, read once from one line of an info log; the editor's error list and
// the checker both work from it.
struct DriverMessage {
    // The line as the error list shows it (with its "  [VertexShader]" tag there), or as the
    // checker read it.
    QString shown;
    // The pane or shader file it belongs to. The checker's messages always have one; the error
    // list's OK lines and notes belong to none.
    std::optional<PairSide> pane = PairSide::Vertex;
    InfoLogKind log = InfoLogKind::VertexCompile;
    // 1-based source line, nothing when the line names none; a line 0 counts as line 1. An
    // error-list entry may name one before the first (0 or below): its jump shows the pane and
    // goes nowhere. The checker's messages never do.
    std::optional<qint64> line;
    // 1-based column, where the driver gives one (Mesa's "0:4(23):"); nothing otherwise.
    std::optional<qint64> column;
    MessageSeverity severity = MessageSeverity::Error;
    // The message without the driver's location and severity word.
    QString text;

    // Where a jump goes: the zero-based line, below 0 before the first, nothing when none.
    std::optional<qint64> lineIndex() const {
        return line ? std::optional<qint64>(*line - 1) : std::nullopt;
    }
};

// The pane an error-list entry speaks of: "[VertexShader]" anywhere in it wins over
// "[FragmentShader]"; OK lines and other entries belong to none.
std::optional<PairSide> errorEntryPane(QStringView entry);

// The zero-based source line an error-list entry points at, or nothing when it is not navigable.
// Read are "(" number ")" at the entry's start, as the link-log cut leaves it, and the forms that
// drivers put before their messages (Mesa, NVIDIA, AMD and Intel; see the .cpp). A number 0 counts
// as line 1; a negative number gives an index below 0. Numbers too large for 64 bits saturate, so
// they point past any pane's last line instead of wrapping into it.
std::optional<qint64> errorLineIndex(QStringView entry);

// The zero-based column of an entry whose driver names one (Mesa's "0:4(23):" counts from 1), or
// nothing; read like the line, so both come from the same location.
std::optional<qint64> errorColumnIndex(QStringView entry);

// A log line read as the checker reads it: trimmed first. The severity word ("error"/"warning" in
// any letter case, as Mesa, NVIDIA, AMD and Intel write it, right after the location or at the
// line's start) gives the severity, Error when there is none. The text is what follows the word,
// or the whole line after its location without one.
DriverMessage parseDriverLine(QStringView line);

// An error-list entry read as the editor shows it: pane from its tag, location from its very
// start (blanks before a "(" make it lead nowhere), severity and text from the line without tag.
DriverMessage errorListEntry(QStringView entry);

// The error list of an editor run (composeErrorList), one message per entry, in its order.
QList<DriverMessage> errorListMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                       QByteArrayView linkLog);

// One message per line of a compile log (two where Mesa ran two together, see
// splitRunTogether); blank lines are skipped. A non-empty log that holds no
// message line still gives one message, so that a log never goes unreported.
QList<DriverMessage> compileLogMessages(QByteArrayView log, PairSide file);

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

Q_DECLARE_METATYPE(tessory::DriverMessage)
