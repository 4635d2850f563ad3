// SPDX-License-Identifier: MIT
// Kills an editor's process with SIGKILL while it hands unsaved texts to its recovery writer,
// again and again, and counts what the next editor finds: the text last written before the kill
// (or a newer one, whose write was under way), an older one or nothing (lost), or a file it
// cannot read (broken). The typing process is this program started again with --type; it hands
// over texts of up to two megabytes in bursts, as an editor whose user pauses would, and says
// which texts it handed over and which the writer had on the disk.
//
// Usage: recovery_kill_stress [FOLDER [RUNS]]
// FOLDER (default: a new folder in the current one) should be on the disk the user's state
// folder is on: on a tmpfs the flushes cost nothing and the kills rarely land inside a write.
#include "workspace/file_replace.h"
#include "workspace/recovery_store.h"
#include "workspace/recovery_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace tessory;

namespace {

// The text of one version: its number on the first line, then code units of every value,
// surrogates and U+0000 included, so that any loss of a character shows.
QString textOf(quint64 seed, int version) {
    QRandomGenerator random(quint32(seed * 1000003 + quint64(version)));
    QString text = QStringLiteral("// version %1\n").arg(version);
    const qsizetype start = text.size();
    text.resize(start + qsizetype(random.bounded(1000, 1000000)));
    for (qsizetype i = start; i < text.size(); ++i) {
        text[i] = QChar(char16_t(random.generate()));
    }
    return text;
}

int versionIn(const QString& text) {
    const qsizetype end = text.indexOf('\n');
    return end < 0 ? -1 : text.mid(11, end - 11).toInt();
}

void say(const char* what, int version) {
    std::printf("%s %d\n", what, version);
    std::fflush(stdout);
}

// The editor: bursts of texts, as keys come, each burst now and then waited for.
[[noreturn]] void type(const QString& folder, const QString& path, quint64 seed) {
    RecoveryStore store(folder);
    RecoveryWriter writer(store);
    say("ready", 0);
    QRandomGenerator random{quint32(seed)};
    for (int version = 1;; ++version) {
        writer.update(path, {textOf(seed, version), LineEnd::CrLf}, {});
        say("handed", version);
        if (random.bounded(4) == 0) {
            writer.waitForIdle();
            say("written", version);
            QThread::msleep(random.bounded(100));
        } else {
            QThread::msleep(random.bounded(5));
        }
    }
}

// Whether the kill fell inside a write: its temporary is still there.
bool writeCutShort(const QString& folder) {
    for (const QFileInfo& session : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString pattern = QStringLiteral("*") + FileReplacement::kLeftoverMarker + "*";
        if (!QDir(session.filePath()).entryList({pattern}, QDir::Files | QDir::Hidden).isEmpty()) {
            return true;
        }
    }
    return false;
}

struct Said {
    int handed = 0;
    int written = 0;
};

Said readSaid(const QByteArray& output) {
    Said said;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2 && words[0] == "handed") {
            said.handed = words[1].toInt();
        } else if (words.size() == 2 && words[0] == "written") {
            said.written = words[1].toInt();
        }
    }
    return said;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--type") == 0) {
        type(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
             QByteArray(argv[4]).toULongLong());
    }
    QTemporaryDir own(QDir::currentPath() + QStringLiteral("/recovery-kill-XXXXXX"));
    const QString given = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString dir = given.isEmpty() ? own.path() : given;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 100;
    const QString folder = dir + QStringLiteral("/recovery");
    const QString path = dir + QStringLiteral("/typed.vert");

    int recovered = 0;
    int newest = 0;
    int lost = 0;
    int broken = 0;
    int beforeAnyWrite = 0;
    int leftBehind = 0;
    int insideWrite = 0;
    for (int run = 0; run < runs; ++run) {
        const quint64 seed = QRandomGenerator::global()->generate64() >> 1;
        QProcess editor;
        editor.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--type"), folder, path, QString::number(seed)});
        if (!editor.waitForReadyRead(10000)) {
            std::printf("run %d: the typing process did not start\n", run);
            return 1;
        }
        QThread::msleep(QRandomGenerator::global()->bounded(1500));
        kill(pid_t(editor.processId()), SIGKILL);
        editor.waitForFinished();
        const Said said = readSaid(editor.readAllStandardOutput());

        insideWrite += writeCutShort(folder) ? 1 : 0;
        RecoveryStore next(folder);
        const RecoveryScan scan = next.recoverable({path});
        broken += int(scan.problems.size());
        for (const QString& problem : scan.problems) {
            std::printf("run %d: %s\n", run, qPrintable(problem));
        }
        if (scan.entries.isEmpty() && said.written == 0) {
            ++beforeAnyWrite;
        } else if (scan.entries.size() != 1) {
            ++lost;
            std::printf("run %d: %lld texts found, text %d was written\n", run,
                        qint64(scan.entries.size()), said.written);
        } else {
            const RecoveryEntry& entry = scan.entries[0];
            const int version = versionIn(entry.text.text);
            if (entry.text.text != textOf(seed, version) || entry.text.lineEnd != LineEnd::CrLf ||
                version > said.handed) {
                ++broken;
                std::printf("run %d: a text that was never handed over\n", run);
            } else if (version < said.written) {
                ++lost;
                std::printf("run %d: text %d found, text %d was written\n", run, version,
                            said.written);
            } else {
                ++recovered;
                newest += version == said.handed ? 1 : 0;
            }
        }
        for (const RecoveryEntry& entry : scan.entries) {
            next.discard(entry);
        }
        leftBehind += QDir(folder).isEmpty() ? 0 : 1;
        QDir(folder).removeRecursively();
    }
    std::printf("runs: %d\n", runs);
    std::printf(
        "recovered: %d (the newest text handed over: %d; an older one, the newest still "
        "being written: %d)\n",
        recovered, newest, recovered - newest);
    std::printf("lost: %d\nbroken: %d\n", lost, broken);
    std::printf("killed before the first write: %d\nkills inside a write: %d\n", beforeAnyWrite,
                insideWrite);
    std::printf("runs that left files behind: %d\n", leftBehind);
    return lost == 0 && broken == 0 && leftBehind == 0 ? 0 : 1;
}
