// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

#include <QByteArray>
#include <QString>

namespace tessory {

// A program object, deleted through the entry points that made it when its owner goes; they must
// outlive it. Moving hands the object on, so it is deleted exactly once.
class ProgramObject {
public:
    ProgramObject() = default;
    ProgramObject(const ArbApi& gl, GlHandle handle) : gl_(&gl), handle_(handle) {}
    ~ProgramObject();
    ProgramObject(ProgramObject&& other) noexcept;
    ProgramObject& operator=(ProgramObject&& other) noexcept;
    ProgramObject(const ProgramObject&) = delete;
    ProgramObject& operator=(const ProgramObject&) = delete;

    GlHandle handle() const { return handle_; }

private:
    void release();

    const ArbApi* gl_ = nullptr;
    GlHandle handle_ = 0;
};

// What one compile-and-link run of a shader pair gave. The run counts as clean when every info log
// it read is empty; compile and link status are never asked for.
struct CompileResult {
    ProgramObject program;
    // The logs as the driver wrote them, empty when absent or not read.
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    // The texts the driver was given.
    QByteArray vertexSource;
    QByteArray fragmentSource;

    bool hasLog() const {
        return !vertexLog.isEmpty() || !fragmentLog.isEmpty() || !linkLog.isEmpty();
    }
};

// The editor run, on the current context: compiles the two sources (the pane lines joined with
// joinLinesCrLf) and links them. The link log is read only when both compile logs are empty, as
// the error list shows it only then (errorListMessages).
CompileResult compileAndLink(const ArbApi& gl, const QByteArray& vertexSource,
                             const QByteArray& fragmentSource);

// The file run: compiles the two files (with CR LF line ends, whatever the files use) and always
// reads all three logs. Throws FileError when a file cannot be read or is longer than a shader
// file may be (kMaxShaderFileSize), before any GL object is made.
CompileResult compileAndLinkFiles(const ArbApi& gl, const QString& vertexPath,
                                  const QString& fragmentPath);

// The same on the two files' bytes, read before.
CompileResult compileAndLinkFileTexts(const ArbApi& gl, QByteArrayView vertexBytes,
                                      QByteArrayView fragmentBytes);

// The same on two texts given to the driver as they are.
CompileResult compileAndLinkTexts(const ArbApi& gl, QByteArray vertexSource,
                                  QByteArray fragmentSource);

}  // namespace tessory
