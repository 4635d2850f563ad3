// SPDX-License-Identifier: MIT
#include "support/bench_files.h"

#include <QFile>

namespace tessory::bench {

QByteArray readExample(const char* name) {
    QFile file(QStringLiteral(TESSORY_EXAMPLES_DIR "/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the example %s", name);
    }
    return file.readAll();
}

void writeBenchFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

}  // namespace tessory::bench
