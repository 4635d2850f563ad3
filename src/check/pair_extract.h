// SPDX-License-Identifier: MIT
#pragma once

#include "archive/archive_file.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tessory {

// The lines as a text file of this platform: each line followed by LF.
QByteArray joinLinesLf(const QList<QByteArray>& lines);

// Writes the pair's lines to outDir + name + ".vert" and outDir + name + ".frag" (outDir ends in
// "/" and is created when missing): both files or neither, each through a temporary file, so that
// an earlier extraction is never left half replaced. Throws FileError naming what failed.
void writeExtractedPair(const ShaderLines& lines, const QString& name, const QString& outDir);

}  // namespace tessory
