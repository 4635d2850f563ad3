// SPDX-License-Identifier: MIT
#include "workspace/file_io.h"

#include "workspace/file_replace.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace tessory {
namespace {

// The content a file had before the group was written, to put back when a later file fails.
// Nothing to put back for a new file; a device or pipe written in place cannot be put back.
struct Previous {
    bool existed = false;
    std::optional<QByteArray> content;
};

Previous previousOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {};
    }
    if (!info.isFile()) {
        return {true, std::nullopt};
    }
    return {true, readWholeFile(path)};
}

void restore(const QString& path, const Previous& previous) {
    if (!previous.existed) {
        QFile::remove(path);
        return;
    }
    if (!previous.content) {
        return;
    }
    try {
        FileReplacement file(path);
        file.write(*previous.content);
        file.commit();
    } catch (const FileError&) {
        // The new content stays, which is complete: the caller reports the first failure.
    }
}

// Closes the descriptor on every way out of readWholeFile.
struct Descriptor {
    int fd;
    ~Descriptor() { close(fd); }
};

// The bytes from the descriptor to its end, but never more than `limit`. The buffer starts at
// the size the file has now, and one byte more, so that the end is seen without growing it: the
// checker reads every shader of a WorkSpace, and one allocation a file with no copying keeps its
// own share of the time small. A file that has grown since it was looked at, or one that says it
// is empty and is not (such as those under /proc), is still read to its end.
QByteArray readToEnd(int fd, const QString& path, qint64 sizeNow, qint64 limit) {
    qint64 capacity = std::min(limit, sizeNow > 0 ? sizeNow + 1 : 4096);
    QByteArray bytes(qsizetype(capacity), Qt::Uninitialized);
    qint64 used = 0;
    for (;;) {
        if (used == capacity) {
            if (capacity >= limit) {
                break;
            }
            capacity = limit - capacity < capacity ? limit : capacity * 2;
            bytes.resize(qsizetype(capacity));
        }
        const ssize_t n = read(fd, bytes.data() + used, std::size_t(capacity - used));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw FileError(path, qt_error_string(errno));
        }
        if (n == 0) {
            break;
        }
        used += n;
        if (used == sizeNow) {
            // All the file held when it was looked at, and not a byte more came with it: asking
            // for the end as well would cost every file a system call for nothing.
            break;
        }
    }
    bytes.resize(qsizetype(used));
    return bytes;
}

// The error number of the failed move, 0 when it was done.
int moveWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without RENAME_NOREPLACE: a new name that exists stops link().
    if (link(source.constData(), target.constData()) != 0) {
        return errno;
    }
    if (unlink(source.constData()) != 0) {
        const int error = errno;
        unlink(target.constData());
        return error;
    }
    return 0;
}

QString megabytes(qint64 bytes, int decimals) {
    return QString::number(double(bytes) / (1 << 20), 'f', decimals);
}

QString tooLong(qint64 size, qint64 maxSize) {
    return QStringLiteral("The file is %1 MB long; files longer than %2 MB are not read.")
        .arg(megabytes(size, 1), megabytes(maxSize, 0));
}

QByteArray hashOf(QByteArrayView content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256);
}

