// SPDX-License-Identifier: MIT
// --archive and --extract against the archive code of the editor.
#include "archive/archive_file.h"
#include "archive/rcx.h"
#include "checker_process.h"
#include "texts/text_lines.h"
#include "workspace/pair_scan.h"

#include <QFile>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>

using namespace tessory;
using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

QByteArray le(std::int32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    return QByteArray(bytes, 4);
}

class CheckArchive : public CheckerProcess {
protected:
    // Line ends of every kind, a last line without one, an empty line, a Windows-1252 byte.
    void fillWorkspace() const {
        put("ws/Water.vert", kVertex);
        put("ws/Water.frag",
            "// sp\xe4t\r\nvoid main()\r\n{\r\n\r\n    gl_FragColor = vec4(0.0);\r\n}");
        put("ws/fire.vert", "void main()\r{\r    gl_Position = ftransform();\r}\r");
        put("ws/fire.frag", kFragment);
        put("ws/x.y.vert", kVertex);
        put("ws/x.y.frag", kFragment);
    }

    // What F10 writes first after a start, from the editor's own code.
    QByteArray editorArchive() const {
        const PairExtensions extensions{".vert", ".frag"};
        const WorkspaceScan scan = scanWorkspace(path("ws/"), extensions);
        RCxState generator = RCxNewGenerator();
        SaveAllShadersEnCrypted(path("expected.dat"), scan.listedNames(), path("ws/"), ".vert",
                                ".frag", generator);
        return read("expected.dat");
    }
};

TEST_F(CheckArchive, ArchiveIsTheEditorsFirstArchive) {
    fillWorkspace();
    const CheckerRun first = run({"--archive", "out/first.dat", "ws"});
    // The folder of the archive is not created: like F10, the checker writes into an existing one.
    EXPECT_EQ(first.exitCode, 2);
    EXPECT_FALSE(exists("out/first.dat"));

    const CheckerRun r = run({"--archive", "first.dat", "ws"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const QByteArray archive = read("first.dat");
    ASSERT_FALSE(archive.isEmpty());
    EXPECT_EQ(archive, editorArchive());
    EXPECT_TRUE(archive.startsWith(le(3)));

    const CheckerRun again = run({"--archive=second.dat", "ws"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(read("second.dat"), archive);
}

TEST_F(CheckArchive, ArchiveIsWrittenWhenShadersHaveErrors) {
    put("ws/a.vert", "void main() { undefinedThing; }\n");
    put("ws/a.frag", kFragment);
    const CheckerRun r = run({"--archive", "a.dat", "ws"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(read("a.dat"), editorArchive());
}

TEST_F(CheckArchive, APipeOrDeviceIsWrittenInPlaceNeverReplaced) {
    fillWorkspace();
    const QByteArray pipe = QFile::encodeName(path("out.fifo"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    // The reader is there before the checker starts; the pipe holds a small archive whole.
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const CheckerRun r = run({"--archive", "out.fifo", "ws"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QByteArray received(1 << 16, '\0');
    received.truncate(std::max<ssize_t>(0, ::read(reader, received.data(), received.size())));
    ::close(reader);
    EXPECT_EQ(received, editorArchive());
    struct stat info {};
    ASSERT_EQ(lstat(pipe.constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    // A node of the null device stands in for /dev/null itself.
    const QByteArray null = QFile::encodeName(path("null"));
    if (mknod(null.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(run({"--archive", "null", "ws"}).exitCode, 0);
        ASSERT_EQ(lstat(null.constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
}

TEST_F(CheckArchive, IncompleteWorkspaceWritesNoArchive) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    put("ws/lone.vert", kVertex);
    put("old.dat", "earlier archive");
    const CheckerRun r = run({"--archive", "old.dat", "ws"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("old.dat not written")) << r.err.toStdString();
    EXPECT_EQ(read("old.dat"), "earlier archive");
}

TEST_F(CheckArchive, ExtractGivesBackEveryPairAndNothingElse) {
    fillWorkspace();
    ASSERT_EQ(run({"--archive", "all.dat", "ws"}).exitCode, 0);
    for (const char* name : {"Water", "fire", "x.y"}) {
        const CheckerRun r = run({"--extract", "all.dat", name, "out"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        for (const char* ext : {".vert", ".frag"}) {
            const QString file = QString::fromUtf8(name) + ext;
            QByteArray expected;
            for (const QByteArray& line : splitTextLines(read("ws/" + file))) {
                expected += line + '\n';
            }
            EXPECT_EQ(read("out/" + file), expected) << file.toStdString();
        }
    }
    // The archive's names ignore A-Z case; the files take the name as given.
    EXPECT_EQ(run({"--extract", "all.dat", "WATER", "out2"}).exitCode, 0);
    EXPECT_EQ(read("out2/WATER.vert"), read("out/Water.vert"));
    EXPECT_EQ(read("out2/WATER.frag"), read("out/Water.frag"));

    const CheckerRun absent = run({"--extract", "all.dat", "ice", "out3"});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, QStringLiteral("Shader not found\n"));
    EXPECT_FALSE(exists("out3"));
}

TEST_F(CheckArchive, HostileArchivesGiveAClearError) {
    fillWorkspace();
    ASSERT_EQ(run({"--archive", "all.dat", "ws"}).exitCode, 0);
    const QByteArray good = read("all.dat");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"truncated", good.left(good.size() / 2)},
        {"one byte short", good.chopped(1)},
        {"huge pair count", le(0x7fffffff) + good.mid(4)},
        {"negative pair count", le(-1) + good.mid(4)},
        {"huge name length", le(1) + le(0x7ffffff0) + "Water.vert"},
        {"huge line count", le(1) + le(1) + "a" + le(1) + "b" + le(0x7fffffff)},
        {"line shorter than its prefix",
         le(1) + le(1) + "a" + le(1) + "b" + le(1) + le(3) + "abc" + le(0)},
        {"trailing bytes", good + "x"},
    };
    for (const auto& c : cases) {
        put("bad.dat", c.bytes);
        const CheckerRun r = run({"--extract", "bad.dat", "Water", "out"});
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_TRUE(r.err.startsWith("glsl-tessory-check: ")) << c.name;
        EXPECT_TRUE(r.err.contains("bad.dat")) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Damaged shader archive"))
            << c.name << ": " << r.err.toStdString();
        EXPECT_FALSE(exists("out")) << c.name;
    }
    const CheckerRun missing = run({"--extract", "none.dat", "Water", "out"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("none.dat"));
}

}  // namespace
