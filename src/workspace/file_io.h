// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <QList>

#include <functional>
#include <optional>
#include <stdexcept>

class QJsonObject;

namespace tessory {

class FileReplacement;

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

// Commits one file whose new content is complete on the disk; throws FileError when that fails.
using CommitFile = std::function<void(FileReplacement& file)>;

// Writes the files as one unit: each goes to a temporary file beside it (see FileReplacement),
// and only when every temporary is complete on the disk are they renamed over the old files, one
// right after the other, so that a process killed in between has rarely anything but renames
// left to do. When any step fails, files already committed get their old content back (or are
// removed when they are new), so the old files all stay as they were; throws FileError naming
// the file that failed. `commit` exists so that tests can make a late step fail; it defaults to
// FileReplacement::commit.
void writeFilesTogether(const QList<FileContent>& files, const CommitFile& commit = {});

// What a file was when the program last read or wrote it, to tell whether another program has
// changed it since. A default stamp stands for no file at all.
class FileStamp {
public:
    FileStamp() = default;
    // Taken right after `content` was read from or written to the file at path.
    static FileStamp of(const QString& path, QByteArrayView content);

    const QString& path() const { return path_; }
    // Whether the file at path is not what the stamp recorded: size and modification time
    // decide when they match, the content when they do not (a file rewritten with the same
    // text is unchanged). Throws FileError when the content must be read and cannot be.
    bool changedOnDisk(const QString& path) const;

    // The stamp as kept beside a copy of the text (a recovery file), and back: nothing when the
    // object is not one that toJson wrote.
    QJsonObject toJson() const;
    static std::optional<FileStamp> fromJson(const QJsonObject& json);

private:
    QString path_;
    bool exists_ = false;
    qint64 size_ = 0;
    qint64 modified_ = 0;  // nanoseconds
    QByteArray hash_;
};

// The path made absolute from the working directory, without "." and ".." parts or doubled
// separators: one spelling of a path for comparing and for keys. Links are not followed.
QString absoluteCleanPath(const QString& path);

// Whether both paths name one existing file, also through links.
bool isSameFile(const QString& a, const QString& b);

struct FileMove {
    QString from;
    QString to;
};

// Moves the files as one unit, never over an existing file: when one move fails, those done
// before it are moved back, and FileError names the file that could not be moved and the cause.
void moveFilesTogether(const QList<FileMove>& moves);

}  // namespace tessory