// Size and modification time of the file, or nothing when there is none. A folder or a pipe in
// its place is no file either: its size and time say nothing about shader text.
std::optional<std::pair<qint64, qint64>> sizeAndTime(const QString& path) {
    struct stat info;
    if (stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return std::pair(qint64(info.st_size),
                     qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
}

}  // namespace

FileStamp FileStamp::of(const QString& path, QByteArrayView content) {
    FileStamp stamp;
    stamp.path_ = path;
    if (const auto found = sizeAndTime(path)) {
        stamp.exists_ = true;
        std::tie(stamp.size_, stamp.modified_) = *found;
        stamp.hash_ = hashOf(content);
    }
    return stamp;
}

bool FileStamp::changedOnDisk(const QString& path) const {
    const auto found = sizeAndTime(path);
    if (!found || !exists_) {
        return found.has_value() != exists_;
    }
    if (*found == std::pair(size_, modified_)) {
        return false;
    }
    return hashOf(readWholeFile(path)) != hash_;
}

QJsonObject FileStamp::toJson() const {
    // The time in nanoseconds is beyond the integers a JSON number holds exactly.
    return {{QStringLiteral("path"), path_},
            {QStringLiteral("exists"), exists_},
            {QStringLiteral("size"), QString::number(size_)},
            {QStringLiteral("modified"), QString::number(modified_)},
            {QStringLiteral("sha256"), QString::fromLatin1(hash_.toHex())}};
}

std::optional<FileStamp> FileStamp::fromJson(const QJsonObject& json) {
    FileStamp stamp;
    bool sizeOk = false;
    bool timeOk = false;
    stamp.path_ = json.value(u"path").toString();
    stamp.exists_ = json.value(u"exists").toBool();
    stamp.size_ = json.value(u"size").toString().toLongLong(&sizeOk);
    stamp.modified_ = json.value(u"modified").toString().toLongLong(&timeOk);
    stamp.hash_ = QByteArray::fromHex(json.value(u"sha256").toString().toLatin1());
    const bool hashOk = stamp.exists_ ? stamp.hash_.size() == 32 : stamp.hash_.isEmpty();
    if (!json.value(u"path").isString() || !json.value(u"exists").isBool() || !sizeOk || !timeOk ||
        !hashOk) {
        return std::nullopt;
    }
    return stamp;
}

QString absoluteCleanPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool isSameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

FileError::FileError(const QString& path, const QString& cause)
    : std::runtime_error(QStringLiteral("%1:\n%2").arg(path, cause).toStdString()), path_(path) {}

QByteArray readWholeFile(const QString& path, qint64 maxSize) {
    // Opened without waiting and read only when it is a regular file: a named pipe would block the
    // program until some writer came, and a device such as /dev/zero would never end.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw FileError(path, qt_error_string(errno));
    }
    const Descriptor closing{fd};
    struct stat info;
    if (fstat(fd, &info) != 0) {
        throw FileError(path, qt_error_string(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw FileError(path, QStringLiteral("Is a directory, not a file."));
    }
    if (!S_ISREG(info.st_mode)) {
        throw FileError(path, QStringLiteral("Is not a regular file (a pipe, socket or device)."));
    }
    if (maxSize >= 0 && info.st_size > maxSize) {
        throw FileError(path, tooLong(info.st_size, maxSize));
    }
    const qint64 limit = maxSize >= 0 ? maxSize + 1 : std::numeric_limits<qsizetype>::max() / 2;
    QByteArray bytes = readToEnd(fd, path, info.st_size, limit);
    // A file that grew while it was read.
    if (maxSize >= 0 && bytes.size() > maxSize) {
        throw FileError(path, tooLong(bytes.size(), maxSize));
    }
    return bytes;
}

void writeFilesTogether(const QList<FileContent>& files, const CommitFile& commit) {
    std::vector<Previous> previous;
    std::vector<std::unique_ptr<FileReplacement>> replacements;
    for (const FileContent& content : files) {
        // The old content is read first so that an unreadable old file stops the save before
        // anything is replaced.
        previous.push_back(previousOf(content.path));
        replacements.push_back(std::make_unique<FileReplacement>(content.path));
        replacements.back()->write(content.bytes);
    }
    for (const auto& file : replacements) {
        file->flush();
    }
    for (std::size_t i = 0; i < replacements.size(); ++i) {
        try {
            if (commit) {
                commit(*replacements[i]);
            } else {
                replacements[i]->commit(FileReplacement::FolderSync::Later);
            }
        } catch (const FileError&) {
            for (std::size_t j = 0; j < i; ++j) {
                restore(files[qsizetype(j)].path, previous[j]);
            }
            throw;
        }
    }
    for (const auto& file : replacements) {
        file->syncFolder();
    }
}

void moveFilesTogether(const QList<FileMove>& moves) {
    for (qsizetype i = 0; i < moves.size(); ++i) {
        if (const int error = moveWithoutReplacing(moves[i].from, moves[i].to)) {
            for (qsizetype j = i - 1; j >= 0; --j) {
                moveWithoutReplacing(moves[j].to, moves[j].from);
            }
            throw FileError(moves[i].from, qt_error_string(error));
        }
    }
}

}  // namespace tessory
