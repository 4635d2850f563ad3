// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tessory {

// One compile-and-link run of a shader pair on the current context. The run counts as clean when
// every info log it reads is empty; compile and link status are never asked for. Construct it,
// read HasLog, destroy it: the program object lives exactly as long as the object. The entry
// points it is given must outlive it.
class TShaderMod {
public:
    // The editor run: compiles the two sources (the pane lines joined with joinLinesCrLf) and
    // replaces the error list with the driver's lines, each tagged "  [VertexShader]" or
    // "  [FragmentShader]", or with "VertexShader: OK" and "FragmentShader: OK".
    TShaderMod(const ArbApi& gl, const QByteArray& vertexSource, const QByteArray& fragmentSource,
               QStringList& errorList);
    // The file run: compiles the two files and only records whether the driver said anything.
    // Throws FileError when a file cannot be read or is longer than a shader file may be
    // (kMaxShaderFileSize); no GL object outlives the throw.
    TShaderMod(const ArbApi& gl, const QString& vertexPath, const QString& fragmentPath);
    ~TShaderMod();
    TShaderMod(const TShaderMod&) = delete;
    TShaderMod& operator=(const TShaderMod&) = delete;

    GlHandle ProgramObject = 0;
    bool HasLog = false;

    // The logs as the driver wrote them, empty when absent. The editor run reads the link log
    // only when both compile logs are empty; the file run always reads it.
    const QByteArray& vertexLog() const { return vertexLog_; }
    const QByteArray& fragmentLog() const { return fragmentLog_; }
    const QByteArray& linkLog() const { return linkLog_; }
    // The texts the file run gave the driver (CR LF line ends); empty after the editor run.
    const QByteArray& vertexSource() const { return vertexSource_; }
    const QByteArray& fragmentSource() const { return fragmentSource_; }

private:
    struct Objects {
        GlHandle program;
        GlHandle fragment;
        GlHandle vertex;
    };

    Objects createObjects() const;
    void compile(const Objects& objects, const QByteArray& vertexSource,
                 const QByteArray& fragmentSource) const;
    void attachAndLink(const Objects& objects) const;
    // Leaves text unchanged when the driver reports a log length below 2.
    void GetInfoLog(GlHandle object, QByteArray& text) const;
    GlHandle CompileFromEditors(const QByteArray& vertexSource, const QByteArray& fragmentSource,
                                QStringList& errorList);
    GlHandle CompileFromFiles(const QString& vertexPath, const QString& fragmentPath);

    const ArbApi& gl_;
    QByteArray vertexLog_;
    QByteArray fragmentLog_;
    QByteArray linkLog_;
    QByteArray vertexSource_;
    QByteArray fragmentSource_;
};

}  // namespace tessory
