// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/qt_printers.h"

#include <gtest/gtest.h>

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

    void put(const QString& relative, const QByteArray& bytes) const {
        const QString full = path(relative);
        QDir().mkpath(full.section(u'/', 0, -2));
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
        ASSERT_EQ(file.write(bytes), bytes.size());
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
    QTemporaryDir dir_;
};

}  // namespace tessory::testing
