// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <QList>

#include <functional>
#include <stdexcept>

class QSaveFile;

namespace tessory {

// A file that could not be read or written. The message names the file and the cause, ready to be
// shown to the user.
class FileError : public std::runtime_error {
public:
    FileError(const QString& path, const QString& cause);
    const QString& path() const { return path_; }

private:
    QString path_;
};

// The whole content of a file; throws FileError when it cannot be opened or read, or when it is not
// a regular file (a directory, a pipe, a device), which is never waited on. With a maxSize of 0 or
// more, a file longer than that many bytes is refused, its length given in the message, before
// more than maxSize + 1 bytes are read.
QByteArray readWholeFile(const QString& path, qint64 maxSize = -1);

struct FileContent {
    QString path;
    QByteArray bytes;
};

// Commits one file whose new content is complete in its temporary; false when that fails.
using CommitFile = std::function<bool(QSaveFile& file)>;

// Writes the files as one unit: each goes to a temporary file beside it, and only when every
// temporary is complete are they renamed over the old files. When any step fails, files already
// committed get their old content back (or are removed when they are new), so the old files all
// stay as they were; throws FileError naming the file that failed. `commit` exists so that tests
// can make a late step fail; it defaults to QSaveFile::commit.
void writeFilesTogether(const QList<FileContent>& files, const CommitFile& commit = {});

}  // namespace tessory
