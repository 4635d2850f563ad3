// SPDX-License-Identifier: MIT
#include "check/workspace_check.h"

#include "workspace/file_io.h"
#include "workspace/shader_file.h"

namespace tessory {
namespace {

// FileError says "PATH:\ncause"; the report prints the path already.
QString causeOf(const FileError& error) {
    const QString text = QString::fromStdString(error.what());
    const QString prefix = error.path() + QStringLiteral(":\n");
    return text.startsWith(prefix) ? text.sliced(prefix.size()) : text;
}

ShaderMessage unreadable(const FileError& error) {
    return ShaderMessage{
        error.path(),           std::nullopt,
        MessageSeverity::Error, QStringLiteral("cannot be read: ") + causeOf(error),
        MessageOrigin::File,    std::nullopt};
}

// Shader text holds no NUL byte; a file that does is something else, and the driver would stop
// reading it there without a word.
std::optional<ShaderMessage> binaryProblem(const QString& path, const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0) {
        return std::nullopt;
    }
    return ShaderMessage{path,
                         std::nullopt,
                         MessageSeverity::Error,
                         QStringLiteral("not checked: a binary file, not shader text (a NUL byte "
                                        "at offset %1)")
                             .arg(nul),
                         MessageOrigin::File,
                         std::nullopt};
}

}  // namespace

std::optional<QByteArray> shaderBytes(const QString& path, const QByteArray* readAhead,
                                      QList<ShaderMessage>& messages) {
    QByteArray bytes;
    try {
        bytes = readAhead ? *readAhead : readShaderFile(path);
    } catch (const FileError& error) {
        messages.append(unreadable(error));
        return std::nullopt;
    }
    if (std::optional<ShaderMessage> binary = binaryProblem(path, bytes)) {
        messages.append(std::move(*binary));
        return std::nullopt;
    }
    return bytes;
}

void readAhead(WorkspaceCheck& check, ReadAheadLimit& limit) {
    for (PairCheck& pair : check.pairs) {
        if (pair.sources) {
            continue;
        }
        if (limit.reached()) {
            return;
        }
        try {
            PairSources sources{
                readShaderFile(pair.vertexPath), readShaderFile(pair.fragmentPath), {}};
            qint64 bytes = sources.vertex.size() + sources.fragment.size();
            for (const StageFile& stage : pair.otherStages) {
                sources.other.append(readShaderFile(stage.path));
                bytes += sources.other.last().size();
            }
            limit.bytes -= bytes;
            pair.sources = std::move(sources);
        } catch (const FileError&) {
            // Read again when compiled, and reported then.
        }
    }
    for (FileCheck& file : check.files) {
        readAhead(file, limit);
    }
}

void readAhead(FileCheck& file, ReadAheadLimit& limit) {
    if (file.source || limit.reached()) {
        return;
    }
    try {
        file.source = readShaderFile(file.path);
        limit.bytes -= file.source->size();
    } catch (const FileError&) {
        // Read again when compiled, and reported then.
    }
}

QString fileErrorText(const std::exception& error) {
    return QString::fromStdString(error.what()).replace(u'\n', u' ');
}

}  // namespace tessory
