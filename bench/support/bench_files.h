// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace tessory::bench {

// The bytes of a file of examples/; ends the benchmark when it cannot be read.
QByteArray readExample(const char* name);

// Writes a file whole; ends the benchmark when it cannot.
void writeBenchFile(const QString& path, const QByteArray& bytes);

}  // namespace tessory::bench
