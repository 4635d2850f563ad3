// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/file_io.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tessory {

// The line end a shader file uses; saving writes it between the pane's lines.
enum class LineEnd { Lf, CrLf, Cr };

QByteArray lineEndBytes(LineEnd lineEnd);

// A shader source as the editor pane holds it: the file's lines joined with "\n" (a file that
// ends with a line end gives an empty last line), and the line end to write them back with.
struct ShaderText {
    QString text;
    LineEnd lineEnd = LineEnd::Lf;
};

// The file's first line end decides: LF, CR LF, or a lone CR (old Mac files, which then round
// trip too); LF when there is none. Every line end of the file, whatever its kind, becomes "\n",
// as the pane and the compiler both break lines at CR, LF and CR LF; so a file that mixes kinds
// is written back with its first kind throughout. Any other byte maps to its Windows-1252
// character, which saving maps back to the same byte.
ShaderText decodeShaderText(QByteArrayView bytes);

// The text cannot be saved without loss: one of its characters has no Windows-1252 byte.
class UnencodableTextError : public FileError {
public:
    UnencodableTextError(const QString& path, int line, char32_t character);
    int line() const { return line_; }

private:
    int line_;
};

// The bytes of the file; throws UnencodableTextError (naming `path` and the 1-based line of the
// first character Windows-1252 cannot hold) instead of writing such text with losses.
QByteArray encodeShaderText(const ShaderText& source, const QString& path);

// Shader files longer than this are not read: no real shader comes near it, and a pane takes
// seconds per ten megabytes to take one in (minutes and gigabytes for hundreds of megabytes).
inline constexpr qint64 kMaxShaderFileSize = qint64(16) << 20;

// The bytes of a shader file, for the panes, the compiler and the archive alike; throws FileError
// when it cannot be read or is longer than kMaxShaderFileSize (the message gives its length).
QByteArray readShaderFile(const QString& path);

// The file's text, or nothing when there is no file at the path (absent, or not a file, such as a
// directory): the caller reports "Could not load vertex shader file." or the fragment message.
// A file that exists but cannot be read, or is too long, throws FileError.
std::optional<ShaderText> loadShaderFile(const QString& path);

// Writes both files of a pair or neither: every character is checked before anything is written,
// both files go to temporaries, and they replace the old files only when both are complete.
// Throws FileError (UnencodableTextError for unsavable text) naming the file that failed, with
// both old files untouched. `commit` is for tests, as in writeFilesTogether.
void saveShaderPair(const QString& vertexPath, const ShaderText& vertex,
                    const QString& fragmentPath, const ShaderText& fragment,
                    const CommitFile& commit = {});

}  // namespace tessory
