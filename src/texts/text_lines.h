// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace tessory {

// The lines of 8-bit text as the compiler and the archive read a shader file: a line ends at CR,
// LF or CR LF, a last line without a line end counts, and the text ends at its first NUL byte.
// The lines carry no line-end characters; an empty text has no lines.
QList<QByteArray> splitTextLines(QByteArrayView text);

// The 1-based line (lines ending as splitTextLines reads them) of the text's first NUL byte, at
// which the compiler and the archive stop reading it; nothing when it holds none.
std::optional<qint64> lineOfFirstNul(QByteArrayView text);

// The lines joined as the driver is given them: each line followed by CR LF.
QByteArray joinLinesCrLf(const QList<QByteArray>& lines);

// joinLinesCrLf(splitTextLines(text)) in one pass, without a list of lines: what a file run hands
// the driver.
QByteArray withCrLfLineEnds(QByteArrayView text);

// The same into `converted`, whose storage is reused when it is large enough and not shared;
// `text` must not lie in it.
void withCrLfLineEnds(QByteArrayView text, QByteArray& converted);

}  // namespace tessory
