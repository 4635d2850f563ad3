// SPDX-License-Identifier: MIT
#include "workspace/shader_file.h"

#include "temp_files.h"
#include "texts/win1252.h"
#include "workspace/file_replace.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tessory;

namespace {

QByteArray everyByteButLineEnds() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\n' && b != '\r') {
            bytes.append(char(b));
        }
    }
    return bytes;
}

struct RoundTrip {
    const char* title;
    QByteArray file;
    QString text;
    LineEnd lineEnd;
};

void PrintTo(const RoundTrip& c, std::ostream* out) {
    *out << c.title;
}

class ShaderFileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

}  // namespace

TEST_P(ShaderFileRoundTrip, LoadsTheLinesAndSavesTheSameBytes) {
    const RoundTrip& c = GetParam();
    QTemporaryDir temp;
    const QString vertex = temp.filePath("a.vert");
    const QString fragment = temp.filePath("a.frag");
    test_files::writeBytes(vertex, c.file);
    test_files::writeBytes(fragment, c.file);

    const std::optional<ShaderText> loaded = loadShaderFile(vertex);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->text, c.text);
    EXPECT_EQ(loaded->lineEnd, c.lineEnd);

    saveShaderPair(vertex, *loaded, fragment, *loaded);
    EXPECT_EQ(test_files::readBytes(vertex), c.file);
    EXPECT_EQ(test_files::readBytes(fragment), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ShaderFileRoundTrip,
    ::testing::Values(
        RoundTrip{"LF, no final line end", "a\nb", "a\nb", LineEnd::Lf},
        RoundTrip{"LF, final line end", "a\nb\n", "a\nb\n", LineEnd::Lf},
        RoundTrip{"CR LF", "a\r\nb\r\n", "a\nb\n", LineEnd::CrLf},
        RoundTrip{"CR LF, no final line end", "a\r\n\r\nb", "a\n\nb", LineEnd::CrLf},
        RoundTrip{"lone CR", "a\rb\r", "a\nb\n", LineEnd::Cr},
        RoundTrip{"empty file", "", "", LineEnd::Lf},
        RoundTrip{"one line", "void main() {}", "void main() {}", LineEnd::Lf},
        RoundTrip{"only a line end", "\r\n", "\n", LineEnd::CrLf},
        RoundTrip{"every other byte", everyByteButLineEnds() + "\r\n" + everyByteButLineEnds(),
                  fromWin1252(everyByteButLineEnds()) + u'\n' + fromWin1252(everyByteButLineEnds()),
                  LineEnd::CrLf}));

