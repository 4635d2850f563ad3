// SPDX-License-Identifier: MIT
#include "workspace/file_replace.h"

#include "workspace/file_io.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tessory {
namespace {

QByteArray leftoverPrefix(const QString& target) {
    return QFile::encodeName(QFileInfo(target).fileName()) +
           QByteArray(FileReplacement::kLeftoverMarker.data(),
                      FileReplacement::kLeftoverMarker.size());
}

QByteArray folderOf(const QString& target) {
    return QFile::encodeName(QFileInfo(target).path());
}

// Every temporary or copy that an earlier write of the same file left behind. Those of a write
// still under way elsewhere are locked by it and stay.
void removeLeftovers(const QString& target) {
    const QByteArray folder = folderOf(target);
    const QByteArray prefix = leftoverPrefix(target);
    DIR* dir = opendir(folder.constData());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0) {
            continue;
        }
        struct stat info;
        const int fd =
            openat(dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            flock(fd, LOCK_EX | LOCK_NB) == 0) {
            unlinkat(dirfd(dir), entry->d_name, 0);
        }
        close(fd);
    }
    closedir(dir);
}

mode_t processUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok) {
                    return mode_t(mask);
                }
            }
        }
    }
    return 022;
}

// Copies everything from the start of `from` into `to`.
bool copyAll(int from, int to) {
    if (lseek(from, 0, SEEK_SET) != 0) {
        return false;
    }
    char block[64 * 1024];
    for (;;) {
        const ssize_t n = read(from, block, sizeof block);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!writeAll(to, QByteArrayView(block, n))) {
            return false;
        }
    }
}

// A new file named like `target` with the marker, locked for as long as it is open.
int createBeside(const QString& target, QByteArray& name) {
    name = folderOf(target) + '/' + leftoverPrefix(target) + "XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) {
        flock(fd, LOCK_EX | LOCK_NB);
    }
    return fd;
}

}  // namespace

bool writeAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    qint64 size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

FileReplacement::FileReplacement(const QString& path) : path_(path), target_(path) {
    const QFileInfo info(path);
    // A link that leads nowhere (a loop, a missing file) is no file to keep: it is replaced.
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) {
        target_ = info.canonicalFilePath();
    }
    const QByteArray target = QFile::encodeName(target_);
    if (info.isSymLink() && target_ == path_) {
        exists_ = false;
    } else if (stat(target.constData(), &old_) == 0) {
        exists_ = true;
    } else if (errno != ENOENT) {
        failWithErrno();
    }
    if (exists_ && S_ISDIR(old_.st_mode)) {
        fail(QStringLiteral("Is a directory, not a file."));
    }
    if (exists_ && !S_ISREG(old_.st_mode)) {
        mode_ = Mode::Direct;
        fd_ = open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 && errno == ENXIO) {
            fail(QStringLiteral("Is a pipe that nobody reads, or a socket; nothing was written."));
        }
        if (fd_ < 0) {
            failWithErrno();
        }
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return;
    }
    removeLeftovers(target_);
    openTemporary();
    try {
        if (exists_) {
            mode_ = old_.st_nlink > 1 ? Mode::InPlaceWithCopy : Mode::Replace;
            keepOwnerAndMode();
            // Held open, the old file is freed when this object goes, not inside the rename:
            // freeing a large file takes milliseconds, which would part the renames of a pair.
            oldFd_ = open(target.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        } else if (fchmod(fd_, 0666 & ~processUmask()) != 0) {
            failWithErrno();
        }
    } catch (...) {
        // No destructor runs for an object whose constructor throws.
        release();
        throw;
    }
}

FileReplacement::~FileReplacement() {
    release();
}

void FileReplacement::release() noexcept {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (oldFd_ >= 0) {
        close(oldFd_);
        oldFd_ = -1;
    }
    if (!committed_ && !temporary_.isEmpty()) {
        unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
}

void FileReplacement::fail(const QString& cause) const {
    throw FileError(path_, cause);
}

void FileReplacement::failWithErrno() const {
    fail(qt_error_string(errno));
}

void FileReplacement::openTemporary() {
    QByteArray name;
    fd_ = createBeside(target_, name);
    if (fd_ < 0) {
        failWithErrno();
    }
    temporary_ = QFile::decodeName(name);
}

void FileReplacement::keepOwnerAndMode() {
    struct stat fresh;
    if (fstat(fd_, &fresh) != 0) {
        failWithErrno();
    }
    if ((fresh.st_uid != old_.st_uid || fresh.st_gid != old_.st_gid) &&
        fchown(fd_, old_.st_uid, old_.st_gid) != 0) {
        // Only root gives a file away; the file then keeps its owner by being written in place.
        mode_ = Mode::InPlaceWithCopy;
        return;
    }
    if (fchmod(fd_, old_.st_mode & 07777) != 0) {
        failWithErrno();
    }
}

void FileReplacement::write(QByteArrayView bytes) {
    if (!writeAll(fd_, bytes)) {
        failWithErrno();
    }
}

void FileReplacement::flush() {
    if (mode_ != Mode::Direct && fsync(fd_) != 0) {
        failWithErrno();
    }
    flushed_ = true;
}

void FileReplacement::commit(FolderSync folderSync) {
    if (!flushed_) {
        flush();
    }
    switch (mode_) {
        case Mode::Replace:
            if (std::rename(QFile::encodeName(temporary_).constData(),
                            QFile::encodeName(target_).constData()) != 0) {
                failWithErrno();
            }
            committed_ = true;
            if (folderSync == FolderSync::Now) {
                syncFolder();
            }
            break;
        case Mode::InPlaceWithCopy:
            writeInPlace();
            break;
        case Mode::Direct:
            committed_ = true;
            break;
    }
    close(fd_);
    fd_ = -1;
}

void FileReplacement::syncFolder() const {
    // A rename is on the disk only once its folder is.
    const int fd = open(folderOf(target_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

void FileReplacement::writeInPlace() {
    const QByteArray target = QFile::encodeName(target_);
    QByteArray copyName;
    const int copy = createBeside(target_, copyName);
    const int old = open(target.constData(), O_RDONLY | O_CLOEXEC);
    const bool copied = copy >= 0 && old >= 0 && copyAll(old, copy) && fsync(copy) == 0;
    const int error = errno;
    if (old >= 0) {
        close(old);
    }
    if (!copied) {
        if (copy >= 0) {
            close(copy);
            unlink(copyName.constData());
        }
        errno = error;
        failWithErrno();
    }
    const int out = open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out >= 0 && copyAll(fd_, out) && fsync(out) == 0 && close(out) == 0) {
        committed_ = true;
        close(copy);
        unlink(copyName.constData());
        unlink(QFile::encodeName(temporary_).constData());
        return;
    }
    const QString cause = qt_error_string(errno);
    // Put the old text back; when even that fails, its copy stays for the user.
    const bool restored = out >= 0 && ftruncate(out, 0) == 0 && lseek(out, 0, SEEK_SET) == 0 &&
                          copyAll(copy, out) && fsync(out) == 0;
    if (out >= 0) {
        close(out);
    }
    close(copy);
    if (restored) {
        unlink(copyName.constData());
        fail(cause);
    }
    fail(QStringLiteral("%1\nThe old text is kept in %2.").arg(cause, QFile::decodeName(copyName)));
}

}  // namespace tessory
