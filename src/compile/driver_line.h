// SPDX-License-Identifier: MIT
#pragma once

#include "compile/shader_message.h"

#include <QByteArrayView>
#include <QStringView>

#include <functional>

// How one line of a driver's info log is read, for both readers of logs: the editor's error
// list and the compile engine's messages.
namespace tessory {

// Puts the location at the line's start into the message: "(" number ")" as the link-log cut
// leaves it, or the forms that drivers put before their messages (Mesa, NVIDIA, AMD and Intel).
// A number 0 counts as line 1; a negative number gives a line below 1. Numbers too large for 64
// bits saturate, so they point past any pane's last line instead of wrapping into it. A column 0
// is left out: it places the caret where no column would.
void placeAt(QStringView entry, ShaderMessage& message);

// Severity and text of a trimmed line whose location, when it names a line, stands at its start:
// the severity word ("error"/"warning" in any letter case, right after the location or at the
// line's start), Error when there is none; the text is what follows the word, or the whole line
// after its location without one.
void readSeverityAndText(QStringView line, ShaderMessage& message);

// The line as a message, or an empty view when it holds none. Mesa ends some link messages with
// "\n." and starts the next one right after the dot, so a dot before a severity word is dropped.
QStringView messagePart(QStringView line);

// Heading underlines ("-----").
bool onlyDashes(QStringView text);

// Each line of a log, two where Mesa ran two together (splitRunTogether).
void forEachLine(QByteArrayView log, const std::function<void(QStringView)>& take);

}  // namespace tessory
