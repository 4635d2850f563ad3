// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>

namespace tessory::testing {

// Every entry of a directory (links not followed, nothing opened that could block) with its kind
// and content: two equal snapshots show that nothing was written, renamed, left behind or removed.
using DirSnapshot = std::map<QByteArray, QByteArray>;  // raw name -> kind and content
DirSnapshot snapshot(const QString& directory);

// Creates and removes a file under a raw (not necessarily UTF-8) name; false when that fails.
bool writeRawName(const QString& directory, const QByteArray& rawName, const QByteArray& bytes);

void removeRawName(const QString& directory, const QByteArray& rawName);

// Runs the step and prints how long it took next to the test results, e.g.
// "[ FIGURE   ] scan: 312 ms".
void timed(const std::string& what, const std::function<void()>& step);

// Fills the file system that holds `directory` until a write fails, then frees `spare` bytes
// again; the filler is the file "filler" in that directory. Returns the bytes left free.
qint64 fillUp(const QString& directory, qint64 spare);

// A named pipe that the program must never wait on: opening one for reading blocks until a writer
// comes. From `seconds` after its start until stop(), the watchdog plays that writer, so that a
// program stuck there comes free and the test fails instead of hanging. Makes the pipe unless one
// is there already.
class PipeWatchdog {
public:
    PipeWatchdog(const QString& path, int seconds);
    ~PipeWatchdog();
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

    // Ends the watch; true when the program was found holding the pipe open.
    bool stop();

private:
    QByteArray path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

}  // namespace tessory::testing
