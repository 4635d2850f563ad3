// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>

namespace tessory {

// What reading a file that a shader includes gave.
struct IncludeText {
    enum class Status { Found, Missing, Unusable };
    Status status = Status::Missing;
    QByteArray bytes;
    // Unusable: why, in words ("Is a directory, not a file.").
    QString cause;
};

// Where the text of an included file comes from. The compile engine decides which paths to try
// and asks for each in turn; an editor answers with the text of a document it has open at that
// path, saved or not, and with the file's bytes otherwise. Called from compiling threads, so an
// implementation must be safe to call from several at once.
class IncludeResolver {
public:
    virtual ~IncludeResolver() = default;
    virtual IncludeText read(const QString& path) const = 0;
};

// The files on disk: regular files only (a directory, a FIFO or a device is unusable, and none
// is ever waited on), up to the length of a shader file.
class FileIncludeResolver : public IncludeResolver {
public:
    IncludeText read(const QString& path) const override;
};

// Reads each path once through another resolver and keeps what it gave, for a run over many
// programs that include the same files.
class CachingIncludeResolver : public IncludeResolver {
public:
    explicit CachingIncludeResolver(const IncludeResolver& source) : source_(source) {}
    IncludeText read(const QString& path) const override;

private:
    const IncludeResolver& source_;
    mutable std::mutex mutex_;
    mutable QHash<QString, IncludeText> kept_;
};

}  // namespace tessory
