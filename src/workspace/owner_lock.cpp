// SPDX-License-Identifier: MIT
#include "workspace/owner_lock.h"

#include "workspace/file_io.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessory {

std::unique_ptr<OwnerLock> OwnerLock::take(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        throw FileError(path, qt_error_string(errno));
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) {
            return nullptr;
        }
        throw FileError(path, qt_error_string(error));
    }
    // The owner may have removed the file between the open and the lock; the lock then holds a
    // file nobody else will ever look at.
    struct stat held {};
    struct stat named {};
    if (fstat(fd, &held) != 0 || stat(name.constData(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        close(fd);
        return nullptr;
    }
    const QByteArray pid = QByteArray::number(qint64(getpid())) + '\n';
    if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.constData(), size_t(pid.size()), 0) != pid.size()) {
        const int error = errno;
        close(fd);
        throw FileError(path, qt_error_string(error));
    }
    return std::unique_ptr<OwnerLock>(new OwnerLock(path, fd));
}

OwnerLock::~OwnerLock() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void OwnerLock::remove() {
    unlink(QFile::encodeName(path_).constData());
    close(fd_);
    fd_ = -1;
}

}  // namespace tessory
