// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace tessory::testing {

struct CheckerRun {
    int exitCode = -1;
    QString out;
    QString err;

    QStringList outLines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

// glsl-tessory-check run as a subprocess in a temporary folder, which the test fills with
// WorkSpaces. Paths in the report are then the relative ones the test passes.
class CheckerProcess : public ::testing::Test {
protected:
    QString root() const { return dir_.path() + u'/'; }
    QString path(const QString& relative) const { return root() + relative; }

    // Readable to the user runAsStranger runs as, whatever the umask of the test run.
    void put(const QString& relative, const QByteArray& bytes) const {
        const QString full = path(relative);
        const QString folder = full.section(u'/', 0, -2);
        QDir().mkpath(folder);
        for (QString d = folder; d.size() > dir_.path().size(); d = d.section(u'/', 0, -2)) {
            ::chmod(QFile::encodeName(d).constData(), 0755);
        }
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }

    QByteArray read(const QString& relative) const {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool exists(const QString& relative) const { return QFile::exists(path(relative)); }

    CheckerRun run(
        const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const {
        return runProgram(QStringLiteral(TESSORY_CHECK_BINARY), arguments, {}, environment);
    }

    // The checker with the bytes on its standard input.
    CheckerRun runWithInput(const QStringList& arguments, const QByteArray& input) const {
        return runProgram(QStringLiteral(TESSORY_CHECK_BINARY), arguments, input);
    }

    // Whether runAsStranger can drop root's rights, which needs setpriv.
    static bool strangerAvailable() {
        return ::geteuid() != 0 ||
               !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
    }

    // The checker with the rights of a user who owns nothing here (root reads every folder and
    // starts any number of threads), behind prlimit's `limits` (such as --nproc=1). That user may
    // not reach the build tree of a clone under /root or in a private folder: the program runs
    // from a copy in the temporary folder, which is opened to everyone, and the sanitizers read
    // copies of their suppressions there.
    CheckerRun runAsStranger(
        const QStringList& arguments, const QStringList& limits = {},
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) const {
        QStringList command;
        if (!limits.isEmpty()) {
            command << QStandardPaths::findExecutable(QStringLiteral("prlimit")) << limits << "--";
        }
        if (::geteuid() == 0) {
            // A user of its own, so that no other process counts against its limits.
            const QString id = QString::number(40000 + ::getpid() % 20000);
            command << QStandardPaths::findExecutable(QStringLiteral("setpriv")) << "--reuid=" + id
                    << "--regid=" + id << "--clear-groups";
        }
        ::chmod(QFile::encodeName(dir_.path()).constData(), statOf(dir_.path()) | 0755);
        command << sharedCopy(QStringLiteral(TESSORY_CHECK_BINARY), 0755) << arguments;
        for (const char* variable : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
            QStringList options = environment.value(variable).split(u':', Qt::SkipEmptyParts);
            for (QString& option : options) {
                if (option.startsWith(QStringLiteral("suppressions="))) {
                    option = "suppressions=" + sharedCopy(option.section(u'=', 1), 0644);
                }
            }
            if (!options.isEmpty()) {
                environment.insert(variable, options.join(u':'));
            }
        }
        const QString program = command.takeFirst();
        return runProgram(program, command, {}, environment);
    }

    // Any program in the temporary folder, such as the checker behind setpriv or a shell.
    CheckerRun runProgram(
        const QString& program, const QStringList& arguments, const QByteArray& input = {},
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const {
        QProcess process;
        process.setWorkingDirectory(dir_.path());
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        CheckerRun result;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << program.toStdString()
                          << " did not finish: " << process.errorString().toStdString();
            return result;
        }
        result.exitCode = process.exitCode();
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private:
    static mode_t statOf(const QString& file) {
        struct stat info {};
        ::stat(QFile::encodeName(file).constData(), &info);
        return info.st_mode & 07777;
    }

    // The file copied into a hidden folder of the temporary one (which -r leaves out), with `mode`
    // whatever the umask of the build was.
    QString sharedCopy(const QString& file, mode_t mode) const {
        const QString folder = path(QStringLiteral(".shared"));
        QDir().mkpath(folder);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        const QString copy = folder + u'/' + QFileInfo(file).fileName();
        if (!QFile::exists(copy)) {
            EXPECT_TRUE(QFile::copy(file, copy)) << file.toStdString();
        }
        ::chmod(QFile::encodeName(copy).constData(), mode);
        return copy;
    }

    QTemporaryDir dir_;
};

}  // namespace tessory::testing