TEST(ShaderFileLoad, MixedLineEndsBecomeTheFirstKind) {
    const ShaderText text = decodeShaderText("a\r\nb\nc\rd");
    EXPECT_EQ(text.text, "a\nb\nc\nd");
    EXPECT_EQ(text.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(encodeShaderText(text, "x"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(decodeShaderText("a\nb\r\n").lineEnd, LineEnd::Lf);
}

TEST(ShaderFileLoad, ReportsAMissingFileApartFromAnUnreadableOne) {
    QTemporaryDir temp;
    EXPECT_FALSE(loadShaderFile(temp.filePath("missing.vert")));
    ASSERT_TRUE(QDir(temp.path()).mkdir("folder.vert"));
    EXPECT_FALSE(loadShaderFile(temp.filePath("folder.vert")));

    if (geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root from reading";
    }
    const QString locked = temp.filePath("locked.vert");
    test_files::writeBytes(locked, "x");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    EXPECT_THROW(loadShaderFile(locked), FileError);
}

TEST(ShaderFileSave, RefusesCharactersWithoutAByteNamingFileAndLine) {
    QTemporaryDir temp;
    const QString vertex = temp.filePath("a.vert");
    const QString fragment = temp.filePath("a.frag");
    test_files::writeBytes(vertex, "old vertex");
    test_files::writeBytes(fragment, "old fragment");

    const ShaderText good{QStringLiteral("\u20ac \u00e4 fine\n"), LineEnd::Lf};
    const ShaderText bad{QStringLiteral("line 1\nline 2\nx = \u4e2d;\n\u0100"), LineEnd::CrLf};
    try {
        saveShaderPair(vertex, good, fragment, bad);
        FAIL() << "saved text that Windows-1252 cannot hold";
    } catch (const UnencodableTextError& e) {
        EXPECT_EQ(e.path(), fragment);
        EXPECT_EQ(e.line(), 3);
        const QString message = QString::fromStdString(e.what());
        EXPECT_TRUE(message.contains(fragment));
        EXPECT_TRUE(message.contains("Line 3"));
        EXPECT_TRUE(message.contains("U+4E2D"));
    }
    EXPECT_EQ(test_files::readBytes(vertex), "old vertex");
    EXPECT_EQ(test_files::readBytes(fragment), "old fragment");

    try {
        encodeShaderText({QStringLiteral("\U0001F600"), LineEnd::Lf}, "smile.vert");
        FAIL() << "encoded an emoji";
    } catch (const UnencodableTextError& e) {
        EXPECT_EQ(e.line(), 1);
        EXPECT_TRUE(QString::fromStdString(e.what()).contains("U+1F600"));
    }
}

TEST(ShaderFileSave, NewFilesUseLfAndOldOnesAreReplaced) {
    QTemporaryDir temp;
    const QString vertex = temp.filePath("n.vert");
    const QString fragment = temp.filePath("n.frag");
    test_files::writeBytes(fragment, "an older and longer fragment file\r\n");
    saveShaderPair(vertex, ShaderText{"a\nb\n"}, fragment, ShaderText{"\u20ac"});
    EXPECT_EQ(test_files::readBytes(vertex), "a\nb\n");
    EXPECT_EQ(test_files::readBytes(fragment), "\x80");
    EXPECT_EQ(test_files::entriesOf(temp.path()), QStringList({"n.frag", "n.vert"}));
}

TEST(ShaderFileSave, FailureOfTheSecondFileKeepsBothOldFiles) {
    QTemporaryDir temp;
    const QString vertex = temp.filePath("a.vert");
    test_files::writeBytes(vertex, "old vertex");
    const ShaderText text{QStringLiteral("new")};

    // A directory in the fragment file's place, where no temporary can replace it even as root,
    // and a fragment file in a directory that does not exist, where no temporary can be made.
    ASSERT_TRUE(QDir(temp.path()).mkdir("a.frag"));
    for (const QString& fragment : {temp.filePath("a.frag"), temp.filePath("gone/a.frag")}) {
        try {
            saveShaderPair(vertex, text, fragment, text);
            FAIL() << "wrote " << fragment.toStdString();
        } catch (const FileError& e) {
            EXPECT_EQ(e.path(), fragment);
        }
    }
    EXPECT_EQ(test_files::readBytes(vertex), "old vertex");
    EXPECT_EQ(test_files::entriesOf(temp.path()), QStringList({"a.frag", "a.vert"}));
}

TEST(ShaderFileSave, FailedCommitOfTheSecondFileRestoresTheFirst) {
    QTemporaryDir temp;
    const QString vertex = temp.filePath("a.vert");
    const QString fragment = temp.filePath("a.frag");
    test_files::writeBytes(vertex, "old vertex\r\n");
    test_files::writeBytes(fragment, "old fragment");
    const auto failFragment = [&](FileReplacement& file) {
        if (file.path() == fragment) {
            throw FileError(fragment, QStringLiteral("Failed in the test."));
        }
        file.commit();
    };
    try {
        saveShaderPair(vertex, ShaderText{"new vertex"}, fragment, ShaderText{"new fragment"},
                       failFragment);
        FAIL() << "the failed commit went unnoticed";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), fragment);
    }
    EXPECT_EQ(test_files::readBytes(vertex), "old vertex\r\n");
    EXPECT_EQ(test_files::readBytes(fragment), "old fragment");
    EXPECT_EQ(test_files::entriesOf(temp.path()), QStringList({"a.frag", "a.vert"}));

    // A first file that did not exist before is taken away again.
    ASSERT_TRUE(QFile::remove(vertex));
    EXPECT_THROW(saveShaderPair(vertex, ShaderText{"v"}, fragment, ShaderText{"f"}, failFragment),
                 FileError);
    EXPECT_EQ(test_files::entriesOf(temp.path()), QStringList({"a.frag"}));
    EXPECT_EQ(test_files::readBytes(fragment), "old fragment");
}
