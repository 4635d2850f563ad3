// SPDX-License-Identifier: MIT
#include "workspace/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

namespace tessory {
namespace {

void writeTemporary(QSaveFile& file, const QByteArray& bytes) {
    if (QFileInfo(file.fileName()).isDir()) {
        throw FileError(file.fileName(), QStringLiteral("Is a directory, not a file."));
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        throw FileError(file.fileName(), file.errorString());
    }
}

// The content a file had before the group was written, to put back when a later file fails.
std::optional<QByteArray> oldContent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return std::nullopt;
    }
    return readWholeFile(path);
}

void restore(const QString& path, const std::optional<QByteArray>& content) {
    if (!content) {
        QFile::remove(path);
        return;
    }
    // Flushed before the commit: QSaveFile::commit misses a failure to write its last buffered
    // bytes (a full disk) and would put an empty file in place of the one it should restore.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(*content) == content->size() &&
        file.flush()) {
        file.commit();
    }
}

// Up to `limit` bytes, read block by block: QIODevice::read(limit) would take memory for all of
// them at once, for every small file.
QByteArray readAtMost(QFile& file, qint64 limit) {
    QByteArray bytes;
    char block[64 * 1024];
    while (bytes.size() < limit) {
        const qint64 n = file.read(block, std::min<qint64>(sizeof block, limit - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.append(block, n);
    }
    return bytes;
}

QString megabytes(qint64 bytes, int decimals) {
    return QString::number(double(bytes) / (1 << 20), 'f', decimals);
}

QString tooLong(qint64 size, qint64 maxSize) {
    return QStringLiteral("The file is %1 MB long; files longer than %2 MB are not read.")
        .arg(megabytes(size, 1), megabytes(maxSize, 0));
}

}  // namespace

FileError::FileError(const QString& path, const QString& cause)
    : std::runtime_error(QStringLiteral("%1:\n%2").arg(path, cause).toStdString()), path_(path) {}

QByteArray readWholeFile(const QString& path, qint64 maxSize) {
    // Opened without waiting and read only when it is a regular file: a named pipe would block the
    // program until some writer came, and a device such as /dev/zero would never end.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw FileError(path, qt_error_string(errno));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        throw FileError(path, file.errorString());
    }
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
    QByteArray bytes = maxSize >= 0 ? readAtMost(file, maxSize + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw FileError(path, file.errorString());
    }
    // A file that grew while it was read.
    if (maxSize >= 0 && bytes.size() > maxSize) {
        throw FileError(path, tooLong(bytes.size(), maxSize));
    }
    return bytes;
}

void writeFilesTogether(const QList<FileContent>& files, const CommitFile& commit) {
    std::vector<std::unique_ptr<QSaveFile>> temporaries;
    std::vector<std::optional<QByteArray>> previous;
    for (const FileContent& content : files) {
        // The old content is read first so that an unreadable old file stops the save before
        // anything is replaced.
        previous.push_back(oldContent(content.path));
        temporaries.push_back(std::make_unique<QSaveFile>(content.path));
        writeTemporary(*temporaries.back(), content.bytes);
    }
    for (std::size_t i = 0; i < temporaries.size(); ++i) {
        QSaveFile& file = *temporaries[i];
        const bool committed = commit ? commit(file) : file.commit();
        if (!committed) {
            for (std::size_t j = 0; j < i; ++j) {
                restore(files[qsizetype(j)].path, previous[j]);
            }
            throw FileError(file.fileName(), file.errorString());
        }
    }
}

}  // namespace tessory
