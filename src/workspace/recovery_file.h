// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QString>

namespace tessory {

// The unsaved text of one shader file, as kept for recovery after a crash.
struct RecoveryRecord {
    QString path;     // the shader file, absolute
    FileStamp base;   // the file on disk the text was edited from
    ShaderText text;  // exactly as the pane holds it, line end included
    qint64 ownerPid = 0;
    QDateTime saved;  // UTC
};

// The name every recovery file ends with; FileReplacement's temporaries end otherwise.
inline constexpr QLatin1StringView kRecoverySuffix{".recovery"};

// A recovery file is never longer than this: its text, two bytes a character, is room for four
// times the longest shader file that is read, and the header for any path.
inline constexpr qint64 kMaxRecoveryTextBytes = 4 * kMaxShaderFileSize;
inline constexpr qint64 kMaxRecoveryHeaderBytes = 64 * 1024;
inline constexpr qint64 kMaxRecoveryFileSize = kMaxRecoveryTextBytes + kMaxRecoveryHeaderBytes;

// The file's bytes: a line naming the format and its version, a line of JSON with everything
// but the text, then the text's UTF-16 code units, little-endian, which keep any QString exactly
// (a lone surrogate too, which UTF-8 would not). Throws FileError naming `file` when the text is
// too long to be kept.
QByteArray encodeRecovery(const RecoveryRecord& record, const QString& file);

// The record in bytes that encodeRecovery wrote; throws FileError naming `file` and what is
// wrong with anything else (empty, cut short, another format or version, a damaged text).
RecoveryRecord decodeRecovery(QByteArrayView bytes, const QString& file);

}  // namespace tessory
