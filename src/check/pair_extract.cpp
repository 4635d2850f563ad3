// SPDX-License-Identifier: MIT
#include "check/pair_extract.h"

#include "workspace/file_io.h"

#include <QDir>

namespace tessory {

QByteArray joinLinesLf(const QList<QByteArray>& lines) {
    qsizetype size = 0;
    for (const QByteArray& line : lines) {
        size += line.size() + 1;
    }
    QByteArray text;
    text.reserve(size);
    for (const QByteArray& line : lines) {
        text.append(line).append('\n');
    }
    return text;
}

void writeExtractedPair(const ShaderLines& lines, const QString& name, const QString& outDir) {
    if (!QDir().mkpath(outDir)) {
        throw FileError(outDir, QStringLiteral("The folder cannot be created."));
    }
    writeFilesTogether(
        {FileContent{outDir + name + QStringLiteral(".vert"), joinLinesLf(lines.vertex)},
         FileContent{outDir + name + QStringLiteral(".frag"), joinLinesLf(lines.fragment)}});
}

}  // namespace tessory
