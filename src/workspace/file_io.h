#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

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

// The whole content of a file; throws FileError when it cannot be opened or read.
QByteArray readWholeFile(const QString& path);

}  // namespace tessory
