// SPDX-License-Identifier: MIT
#pragma once

#include "archive/rcx.h"
#include "workspace/file_io.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

namespace tessory {

// A shader archive whose content does not have the archive's structure (it ends early, or holds
// a count or length that cannot be right). The message names the archive and what is wrong.
class ArchiveError : public FileError {
public:
    using FileError::FileError;
};

// Told after each pair has been written: pairs done so far, pairs in all.
using ArchiveProgress = std::function<void(qsizetype done, qsizetype total)>;

// Writes every pair of baseNames, in that order, into the archive at archivePath. A pair's
// sources are read from workspaceDir + name + vertexExt and workspaceDir + name + fragmentExt;
// the directory of the archive names them name + ".vert" and name + ".frag" whatever the
// extensions. Names are stored as Windows-1252 bytes, a character without a byte becoming '?'
// (names come from the file system, so in practice they always have one).
// The archive is written as a FileReplacement: a file is replaced only when the new archive is
// complete, a device or pipe is written as it comes. On any failure (a pair file missing,
// unreadable or longer than kMaxShaderFileSize, the archive not writable, the disk full) an earlier
// archive stays as it was and FileError names the file that failed.
void SaveAllShadersEnCrypted(const QString& archivePath, const QStringList& baseNames,
                             const QString& workspaceDir, const QString& vertexExt,
                             const QString& fragmentExt, RCxState& generator,
                             const ArchiveProgress& progress = {});

// One pair of an archive: its names as stored (base name + ".vert", base name + ".frag") and its
// deciphered source lines.
struct ArchivePair {
    QByteArray vertexName;
    QByteArray fragmentName;
    QList<QByteArray> vertexLines;
    QList<QByteArray> fragmentLines;
};

// Every pair of the archive in stored order. Throws FileError when the archive cannot be read and
// ArchiveError when its content is damaged; every count and length is checked against the rest of
// the file first, so a damaged archive never causes an allocation beyond a small multiple of its
// size.
QList<ArchivePair> ReadShaderArchive(const QString& archivePath);

// The same from a device open for reading whose archive runs from its current position to its
// end (a file or a buffer: its size must be known). Errors name archiveName.
QList<ArchivePair> ReadShaderArchive(QIODevice& archive, const QString& archiveName);

// The source lines of one pair.
struct ShaderLines {
    QList<QByteArray> vertex;
    QList<QByteArray> fragment;
};

// The pair whose stored vertex name equals baseName + ".vert" ignoring the case of A to Z (the
// last such entry when several match), or nothing when the archive has none. The whole archive is
// checked as ReadShaderArchive does, with the same errors.
std::optional<ShaderLines> LoadFromEncShader(const QString& archivePath, const QString& baseName);
std::optional<ShaderLines> LoadFromEncShader(QIODevice& archive, const QString& archiveName,
                                             const QString& baseName);

}  // namespace tessory
