// SPDX-License-Identifier: MIT
#include "archive/archive_file.h"

#include "texts/text_lines.h"
#include "texts/win1252.h"
#include "workspace/file_replace.h"
#include "workspace/pair_scan.h"
#include "workspace/shader_file.h"

#include <QFile>
#include <QtEndian>

#include <cstdint>
#include <limits>

namespace tessory {

namespace {

constexpr qint64 kIntSize = 4;
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

void appendInt(QByteArray& out, std::int32_t value) {
    char bytes[kIntSize];
    qToLittleEndian(value, bytes);
    out.append(bytes, kIntSize);
}

void appendName(QByteArray& out, const QString& baseName, const char* extension) {
    const QByteArray name = toWin1252Lossy(baseName) + extension;
    appendInt(out, std::int32_t(name.size()));
    out.append(name);
}

// The line block of one source file: its line count, then each line behind its length.
void appendSourceBlock(QByteArray& out, const QString& sourcePath, RCxState& generator) {
    const QList<QByteArray> lines = splitTextLines(readShaderFile(sourcePath));
    if (lines.size() > kMaxInt) {
        throw FileError(sourcePath, QStringLiteral("The file has too many lines for the archive."));
    }
    appendInt(out, std::int32_t(lines.size()));
    for (const QByteArray& line : lines) {
        if (line.size() > kMaxInt - kRCxPrefixLength) {
            throw FileError(sourcePath, QStringLiteral("A line is too long for the archive."));
        }
        appendInt(out, std::int32_t(line.size() + kRCxPrefixLength));
        out.append(EncodeRCx(generator, line));
    }
}

QString pairLabel(qsizetype index) {
    return QStringLiteral("pair %1").arg(index + 1);
}

// Reads the archive's fields one by one, checking every count and length against what is left
// of the device before anything is allocated for it.
class RecordReader {
public:
    RecordReader(QIODevice& device, const QString& name)
        : device_(device), name_(name), end_(device.size()) {}

    // A count of records each at least minRecordSize bytes long.
    qsizetype count(const QString& what, qint64 minRecordSize) {
        const std::int32_t n = integer(what);
        if (n < 0) {
            fail(QStringLiteral("The %1 is negative (%2).").arg(what).arg(n));
        }
        if (qint64(n) * minRecordSize > remaining()) {
            fail(QStringLiteral("The %1 (%2) is more than the rest of the file can hold.")
                     .arg(what)
                     .arg(n));
        }
        return n;
    }

    // A length field and the bytes it announces; minLength is the least length that makes sense.
    QByteArray bytes(const QString& what, std::int32_t minLength = 0) {
        const std::int32_t n = integer(QStringLiteral("length of the %1").arg(what));
        if (n < minLength) {
            fail(QStringLiteral("The length of the %1 (%2) is less than %3.")
                     .arg(what)
                     .arg(n)
                     .arg(minLength));
        }
        if (n > remaining()) {
            fail(QStringLiteral("The length of the %1 (%2) is more than the rest of the file.")
                     .arg(what)
                     .arg(n));
        }
        QByteArray data(n, Qt::Uninitialized);
        readExactly(data.data(), n, what);
        return data;
    }

    void expectEnd() {
        if (remaining() != 0) {
            fail(QStringLiteral("%1 bytes follow the last record.").arg(remaining()));
        }
    }

    [[noreturn]] void fail(const QString& cause) const {
        throw ArchiveError(name_, QStringLiteral("Damaged shader archive. ") + cause);
    }

private:
    std::int32_t integer(const QString& what) {
        char raw[kIntSize];
        readExactly(raw, kIntSize, what);
        return qFromLittleEndian<std::int32_t>(raw);
    }

    void readExactly(char* data, qint64 n, const QString& what) {
        if (n > remaining()) {
            fail(QStringLiteral("The file ends inside the %1.").arg(what));
        }
        if (device_.read(data, n) != n) {
            throw FileError(name_, device_.errorString());
        }
    }

    qint64 remaining() const { return end_ - device_.pos(); }

