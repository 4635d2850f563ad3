// SPDX-License-Identifier: MIT
#include "archive/archive_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include "archive/print_bytes.h"

#include <gtest/gtest.h>

using namespace tessory;

namespace {

QByteArray le(std::int32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

// The path named by the error that the action throws; a failure when it throws none.
template <class Error, class Action>
QString thrownPath(Action action) {
    try {
        action();
    } catch (const Error& e) {
        return e.path();
    }
    ADD_FAILURE() << "no error thrown";
    return {};
}

// Walks the stored bytes the way the format lays them out, independent of the reader.
class Cursor {
public:
    explicit Cursor(QByteArray bytes) : bytes_(std::move(bytes)) {}
    std::int32_t integer() {
        const auto v = qFromLittleEndian<std::int32_t>(bytes_.constData() + pos_);
        pos_ += 4;
        return v;
    }
    QByteArray record() {
        const std::int32_t n = integer();
        const QByteArray r = bytes_.sliced(pos_, n);
        pos_ += n;
        return r;
    }
    bool atEnd() const { return pos_ == bytes_.size(); }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

class ArchiveFile : public testing::Test {
protected:
    QString dir() const { return dir_.path() + "/"; }
    QString archive() const { return dir() + "shaders.dat"; }

    void put(const QString& name, const QByteArray& bytes) const {
        QFile file(dir() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray stored(const QString& path = {}) const {
        QFile file(path.isEmpty() ? archive() : path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void save(const QStringList& names, RCxState& generator, const QString& vertexExt = ".vert",
              const QString& fragmentExt = ".frag") const {
        SaveAllShadersEnCrypted(archive(), names, dir(), vertexExt, fragmentExt, generator);
    }
    void save(const QStringList& names) const {
        RCxState generator = RCxNewGenerator();
        save(names, generator);
    }

    QTemporaryDir dir_;
};

TEST_F(ArchiveFile, EmptyWorkSpaceGivesOnlyThePairCount) {
    save({});
    EXPECT_EQ(stored(), le(0));
    EXPECT_TRUE(ReadShaderArchive(archive()).isEmpty());
}

TEST_F(ArchiveFile, LaysOutDirectoryThenBodies) {
    put("a.vert", "x\r\n\r\nyz");
    put("a.frag", "");
    put("bb.vert", "one\rtwo\n");
    put("bb.frag", "frag\0ignored");
    save({"a", "bb"});

    Cursor c(stored());
    EXPECT_EQ(c.integer(), 2);
    for (const char* name : {"a.vert", "a.frag", "bb.vert", "bb.frag"}) {
        EXPECT_EQ(c.record(), name);
    }
    const QList<QList<QByteArray>> blocks = {{"x", "", "yz"}, {}, {"one", "two"}, {"frag"}};
    for (const QList<QByteArray>& lines : blocks) {
        ASSERT_EQ(c.integer(), lines.size());
        for (const QByteArray& line : lines) {
            const QByteArray enciphered = c.record();
            EXPECT_EQ(enciphered.size(), line.size() + 16);
            EXPECT_EQ(DecodeRCx(enciphered), line);
        }
    }
    EXPECT_TRUE(c.atEnd());
}

TEST_F(ArchiveFile, EqualLinesAreStoredAsDifferentBytes) {
    put("p.vert", "same\nsame\n");
    put("p.frag", "same");
    save({"p"});
    Cursor c(stored());
    c.integer();
    c.record();
    c.record();
    c.integer();
    const QByteArray first = c.record();
    const QByteArray second = c.record();
    c.integer();
    const QByteArray third = c.record();
    EXPECT_NE(first, second);
    EXPECT_NE(first, third);
    EXPECT_NE(second, third);
}

TEST_F(ArchiveFile, FreshGeneratorsWriteIdenticalArchivesAndALaterOneDiffers) {
    put("p.vert", "void main() {}\n");
    put("p.frag", "void main() {}\n");
    save({"p"});
    const QByteArray first = stored();
    save({"p"});
    EXPECT_EQ(stored(), first);

    RCxState generator = RCxNewGenerator();
    save({"p"}, generator);
    save({"p"}, generator);
    EXPECT_NE(stored(), first);
    EXPECT_EQ(stored().size(), first.size());
}

TEST_F(ArchiveFile, ReadsSourcesWithTheSetExtensionsButNamesThemVertAndFrag) {
    put("p.vs", "vertex source");
    put("p.fs", "fragment source");
    put("p.vert", "wrong file");
    put("p.frag", "wrong file");
    RCxState generator = RCxNewGenerator();
    save({"p"}, generator, ".vs", ".fs");

    const QList<ArchivePair> pairs = ReadShaderArchive(archive());
    ASSERT_EQ(pairs.size(), 1);
    EXPECT_EQ(pairs[0].vertexName, "p.vert");
    EXPECT_EQ(pairs[0].fragmentName, "p.frag");
    EXPECT_EQ(pairs[0].vertexLines, QList<QByteArray>{"vertex source"});
    EXPECT_EQ(pairs[0].fragmentLines, QList<QByteArray>{"fragment source"});
}

TEST_F(ArchiveFile, ReportsProgressOncePerPair) {
    for (const char* name : {"a", "b", "c"}) {
        put(QString(name) + ".vert", "v");
        put(QString(name) + ".frag", "f");
    }
    RCxState generator = RCxNewGenerator();
    QList<std::pair<qsizetype, qsizetype>> calls;
    SaveAllShadersEnCrypted(archive(), {"a", "b", "c"}, dir(), ".vert", ".frag", generator,
                            [&](qsizetype done, qsizetype total) {
                                calls.append({done, total});
                            });
    EXPECT_EQ(calls, (QList<std::pair<qsizetype, qsizetype>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(ArchiveFile, FailedWriteLeavesTheEarlierArchiveIntact) {
    put("a.vert", "a");
    put("a.frag", "a");
    save({"a"});
    const QByteArray earlier = stored();

    put("b.vert", "b");
    EXPECT_EQ(thrownPath<FileError>([&] { save({"a", "b"}); }), dir() + "b.frag");
    EXPECT_EQ(stored(), earlier);
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files).size(), 4) << "a temporary file was left behind";
}

TEST_F(ArchiveFile, ArchiveThatCannotBeCreatedNamesItsPath) {
    RCxState generator = RCxNewGenerator();
    const QString path = dir() + "missing/shaders.dat";
    EXPECT_EQ(thrownPath<FileError>(
                  [&] { SaveAllShadersEnCrypted(path, {}, dir(), ".vert", ".frag", generator); }),
              path);
}

TEST_F(ArchiveFile, LookupIgnoresTheCaseOfAToZOnlyAndTakesTheLastMatch) {
    const QStringList names = {"Alpha", "alpha2", "ALPHA", "\u00c4rger"};
    for (const QString& name : names) {
        put(name + ".vert", name.toUtf8() + " vertex");
        put(name + ".frag", name.toUtf8() + " fragment");
    }
    save(names);

    const std::optional<ShaderLines> found = LoadFromEncShader(archive(), "aLpHa");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->vertex, QList<QByteArray>{"ALPHA vertex"});
    EXPECT_EQ(found->fragment, QList<QByteArray>{"ALPHA fragment"});

    EXPECT_TRUE(LoadFromEncShader(archive(), "\u00c4rger").has_value());
    EXPECT_FALSE(LoadFromEncShader(archive(), "\u00e4rger").has_value());
    EXPECT_FALSE(LoadFromEncShader(archive(), "Alpha.vert").has_value());
    EXPECT_FALSE(LoadFromEncShader(archive(), "gamma").has_value());
}

TEST_F(ArchiveFile, DeviceReadersStartAtTheDevicePositionAndAgreeWithTheFileReaders) {
    put("Pair.vert", "v1\nv2");
    put("Pair.frag", "f1");
    put("other.vert", "o");
    put("other.frag", "");
    save({"Pair", "other"});

    QBuffer buffer;
    buffer.setData("header" + stored());
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(6));
    const QList<ArchivePair> fromDevice = ReadShaderArchive(buffer, "buffer");
    const QList<ArchivePair> fromFile = ReadShaderArchive(archive());
    ASSERT_EQ(fromDevice.size(), 2);
    for (qsizetype p = 0; p < 2; ++p) {
        EXPECT_EQ(fromDevice[p].vertexName, fromFile[p].vertexName);
        EXPECT_EQ(fromDevice[p].fragmentName, fromFile[p].fragmentName);
        EXPECT_EQ(fromDevice[p].vertexLines, fromFile[p].vertexLines);
        EXPECT_EQ(fromDevice[p].fragmentLines, fromFile[p].fragmentLines);
    }

    ASSERT_TRUE(buffer.seek(6));
    const std::optional<ShaderLines> found = LoadFromEncShader(buffer, "buffer", "pair");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->vertex, (QList<QByteArray>{"v1", "v2"}));
    EXPECT_EQ(found->fragment, QList<QByteArray>{"f1"});
}

class DamagedArchive : public ArchiveFile {
protected:
    void SetUp() override {
        put("p.vert", "line one\n\nline three");
        put("p.frag", "");
        put("q.vert", "q");
        put("q.frag", "q");
        save({"p", "q"});
        valid_ = stored();
    }

    // Both readers must refuse the bytes with an ArchiveError naming the archive.
    void expectRefused(const QByteArray& bytes, const char* why) {
        const QString path = dir() + "damaged.dat";
        put("damaged.dat", bytes);
        EXPECT_EQ(thrownPath<ArchiveError>([&] { ReadShaderArchive(path); }), path) << why;
        EXPECT_THROW(LoadFromEncShader(path, "q"), ArchiveError) << why;

        QBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        EXPECT_EQ(thrownPath<ArchiveError>([&] { ReadShaderArchive(buffer, "in memory"); }),
                  "in memory")
            << why;
    }

    QByteArray valid_;
};

TEST_F(DamagedArchive, EveryTruncationIsRefused) {
    ASSERT_EQ(ReadShaderArchive(archive()).size(), 2);
    for (qsizetype n = 0; n < valid_.size(); ++n) {
        expectRefused(valid_.first(n), "truncated");
    }
    expectRefused(valid_ + '\0', "trailing byte");
}

TEST_F(DamagedArchive, ImpossibleCountsAndLengthsAreRefused) {
    // Offsets: pair count 0, "p.vert" length 4, the first line count after the directory.
    const qsizetype firstLineCount = 4 + 4 * (4 + 6);
    const qsizetype firstLineLength = firstLineCount + 4;
    const struct {
        qsizetype offset;
        std::int32_t value;
        const char* why;
    } cases[] = {
        {0, -1, "negative pair count"},
        {0, 0x7fffffff, "huge pair count"},
        {0, 3, "one pair too many"},
        {4, -6, "negative name length"},
        {4, 0x7ffffff0, "huge name length"},
        {firstLineCount, -1, "negative line count"},
        {firstLineCount, 0x40000000, "huge line count"},
        {firstLineLength, 0x7fffffff, "huge line length"},
        {firstLineLength, -24, "negative line length"},
        {firstLineLength, 15, "line shorter than its prefix"},
    };
    for (const auto& c : cases) {
        QByteArray bytes = valid_;
        bytes.replace(c.offset, 4, le(c.value));
        expectRefused(bytes, c.why);
    }
}

TEST_F(DamagedArchive, GarbageIsRefusedWithoutCrashing) {
    QRandomGenerator random(12345);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1, 64)), Qt::Uninitialized);
        for (char& b : bytes) {
            b = char(random.bounded(256));
        }
        expectRefused(bytes, "garbage");
    }
}

TEST_F(DamagedArchive, MissingArchiveIsAFileErrorNotADamagedOne) {
    const QString path = dir() + "none.dat";
    try {
        LoadFromEncShader(path, "p");
        FAIL() << "no error";
    } catch (const ArchiveError&) {
        FAIL() << "a missing file is not a damaged archive";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), path);
    }
}

}  // namespace
