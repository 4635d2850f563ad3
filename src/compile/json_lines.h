// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace tessory {

// The 1-based line of every member and element of a JSON text, by JSON pointer ("/programs/0/frag"
// for the key "frag" of the first element of "programs", "" for the document), so that a message
// about a value can name its line. The text must be JSON that QJsonDocument has read: anything
// else gives what could be read of it. Nesting deeper than a JSON document may hold is not
// followed.
QHash<QString, int> jsonPointerLines(QByteArrayView text);

// The 1-based line of a byte offset.
int lineOfOffset(QByteArrayView text, qsizetype offset);

}  // namespace tessory
