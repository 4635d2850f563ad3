// SPDX-License-Identifier: MIT
#include "check/check_options.h"
#include "check/check_program.h"
#include "lsp/lsp_server.h"

#include <QCoreApplication>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

// A standard descriptor the caller closed would be handed to the next file opened, and the
// report would go into a shader, an archive or the driver's device. It is held by /dev/null,
// opened for reading only, so that reading it gives nothing and every write to it fails.
void holdClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            const int held = ::open("/dev/null", O_RDONLY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    tessory::keepFreedMemory();
    holdClosedStandardDescriptors();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("glsl-tessory-check"));
    const tessory::ParsedOptions parsed =
        tessory::parseCheckArguments(QCoreApplication::arguments());
    if (parsed.ok() && parsed.options.action == tessory::CheckAction::Lsp) {
        // Standard output carries the protocol alone: nothing else may write to it.
        return tessory::runLanguageServer(parsed.options);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    int status = tessory::runCheckProgram(QCoreApplication::arguments(), out, err);
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "glsl-tessory-check: the output could not be written to standard output\n";
        status = tessory::kExitFailure;
    }
    err.flush();
    if (err.status() != QTextStream::Ok) {
        status = tessory::kExitFailure;
    }
    return status;
}
