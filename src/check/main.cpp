// SPDX-License-Identifier: MIT
#include "check/check_program.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("glsl-tessory-check"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = tessory::runCheckProgram(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
