// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tessory {

// Shader files and driver logs are 8-bit Windows-1252 text. Every one of the 256 byte values has
// a character of its own (the five bytes the code page leaves unassigned map to the C1 control
// characters of the same value), so bytes -> text -> bytes is the identity.
QString fromWin1252(QByteArrayView bytes);

// The index of the first character that has no Windows-1252 byte, or -1 when all have one.
qsizetype firstUnencodableWin1252(QStringView text);

// The bytes of the text, or nothing when one of its characters has no Windows-1252 byte.
std::optional<QByteArray> toWin1252(QStringView text);

// One byte for one character, with '?' for a character the code page cannot hold. Only for text
// that is displayed or logged, never for text that is written back to a shader file.
QByteArray toWin1252Lossy(QStringView text);

}  // namespace tessory
