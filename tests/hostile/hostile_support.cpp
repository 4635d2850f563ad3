// SPDX-License-Identifier: MIT
#include "hostile/hostile_support.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

namespace tessory::testing {
namespace {

QByteArray contentOf(const QByteArray& path, const struct stat& info) {
    if (S_ISLNK(info.st_mode)) {
        std::vector<char> target(4096);
        const ssize_t n = readlink(path.constData(), target.data(), target.size());
        return "link " + QByteArray(target.data(), n < 0 ? 0 : n);
    }
    if (S_ISDIR(info.st_mode)) {
        return "directory";
    }
    if (!S_ISREG(info.st_mode)) {
        return "special " + QByteArray::number(info.st_mode & S_IFMT);
    }
    // Large files (sparse or not) are told apart by size and time; small ones by every byte.
    const QByteArray size = "file " + QByteArray::number(qint64(info.st_size));
    if (info.st_size > (1 << 20)) {
        return size + " " + QByteArray::number(qint64(info.st_mtim.tv_sec)) + "." +
               QByteArray::number(qint64(info.st_mtim.tv_nsec));
    }
    QFile file(QFile::decodeName(path));
    const int fd = open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            close(fd);
        }
        return size + " unreadable";
    }
    return size + " " +
           QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

qint64 freeBytes(const QString& path) {
    struct statvfs info;
    if (statvfs(QFile::encodeName(path).constData(), &info) != 0) {
        return -1;
    }
    return qint64(info.f_bavail) * qint64(info.f_frsize);
}

}  // namespace

DirSnapshot snapshot(const QString& directory) {
    DirSnapshot entries;
    const QByteArray dirPath = QFile::encodeName(directory);
    DIR* dir = opendir(dirPath.constData());
    if (dir == nullptr) {
        return entries;
    }
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const QByteArray path = dirPath + "/" + name;
        struct stat info;
        entries[name] = lstat(path.constData(), &info) == 0 ? contentOf(path, info) : "gone";
    }
    closedir(dir);
    return entries;
}

bool writeRawName(const QString& directory, const QByteArray& rawName, const QByteArray& bytes) {
    const QByteArray path = QFile::encodeName(directory) + "/" + rawName;
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd, bytes.constData(), bytes.size()) == bytes.size();
    return close(fd) == 0 && written;
}

void removeRawName(const QString& directory, const QByteArray& rawName) {
    unlink((QFile::encodeName(directory) + "/" + rawName).constData());
}

void timed(const std::string& what, const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    const qint64 milliseconds = timer.elapsed();
    std::printf("[ FIGURE   ] %s: %lld ms\n", what.c_str(), static_cast<long long>(milliseconds));
    std::fflush(stdout);
    ::testing::Test::RecordProperty(what, std::to_string(milliseconds) + " ms");
}

qint64 fillUp(const QString& directory, qint64 spare) {
    const QByteArray path = QFile::encodeName(directory) + "/filler";
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        ADD_FAILURE() << "cannot create the filler in " << directory.toStdString();
        return -1;
    }
    const std::vector<char> block(64 * 1024, 'f');
    off_t size = 0;
    for (;;) {
        const ssize_t n = write(fd, block.data(), block.size());
        if (n <= 0) {
            break;
        }
        size += n;
    }
    if (ftruncate(fd, size > spare ? size - spare : 0) != 0) {
        ADD_FAILURE() << "cannot shorten the filler";
    }
    close(fd);
    return freeBytes(directory);
}

PipeWatchdog::PipeWatchdog(const QString& path, int seconds) : path_(QFile::encodeName(path)) {
    if (mkfifo(path_.constData(), 0644) != 0 && errno != EEXIST) {
        ADD_FAILURE() << "cannot make the pipe " << path.toStdString();
        return;
    }
    thread_ = std::thread([this, seconds] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (std::chrono::steady_clock::now() < until) {
                continue;
            }
            // Opening the write end without blocking succeeds only while a reader holds the
            // pipe open; the reader then reads the end of the file and comes free.
            const int fd = open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                fired_ = true;
                close(fd);
            }
        }
    });
}

bool PipeWatchdog::stop() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    return fired_;
}

PipeWatchdog::~PipeWatchdog() {
    stop();
}

}  // namespace tessory::testing