    QIODevice& device_;
    const QString& name_;
    qint64 end_;
};

// Every line record of one block. Lines are deciphered only when they are wanted; the others are
// still read so that the rest of the file is checked.
QList<QByteArray> readLineBlock(RecordReader& reader, const QString& block, bool decode) {
    const qsizetype n = reader.count(QStringLiteral("line count of the %1").arg(block),
                                     kIntSize + kRCxPrefixLength);
    QList<QByteArray> lines;
    if (decode) {
        lines.reserve(n);
    }
    for (qsizetype k = 0; k < n; ++k) {
        const QByteArray enciphered = reader.bytes(
            QStringLiteral("line %1 of the %2").arg(k + 1).arg(block), kRCxPrefixLength);
        if (decode) {
            lines.append(DecodeRCx(enciphered));
        }
    }
    return lines;
}

constexpr qsizetype kDecodeAll = -1;
constexpr qsizetype kDecodeNone = -2;

// The shared walk over an archive: the directory, then every body record. choose sees the
// directory and returns the index of the one pair to decipher, kDecodeAll or kDecodeNone.
QList<ArchivePair> readArchive(QIODevice& device, const QString& name,
                               const std::function<qsizetype(const QList<ArchivePair>&)>& choose) {
    RecordReader reader(device, name);
    // Each pair takes at least its two name lengths and its two line counts.
    const qsizetype n = reader.count(QStringLiteral("pair count"), 4 * kIntSize);
    QList<ArchivePair> pairs(n);
    for (qsizetype p = 0; p < n; ++p) {
        pairs[p].vertexName = reader.bytes(QStringLiteral("vertex name of ") + pairLabel(p));
        pairs[p].fragmentName = reader.bytes(QStringLiteral("fragment name of ") + pairLabel(p));
    }
    const qsizetype chosen = choose(pairs);
    for (qsizetype p = 0; p < n; ++p) {
        const bool decode = chosen == kDecodeAll || chosen == p;
        pairs[p].vertexLines =
            readLineBlock(reader, QStringLiteral("vertex block of ") + pairLabel(p), decode);
        pairs[p].fragmentLines =
            readLineBlock(reader, QStringLiteral("fragment block of ") + pairLabel(p), decode);
    }
    reader.expectEnd();
    return pairs;
}

void openForReading(QFile& file) {
    if (!file.open(QIODevice::ReadOnly)) {
        throw FileError(file.fileName(), file.errorString());
    }
}

bool equalIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype k = 0; k < a.size(); ++k) {
        const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (fold(a[k]) != fold(b[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SaveAllShadersEnCrypted(const QString& archivePath, const QStringList& baseNames,
                             const QString& workspaceDir, const QString& vertexExt,
                             const QString& fragmentExt, RCxState& generator,
                             const ArchiveProgress& progress) {
    if (baseNames.size() > kMaxInt) {
        throw FileError(archivePath, QStringLiteral("Too many shader pairs for one archive."));
    }
    FileReplacement file(archivePath);
    QByteArray chunk;
    appendInt(chunk, std::int32_t(baseNames.size()));
    for (const QString& name : baseNames) {
        appendName(chunk, name, ".vert");
        appendName(chunk, name, ".frag");
    }
    file.write(chunk);
    for (qsizetype p = 0; p < baseNames.size(); ++p) {
        chunk.clear();
        appendSourceBlock(chunk, findPairFile(workspaceDir, baseNames[p], vertexExt), generator);
        appendSourceBlock(chunk, findPairFile(workspaceDir, baseNames[p], fragmentExt), generator);
        file.write(chunk);
        if (progress) {
            progress(p + 1, baseNames.size());
        }
    }
    file.commit();
}

QList<ArchivePair> ReadShaderArchive(const QString& archivePath) {
    QFile file(archivePath);
    openForReading(file);
    return ReadShaderArchive(file, archivePath);
}

QList<ArchivePair> ReadShaderArchive(QIODevice& archive, const QString& archiveName) {
    return readArchive(archive, archiveName, [](const QList<ArchivePair>&) { return kDecodeAll; });
}

std::optional<ShaderLines> LoadFromEncShader(const QString& archivePath, const QString& baseName) {
    QFile file(archivePath);
    openForReading(file);
    return LoadFromEncShader(file, archivePath, baseName);
}

std::optional<ShaderLines> LoadFromEncShader(QIODevice& archive, const QString& archiveName,
                                             const QString& baseName) {
    const QByteArray wanted = toWin1252Lossy(baseName) + ".vert";
    qsizetype found = kDecodeNone;
    QList<ArchivePair> pairs =
        readArchive(archive, archiveName, [&](const QList<ArchivePair>& directory) {
            for (qsizetype p = 0; p < directory.size(); ++p) {
                if (equalIgnoringAsciiCase(directory[p].vertexName, wanted)) {
                    found = p;
                }
            }
            return found;
        });
    if (found < 0) {
        return std::nullopt;
    }
    return ShaderLines{std::move(pairs[found].vertexLines), std::move(pairs[found].fragmentLines)};
}

}  // namespace tessory
