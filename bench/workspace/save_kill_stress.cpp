// SPDX-License-Identifier: MIT
// Kills a process in the middle of saving a large pair, again and again, and counts the pairs it
// leaves mixed (one file new, the other old) or broken (a file cut short or gone). The save is
// the editor's own: writeFilesTogether, as Save, AutoSave and the save prompt call it.
//
// Usage: save_kill_stress [FOLDER [SAVES [MEGABYTES]]]
// FOLDER (default: a new folder in the current one) should be on the disk the editor's users
// work on: on a tmpfs the flushes cost nothing and the kills rarely land inside a save.
#include "workspace/file_io.h"
#include "workspace/file_replace.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using namespace tessory;

namespace {

// A file of `size` bytes that says which save wrote it in its first line.
QByteArray content(int version, const char* side, qint64 size) {
    QByteArray bytes = QByteArray("// save ") + QByteArray::number(version) + ' ' + side + '\n';
    const QByteArray line = QByteArray("    gl_Position = ftransform(); // ") + side + '\n';
    bytes.reserve(size);
    while (bytes.size() + line.size() <= size) {
        bytes += line;
    }
    bytes += QByteArray(size - bytes.size(), '/');
    return bytes;
}

// The save a file comes from, or -1 when it is cut short, damaged or gone.
int versionOf(const QString& path, const char* side, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf('\n');
    bool ok = false;
    const int version = end < 0 ? -1 : bytes.mid(8, end - 8).split(' ').value(0).toInt(&ok);
    return ok && bytes == content(version, side, size) ? version : -1;
}

void save(const QString& dir, int version, qint64 size) {
    writeFilesTogether({{dir + "big.vert", content(version, "vertex", size)},
                        {dir + "big.frag", content(version, "fragment", size)}});
}

int leftovers(const QString& dir) {
    return int(QDir(dir)
                   .entryList({QStringLiteral("*") + FileReplacement::kLeftoverMarker + "*"},
                              QDir::Files | QDir::Hidden)
                   .size());
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir own(QDir::currentPath() + QStringLiteral("/save-kill-XXXXXX"));
    const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString dir = (given.isEmpty() ? own.path() : given) + '/';
    const int saves = argc > 2 ? std::atoi(argv[2]) : 100;
    const qint64 size = (argc > 3 ? std::atoll(argv[3]) : 16) << 20;
    QDir().mkpath(dir);

    // One save timed whole: the kills fall anywhere from its start to a little past its end.
    save(dir, 0, size);
    QElapsedTimer timer;
    timer.start();
    save(dir, 1, size);
    const qint64 saveMicroseconds = timer.nsecsElapsed() / 1000;
    std::printf("one save of two %lld MB files: %lld ms\n", size >> 20, saveMicroseconds / 1000);

    int mixed = 0;
    int broken = 0;
    int finished = 0;
    int leftBehind = 0;
    int leftAfterNextSave = 0;
    for (int i = 2; i < saves + 2; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            save(dir, i, size);
            _exit(0);
        }
        usleep(useconds_t(QRandomGenerator::global()->bounded(saveMicroseconds * 6 / 5 + 1)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        finished += WIFEXITED(status) ? 1 : 0;

        const int vertex = versionOf(dir + "big.vert", "vertex", size);
        const int fragment = versionOf(dir + "big.frag", "fragment", size);
        if (vertex < 0 || fragment < 0) {
            ++broken;
        } else if (vertex != fragment) {
            ++mixed;
            std::printf("save %d: a mixed pair, vertex file of save %d, fragment of save %d\n", i,
                        vertex, fragment);
        }
        if (leftovers(dir) > 0) {
            ++leftBehind;
            // The next save of the pair clears them; it is run here at once to see that it does.
            save(dir, i, size);
            leftAfterNextSave += leftovers(dir) > 0 ? 1 : 0;
        }
    }
    std::printf("saves killed: %d (%d had finished before the kill)\n", saves, finished);
    std::printf("mixed pairs: %d\nbroken files: %d\n", mixed, broken);
    std::printf("kills that left temporaries: %d, still there after the next save: %d\n",
                leftBehind, leftAfterNextSave);
    return mixed == 0 && broken == 0 && leftAfterNextSave == 0 ? 0 : 1;
}
