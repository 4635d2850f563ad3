// SPDX-License-Identifier: MIT
#include "compile/include_resolver.h"

#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QFile>

#include <sys/stat.h>

#include <cerrno>

namespace tessory {

IncludeText FileIncludeResolver::read(const QString& path) const {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 &&
        (errno == ENOENT || errno == ENOTDIR)) {
        return {};
    }
    try {
        return {IncludeText::Status::Found, readShaderFile(path), {}};
    } catch (const FileError& error) {
        // FileError says "PATH:\ncause".
        const QString text = QString::fromStdString(error.what());
        return {IncludeText::Status::Unusable, {}, text.section(u'\n', 1)};
    }
}

IncludeText CachingIncludeResolver::read(const QString& path) const {
    {
        const std::lock_guard lock(mutex_);
        const auto kept = kept_.constFind(path);
        if (kept != kept_.cend()) {
            return *kept;
        }
    }
    // Read outside the lock: another thread may read the same file meanwhile, which costs one
    // read more and nothing else.
    IncludeText text = source_.read(path);
    const std::lock_guard lock(mutex_);
    kept_.insert(path, text);
    return text;
}

}  // namespace tessory
