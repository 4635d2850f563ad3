// SPDX-License-Identifier: MIT
#pragma once

#include "compile/compile_and_link.h"
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessory::testing {

// The error list an editor run shows, as texts.
inline QStringList shownEntries(const CompileResult& run) {
    QStringList shown;
    for (const ShaderMessage& m : errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog)) {
        shown.append(m.shown);
    }
    return shown;
}

// Writes a file into the directory and gives its path.
inline QString writeTestFile(const QTemporaryDir& dir, const QString& name,
                             const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

}  // namespace tessory::testing
