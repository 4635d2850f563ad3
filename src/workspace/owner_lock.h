// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

namespace tessory {

// A lock file that its owner holds locked (flock) for as long as the owner lives. The system lets
// go of the lock when the process ends, however it ends, so that a dead owner's lock is free at
// once and a process id that was used again can never pass for the owner. The file holds the
// owner's process id, for people who look.
class OwnerLock {
public:
    // The lock at path, created when there is no file: nothing when a live process holds it, or
    // when the file was removed while it was being taken (its owner was just letting it go).
    // Throws FileError when the file cannot be made or written.
    static std::unique_ptr<OwnerLock> take(const QString& path);

    // Lets go of the lock and leaves the file, as a process that ends does.
    ~OwnerLock();
    OwnerLock(const OwnerLock&) = delete;
    OwnerLock& operator=(const OwnerLock&) = delete;

    // Removes the file, then lets go of the lock: what it guarded is gone.
    void remove();

    const QString& path() const { return path_; }

private:
    OwnerLock(const QString& path, int fd) : path_(path), fd_(fd) {}

    QString path_;
    int fd_;
};

}  // namespace tessory
