// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_contexts.h"
#include "compile/program_engine.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessory::testing {

// The engine against the real driver: contexts of every profile for the test thread, files in a
// temporary folder, messages as "path:line:column: text" for short expectations.
class EngineTest : public ::testing::Test {
protected:
    static ThreadContexts& contexts() {
        static ThreadContexts made;
        return made;
    }

    QString root() const { return dir_.path(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }

    QString put(const QString& relative, const QByteArray& bytes) const {
        const QString full = path(relative);
        QDir().mkpath(full.section(u'/', 0, -2));
        QFile file(full);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
        file.write(bytes);
        return full;
    }

    ProgramResult compile(ProgramRequest request) const {
        if (request.expand.root.isEmpty()) {
            request.expand.root = dir_.path();
        }
        return CompileEngine(resolver_).compile(request, contexts());
    }

    ProgramResult compileFiles(const QList<std::pair<ShaderStage, QString>>& files,
                               std::optional<Target> target, ExpandSettings expand = {}) const {
        ProgramRequest request;
        for (const auto& [stage, relative] : files) {
            QFile file(path(relative));
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
            request.stages.append({stage, path(relative), file.readAll()});
        }
        request.target = target;
        request.expand = std::move(expand);
        return compile(request);
    }

    // Each message with its place relative to the folder.
    QStringList shown(const ProgramResult& result) const {
        QStringList lines;
        for (const ShaderMessage& m : result.messages) {
            QString at = QDir(dir_.path()).relativeFilePath(m.path);
            if (m.line) {
                at += u':' + QString::number(*m.line);
            }
            if (m.column) {
                at += u':' + QString::number(*m.column);
            }
            lines.append(at + QStringLiteral(": ") + m.text);
        }
        return lines;
    }

    FileIncludeResolver resolver_;
    QTemporaryDir dir_;
};

}  // namespace tessory::testing
