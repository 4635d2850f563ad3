// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>

#include <sys/stat.h>

namespace tessory {

// Writes all of `bytes` to the descriptor, going on after a call a signal interrupted or that
// wrote only part; false when the descriptor takes no more.
bool writeAll(int fd, QByteArrayView bytes);

// One write of a whole file that never leaves it half written and never replaces what is not a
// plain file of ours to replace:
// - a regular file with one name (or none yet) gets its new content in a temporary beside it,
//   which takes its place on commit with the old file's owner, group and mode;
// - a regular file with several hard links, or whose owner this process cannot give to a new
//   file, is written in place on commit, after a complete copy of its old text beside it that
//   is removed once the new text is on the disk: every name keeps the file, and its owner too;
// - anything else that exists (a device such as /dev/null, a named pipe with a reader) is
//   written in place as it comes, as compilers write their output, and is never replaced; a pipe
//   without a reader is refused rather than waited on.
// A symbolic link is followed: the file it leads to is written; a link that leads nowhere is
// replaced. The temporary and the copy are
// named after the file with kLeftoverMarker; those an earlier write left behind (a killed
// process) are removed when the file is next written. Every failure throws FileError naming
// the path as given.
class FileReplacement {
public:
    // Decides how the file is written and opens what receives the content.
    explicit FileReplacement(const QString& path);
    // Removes the temporary unless the write was committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    static constexpr QLatin1StringView kLeftoverMarker{".tessory-"};

    const QString& path() const { return path_; }

    void write(QByteArrayView bytes);
    // Puts the new content on the disk, so that commit afterwards takes only a rename.
    void flush();
    // Puts the new content in place of the file; flushes first when flush was not called.
    // Later leaves the folder's flush to the caller (syncFolder), so that the renames of files
    // written as one unit follow each other without a wait for the disk in between.
    enum class FolderSync { Now, Later };
    void commit(FolderSync folderSync = FolderSync::Now);
    // Puts the rename of a committed file on the disk.
    void syncFolder() const;

private:
    enum class Mode { Replace, InPlaceWithCopy, Direct };

    [[noreturn]] void fail(const QString& cause) const;
    [[noreturn]] void failWithErrno() const;
    void openTemporary();
    void keepOwnerAndMode();
    void writeInPlace();
    // Closes what is open and removes the temporary unless committed.
    void release() noexcept;

    QString path_;
    QString target_;     // path_ with its symbolic links resolved
    QString temporary_;  // empty for Direct
    Mode mode_ = Mode::Replace;
    bool exists_ = false;
    struct stat old_ {};
    int fd_ = -1;
    int oldFd_ = -1;  // keeps the replaced file's blocks until the write is over
    bool flushed_ = false;
    bool committed_ = false;
};

}  // namespace tessory
