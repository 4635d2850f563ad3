#include "workspace/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(*content) == content->size()) {
        file.commit();
    }
}

}  // namespace

FileError::FileError(const QString& path, const QString& cause)
    : std::runtime_error(QStringLiteral("%1:\n%2").arg(path, cause).toStdString()), path_(path) {}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        throw FileError(path, QStringLiteral("Is a directory, not a file."));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileError(path, file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw FileError(path, file.errorString());
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
