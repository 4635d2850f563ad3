// SPDX-License-Identifier: MIT
// Nothing written that is not the checker's, no false success: a report that cannot be written,
// a folder that cannot be read, an archive target that is a shader, archives from pipes.
#include "checker_process.h"

#include <QElapsedTimer>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

class CheckSafety : public CheckerProcess {
protected:
    void fill() const {
        put("ws/color.vert", kVertex);
        put("ws/color.frag", kFragment);
    }

    // The checker run by the shell, so that its standard output can be redirected or closed.
    CheckerRun shell(const QString& script) const {
        return runProgram(QStringLiteral("/bin/sh"),
                          {"-c", script, QStringLiteral(TESSORY_CHECK_BINARY)});
    }

    void chmod(const QString& relative, mode_t mode) const {
        ASSERT_EQ(::chmod(QFile::encodeName(path(relative)).constData(), mode), 0);
    }
};

TEST_F(CheckSafety, ReportThatCannotBeWrittenExitsTwo) {
    fill();
    put("bad/none.comp", "");  // an error message to write
    for (const char* script :
         {"\"$0\" ws > /dev/full", "\"$0\" ws >&-", "\"$0\" --format=json ws > /dev/full",
          "\"$0\" --help > /dev/full", "\"$0\" --quiet ws bad >&-"}) {
        const CheckerRun r = shell(QString::fromUtf8(script));
        EXPECT_EQ(r.exitCode, 2) << script;
        EXPECT_TRUE(r.err.contains("could not be written to standard output"))
            << script << ": " << r.err.toStdString();
    }
    // Nothing to write is no failure.
    EXPECT_EQ(shell("\"$0\" --quiet ws >&-").exitCode, 0);
}

TEST_F(CheckSafety, FolderThatCannotBeReadExitsTwoAndWritesNothing) {
    if (!strangerAvailable()) {
        GTEST_SKIP() << "running as root without setpriv to drop root's rights";
    }
    fill();
    put("tree/sub/a.vert", kVertex);
    put("old.dat", "earlier archive");
    chmod(".", 0777);
    chmod("old.dat", 0666);
    chmod("ws", 0300);
    chmod("tree/sub", 0333);
    const CheckerRun archive = runAsStranger({"--archive", "old.dat", "ws"});
    EXPECT_EQ(archive.exitCode, 2);
    EXPECT_TRUE(archive.err.contains("cannot read directory ws/: Permission denied"))
        << archive.err.toStdString();
    EXPECT_EQ(archive.out, QString());
    EXPECT_EQ(read("old.dat"), "earlier archive");

    // Below the WorkSpace given, a folder that cannot be read is one of the check's findings.
    const CheckerRun walk = runAsStranger({"-r", "tree"});
    EXPECT_EQ(walk.exitCode, 1);
    EXPECT_TRUE(walk.out.contains(
        "tree/sub/: error: not checked: the directory cannot be read: Permission denied"))
        << walk.out.toStdString() << walk.err.toStdString();
    chmod("ws", 0755);
    chmod("tree/sub", 0755);
}

TEST_F(CheckSafety, ArchiveTargetThatIsAShaderOfTheWorkSpaceIsRefused) {
    fill();
    ASSERT_EQ(::link(QFile::encodeName(path("ws/color.frag")).constData(),
                     QFile::encodeName(path("other-name.frag")).constData()),
              0);
    for (const char* target : {"ws/color.vert", "./ws//color.frag", "other-name.frag"}) {
        const CheckerRun r = run({"--archive", target, "ws"});
        EXPECT_EQ(r.exitCode, 2) << target;
        EXPECT_TRUE(r.err.contains("the archive would replace it")) << r.err.toStdString();
        EXPECT_EQ(r.out, QString());
    }
    EXPECT_EQ(read("ws/color.vert"), kVertex);
    EXPECT_EQ(read("ws/color.frag"), kFragment);
}

TEST_F(CheckSafety, ExtractReadsPipesWholeAndNeverWaitsForAWriter) {
    fill();
    ASSERT_EQ(run({"--archive", "all.dat", "ws"}).exitCode, 0);
    const CheckerRun fromStdin =
        runWithInput({"--extract", "/dev/stdin", "color", "out1"}, read("all.dat"));
    EXPECT_EQ(fromStdin.exitCode, 0) << fromStdin.err.toStdString();
    EXPECT_EQ(read("out1/color.frag"), kFragment);

    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.dat")).constData(), 0644), 0);
    QElapsedTimer timer;
    timer.start();
    const CheckerRun noWriter = run({"--extract", "pipe.dat", "color", "out2"});
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(noWriter.exitCode, 1);
    EXPECT_TRUE(noWriter.err.contains("Damaged shader archive")) << noWriter.err.toStdString();
    EXPECT_FALSE(exists("out2"));

    const CheckerRun viaShell =
        shell("cat all.dat > pipe.dat & \"$0\" --extract pipe.dat color out3; s=$?; wait; exit $s");
    EXPECT_EQ(viaShell.exitCode, 0) << viaShell.err.toStdString();
    EXPECT_EQ(read("out3/color.vert"), kVertex);
}

}  // namespace
