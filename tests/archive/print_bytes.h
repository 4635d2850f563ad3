// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <ostream>

// Byte texts in failure messages as hex, not as a list of characters.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toHex().toStdString() << '"' << " (" << bytes.size() << " bytes)";
}
