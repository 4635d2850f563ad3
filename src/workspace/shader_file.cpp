// SPDX-License-Identifier: MIT
#include "workspace/shader_file.h"

#include "texts/win1252.h"

#include <QFileInfo>

namespace tessory {
namespace {

LineEnd firstLineEnd(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            return LineEnd::Lf;
        }
        if (bytes[i] == '\r') {
            return (i + 1 < bytes.size() && bytes[i + 1] == '\n') ? LineEnd::CrLf : LineEnd::Cr;
        }
    }
    return LineEnd::Lf;
}

// Turns CR LF and lone CR into LF in place.
void useLfLineEnds(QString& text) {
    char16_t* const begin = reinterpret_cast<char16_t*>(text.data());
    const char16_t* const end = begin + text.size();
    char16_t* out = begin;
    for (const char16_t* in = begin; in != end; ++in) {
        if (*in != u'\r') {
            *out++ = *in;
            continue;
        }
        *out++ = u'\n';
        if (in + 1 != end && in[1] == u'\n') {
            ++in;
        }
    }
    text.truncate(out - begin);
}

QString describe(int line, char32_t character) {
    return QStringLiteral(
               "Line %1 holds the character U+%2, which an 8-bit Windows-1252 file cannot "
               "store. Nothing was saved.")
        .arg(line)
        .arg(QString::number(uint(character), 16).toUpper().rightJustified(4, u'0'));
}

}  // namespace

QByteArray lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
        case LineEnd::CrLf:
            return QByteArrayLiteral("\r\n");
        case LineEnd::Cr:
            return QByteArrayLiteral("\r");
        case LineEnd::Lf:
            break;
    }
    return QByteArrayLiteral("\n");
}

ShaderText decodeShaderText(QByteArrayView bytes) {
    ShaderText source{fromWin1252(bytes), firstLineEnd(bytes)};
    if (bytes.contains('\r')) {
        useLfLineEnds(source.text);
    }
    return source;
}

UnencodableTextError::UnencodableTextError(const QString& path, int line, char32_t character)
    : FileError(path, describe(line, character)), line_(line) {}

QByteArray encodeShaderText(const ShaderText& source, const QString& path) {
    std::optional<QByteArray> bytes = toWin1252(source.text);
    if (!bytes) {
        const qsizetype at = firstUnencodableWin1252(source.text);
        const int line = int(QStringView(source.text).left(at).count(u'\n')) + 1;
        const QChar c = source.text[at];
        const bool pair = c.isHighSurrogate() && at + 1 < source.text.size() &&
                          source.text[at + 1].isLowSurrogate();
        const char32_t character =
            pair ? QChar::surrogateToUcs4(c, source.text[at + 1]) : char32_t(c.unicode());
        throw UnencodableTextError(path, line, character);
    }
    if (source.lineEnd != LineEnd::Lf) {
        bytes->replace('\n', lineEndBytes(source.lineEnd));
    }
    return *bytes;
}

QByteArray readShaderFile(const QString& path) {
    return readWholeFile(path, kMaxShaderFileSize);
}

std::optional<ShaderText> loadShaderFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    return decodeShaderText(readShaderFile(path));
}

void saveShaderPair(const QString& vertexPath, const ShaderText& vertex,
                    const QString& fragmentPath, const ShaderText& fragment,
                    const CommitFile& commit) {
    writeFilesTogether({FileContent{vertexPath, encodeShaderText(vertex, vertexPath)},
                        FileContent{fragmentPath, encodeShaderText(fragment, fragmentPath)}},
                       commit);
}

}  // namespace tessory
