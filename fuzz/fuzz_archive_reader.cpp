// SPDX-License-Identifier: MIT
// The shader archive reader on arbitrary bytes held in memory: it either refuses them with an
// ArchiveError naming the archive, or gives pairs that account for every byte; the one-pair
// lookup agrees with the full read.
#include "archive/archive_file.h"
#include "archive/rcx.h"
#include "texts/win1252.h"

#include "fuzz_check.h"

#include <QBuffer>

#include <cstdint>

using namespace tessory;

namespace {

const QString kName = QStringLiteral("fuzzed.dat");

QBuffer* openBuffer(QBuffer& buffer, const QByteArray& bytes) {
    buffer.setData(bytes);
    FUZZ_CHECK(buffer.open(QIODevice::ReadOnly));
    return &buffer;
}

// The size the pairs take in the archive's layout: the pair count, the directory, and every line
// behind its length and its 16-byte prefix.
qsizetype storedSize(const QList<ArchivePair>& pairs) {
    qsizetype size = 4;
    for (const ArchivePair& p : pairs) {
        size += 4 + p.vertexName.size() + 4 + p.fragmentName.size();
        for (const QList<QByteArray>* block : {&p.vertexLines, &p.fragmentLines}) {
            size += 4;
            for (const QByteArray& line : *block) {
                size += 4 + kRCxPrefixLength + line.size();
            }
        }
    }
    return size;
}

QByteArray asciiLower(QByteArray text) {
    for (char& c : text) {
        c = (c >= 'A' && c <= 'Z') ? char(c | 0x20) : c;
    }
    return text;
}

// A base name the lookup can find: the stored vertex name of one pair without ".vert".
QString lookupName(const QList<ArchivePair>& pairs, qsizetype pick) {
    if (pairs.isEmpty()) {
        return QStringLiteral("absent");
    }
    const QByteArray& name = pairs[pick % pairs.size()].vertexName;
    return fromWin1252(name.endsWith(".vert") ? name.chopped(5) : name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer;
    QList<ArchivePair> pairs;
    try {
        pairs = ReadShaderArchive(*openBuffer(buffer, bytes), kName);
    } catch (const ArchiveError& e) {
        FUZZ_CHECK(e.path() == kName);
        QBuffer again;
        try {
            LoadFromEncShader(*openBuffer(again, bytes), kName, QStringLiteral("any"));
            FUZZ_FAIL("the lookup accepted an archive that the full read refused");
        } catch (const ArchiveError& lookupError) {
            FUZZ_CHECK(lookupError.path() == kName);
        }
        return 0;
    }
    FUZZ_CHECK(storedSize(pairs) == bytes.size());

    const QString base = lookupName(pairs, size % 7);
    const QByteArray wanted = toWin1252Lossy(base) + ".vert";
    qsizetype last = -1;
    for (qsizetype p = 0; p < pairs.size(); ++p) {
        if (asciiLower(pairs[p].vertexName) == asciiLower(wanted)) {
            last = p;
        }
    }
    QBuffer again;
    const std::optional<ShaderLines> found =
        LoadFromEncShader(*openBuffer(again, bytes), kName, base);
    FUZZ_CHECK(found.has_value() == (last >= 0));
    if (found) {
        FUZZ_CHECK(found->vertex == pairs[last].vertexLines);
        FUZZ_CHECK(found->fragment == pairs[last].fragmentLines);
    }

    // A line read back enciphers again into a record of the same length that reads the same.
    RCxState generator = RCxNewGenerator();
    for (const ArchivePair& p : pairs) {
        for (const QByteArray& line : p.vertexLines + p.fragmentLines) {
            const QByteArray record = EncodeRCx(generator, line);
            FUZZ_CHECK(record.size() == line.size() + kRCxPrefixLength);
            FUZZ_CHECK(DecodeRCx(record) == line);
        }
    }
    return 0;
}
