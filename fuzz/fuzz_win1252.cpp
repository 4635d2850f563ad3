// SPDX-License-Identifier: MIT
// The Windows-1252 codec, the line splitting of the compiler and the archive, and the shader
// text decode/encode of the editor panes.
#include "texts/text_lines.h"
#include "texts/win1252.h"
#include "workspace/shader_file.h"

#include "fuzz_check.h"

#include <QString>

#include <cstdint>
#include <cstring>

using namespace tessory;

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

void checkCodec(QByteArrayView bytes) {
    const QString text = fromWin1252(bytes);
    FUZZ_CHECK(text.size() == bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const char16_t c = text[i].unicode();
        // Only 0x80..0x9F may change their code; the rest of the bytes are Latin-1.
        FUZZ_CHECK((b >= 0x80 && b < 0xA0) || c == b);
    }
    FUZZ_CHECK(firstUnencodableWin1252(text) == -1);
    const std::optional<QByteArray> back = toWin1252(text);
    FUZZ_CHECK(back && *back == bytes);
    FUZZ_CHECK(toWin1252Lossy(text) == bytes);
}

// Any UTF-16 text: either every character has a byte and the bytes decode to the text, or the
// first character without one is where the encoder gave up and the lossy form has '?' there.
void checkEncoder(QStringView text) {
    const std::optional<QByteArray> bytes = toWin1252(text);
    const qsizetype bad = firstUnencodableWin1252(text);
    const QByteArray lossy = toWin1252Lossy(text);
    FUZZ_CHECK(lossy.size() == text.size());
    FUZZ_CHECK(bytes.has_value() == (bad < 0));
    if (bytes) {
        FUZZ_CHECK(fromWin1252(*bytes) == text);
        FUZZ_CHECK(lossy == *bytes);
        return;
    }
    FUZZ_CHECK(bad < text.size());
    FUZZ_CHECK(lossy[bad] == '?');
    FUZZ_CHECK(fromWin1252(lossy.first(bad)) == text.first(bad));
    FUZZ_CHECK(toWin1252(text.first(bad)).has_value());
}

// The text up to its first NUL with every line end turned into CR LF: what the lines, joined as
// the driver gets them, must give, plus a last CR LF when the text does not end with one.
void checkLineSplit(QByteArrayView bytes) {
    const QList<QByteArray> lines = splitTextLines(bytes);
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n') && !line.contains('\0'));
    }
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArrayView text = nul < 0 ? bytes : bytes.first(nul);
    QByteArray normalized;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        normalized.append(isLineEnd(text[i]) ? QByteArrayView("\r\n") : text.sliced(i, 1));
    }
    if (!text.isEmpty() && !isLineEnd(text.back())) {
        normalized.append("\r\n");
    }
    const QByteArray joined = joinLinesCrLf(lines);
    FUZZ_CHECK(joined == normalized);
    FUZZ_CHECK(withCrLfLineEnds(bytes) == joined);
    FUZZ_CHECK(splitTextLines(joined) == lines);
}

// The kinds of line end a file uses, in the order they first appear.
struct LineEnds {
    int kinds = 0;
    LineEnd first = LineEnd::Lf;
};

LineEnds lineEndsOf(QByteArrayView bytes) {
    bool lf = false;
    bool crlf = false;
    bool cr = false;
    LineEnds ends;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        LineEnd kind;
        if (bytes[i] == '\n') {
            kind = LineEnd::Lf;
        } else if (bytes[i] == '\r') {
            const bool pair = i + 1 < bytes.size() && bytes[i + 1] == '\n';
            kind = pair ? LineEnd::CrLf : LineEnd::Cr;
            i += pair ? 1 : 0;
        } else {
            continue;
        }
        bool& seen = kind == LineEnd::Lf ? lf : (kind == LineEnd::CrLf ? crlf : cr);
        if (ends.kinds == 0) {
            ends.first = kind;
        }
        if (!seen) {
            seen = true;
            ++ends.kinds;
        }
    }
    return ends;
}

// Every line end of the file replaced by `end`.
QByteArray withLineEnds(QByteArrayView bytes, LineEnd end) {
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        out.append(isLineEnd(bytes[i]) ? lineEndBytes(end) : bytes.sliced(i, 1).toByteArray());
    }
    return out;
}

void checkShaderText(QByteArrayView bytes) {
    const ShaderText source = decodeShaderText(bytes);
    FUZZ_CHECK(!source.text.contains(u'\r'));
    const LineEnds ends = lineEndsOf(bytes);
    FUZZ_CHECK(source.lineEnd == ends.first);
    const QByteArray saved = encodeShaderText(source, QStringLiteral("f"));
    if (ends.kinds <= 1) {
        FUZZ_CHECK(saved == bytes);
    } else {
        FUZZ_CHECK(saved == withLineEnds(bytes, ends.first));
    }
}

// Text as the pane holds it (line ends are "\n"): saving throws only for a character without a
// byte, naming its line; what is saved loads back as the same text.
void checkShaderSave(QStringView paneText, LineEnd lineEnd) {
    QString text = paneText.toString();
    text.replace(u'\r', u'\n');
    const ShaderText source{text, lineEnd};
    const qsizetype bad = firstUnencodableWin1252(text);
    try {
        const QByteArray saved = encodeShaderText(source, QStringLiteral("pane.vert"));
        FUZZ_CHECK(bad < 0);
        const ShaderText loaded = decodeShaderText(saved);
        FUZZ_CHECK(loaded.text == text);
        FUZZ_CHECK(loaded.lineEnd == (text.contains(u'\n') ? lineEnd : LineEnd::Lf));
    } catch (const UnencodableTextError& e) {
        FUZZ_CHECK(bad >= 0);
        FUZZ_CHECK(e.path() == QStringLiteral("pane.vert"));
        FUZZ_CHECK(e.line() == QStringView(text).first(bad).count(u'\n') + 1);
    }
}

QString utf16Of(QByteArrayView bytes) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), bytes.data(), std::size_t(text.size()) * 2);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every byte value, alone and together, whatever the corpus holds.
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        all[b] = char(b);
        checkCodec(all.sliced(b, 1));
    }
    checkCodec(all);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkCodec(bytes);
    checkLineSplit(bytes);
    checkShaderText(bytes);
    const QString text = utf16Of(bytes);
    checkEncoder(text);
    const LineEnd lineEnd = size == 0 ? LineEnd::Lf : LineEnd(data[0] % 3);
    checkShaderSave(text, lineEnd);
    return 0;
}
