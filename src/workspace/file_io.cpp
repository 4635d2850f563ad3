#include "workspace/file_io.h"

#include <QFile>
#include <QFileInfo>

namespace tessory {

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

}  // namespace tessory
