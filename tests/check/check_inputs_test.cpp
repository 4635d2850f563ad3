// SPDX-License-Identifier: MIT
// What the checker takes: single files of every stage, standard input, -r, and input that is not
// what it seems; and that -j changes nothing in the report.
#include "check/check_runner.h"
#include "checker_process.h"

#include <QElapsedTimer>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QThread>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <span>

using tessory::kThreadsPerProcessor;
using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

// One undeclared name per stage, each on a known line and column (tabs and runs of blanks
// included, which Mesa's own column does not count as they stand in the file).
struct StageCase {
    const char* file;
    const char* stage;
    QByteArray source;
    const char* message;
};

const StageCase kStages[] = {
    {"a.vert", "vert", "void main()\n{\n    gl_Position = vec4(missingV);\n}\n",
     ":3:24: error: `missingV' undeclared"},
    {"a.frag", "frag", "void main()\n{\n\tgl_FragColor = vec4(missingF);\n}\n",
     ":3:22: error: `missingF' undeclared"},
    {"a.geom", "geom",
     "#version 150\nlayout(points) in;\nlayout(points, max_vertices = 1) out;\nvoid main()\n{\n"
     "    gl_Position  =  vec4(missingG);\n    EmitVertex();\n}\n",
     ":6:26: error: `missingG' undeclared"},
    {"a.tesc", "tesc",
     "#version 400\nlayout(vertices = 1) out;\nvoid main()\n{\n"
     "    gl_TessLevelOuter[0] = missingC;\n}\n",
     ":5:28: error: `missingC' undeclared"},
    {"a.tese", "tese",
     "#version 400\nlayout(triangles) in;\nvoid main()\n{\n"
     "    gl_Position = /* here */ vec4(missingE);\n}\n",
     ":5:35: error: `missingE' undeclared"},
    {"a.comp", "comp",
     "#version 430\nlayout(local_size_x = 1) in;\nvoid main()\n{\n    float f = missingP;\n}\n",
     ":5:15: error: `missingP' undeclared"},
};

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

class CheckInputs : public CheckerProcess {};

// The first message of a run's report.
QString firstLine(const CheckerRun& r) {
    return r.out.section(u'\n', 0, 0);
}

TEST_F(CheckInputs, EachStageAsFileAndOnStandardInputWithLineAndColumn) {
    for (const StageCase& c : kStages) {
        SCOPED_TRACE(c.file);
        put(c.file, c.source);
        const CheckerRun file = run({c.file});
        EXPECT_EQ(file.exitCode, 1) << file.err.toStdString();
        EXPECT_EQ(firstLine(file), QString::fromUtf8(c.file) + QString::fromUtf8(c.message));
        EXPECT_TRUE(file.out.endsWith(
            "pairs checked: 0, pairs with messages: 0, files checked: 1, files with messages: 1\n"))
            << file.out.toStdString();

        const CheckerRun piped = runWithInput({"--stage", c.stage, "-"}, c.source);
        EXPECT_EQ(piped.exitCode, 1);
        EXPECT_EQ(firstLine(piped), "<stdin>" + QString::fromUtf8(c.message));

        const QString name = QStringLiteral("src/") + QString::fromUtf8(c.file);
        const CheckerRun named = runWithInput({"--stdin-name", name, "-"}, c.source);
        EXPECT_EQ(firstLine(named), name + QString::fromUtf8(c.message));
    }
}

TEST_F(CheckInputs, CleanFileAndCleanStdinExitZero) {
    put("ok.vert", kVertex);
    EXPECT_EQ(run({"ok.vert"}).exitCode, 0);
    const CheckerRun r = runWithInput({"--stage=frag", "-", "ok.vert"}, kFragment);
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out,
              "pairs checked: 0, pairs with messages: 0, files checked: 2, files with "
              "messages: 0\n");
}

TEST_F(CheckInputs, RecursiveMakesEachDirectoryItsOwnWorkSpace) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    put("ws/sub/a.vert", kVertex);  // its partner is in another WorkSpace: a lone file here
    put("ws/sub/deeper/b.vert", kVertex);
    put("ws/sub/deeper/b.frag", kFragment);
    put("ws/.git/c.comp", "not looked at");
    put("ws/empty/readme.txt", "no shaders");
    const CheckerRun flat = run({"ws"});
    EXPECT_EQ(flat.exitCode, 0);
    EXPECT_EQ(flat.out, "pairs checked: 1, pairs with messages: 0\n");

    const CheckerRun deep = run({"-r", "--format=json", "ws"});
    EXPECT_EQ(deep.exitCode, 1);
    QStringList directories;
    for (const QJsonValue& w : QJsonDocument::fromJson(deep.out.toUtf8())["workspaces"].toArray()) {
        directories.append(w["directory"].toString());
    }
    EXPECT_EQ(directories, (QStringList{"ws/", "ws/sub/", "ws/sub/deeper/"}));
    EXPECT_EQ(run({"-r", "ws"}).outLines(),
              (QStringList{"ws/sub/a.vert: error: Vertex-/ Fragment Shader Pair not found: no "
                           "file a.frag beside it",
                           "pairs checked: 2, pairs with messages: 0, files checked: 1, files "
                           "with messages: 0, WorkSpace problems: 1"}));
}

// Directories "d" nested `levels` deep below `directory`, made or removed one level at a time:
// their paths grow longer than the system takes.
void nest(const QString& directory, int levels, bool remove) {
    int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < levels && fd >= 0; ++level) {
        if (!remove) {
            ASSERT_EQ(::mkdirat(fd, "d", 0755), 0) << level;
        }
        const int below = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = below;
    }
    for (int level = 0; level < levels && remove && fd >= 0; ++level) {
        const int above = ::openat(fd, "..", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = above;
        EXPECT_EQ(::unlinkat(fd, "d", AT_REMOVEDIR), 0) << level;
    }
    ::close(fd);
}

TEST_F(CheckInputs, RecursiveKeepsEveryLevelAboveADirectoryTooDeepToRead) {
    put("deep/a.vert", kVertex);
    put("deep/a.frag", kFragment);
    put("deep/d/b.vert", kStages[0].source);
    put("deep/d/b.frag", kFragment);
    // Two bytes a level: some levels more than a path may hold.
    const int levels = PATH_MAX / 2 + 50;
    nest(path("deep/d"), levels, false);
    const CheckerRun r = run({"-r", "deep"});
    nest(path("deep/d"), levels, true);
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = r.outLines();
    ASSERT_GE(lines.size(), 3) << r.out.left(2000).toStdString();
    EXPECT_EQ(lines.first(), "deep/d/b.vert" + QString::fromUtf8(kStages[0].message));
    const QString& problem = lines[lines.size() - 2];
    EXPECT_TRUE(problem.startsWith("deep/d/d/d/d/"));
    EXPECT_TRUE(problem.endsWith(
        "/: error: not checked: the directory cannot be read: File name too long"));
    EXPECT_EQ(lines.last(), "pairs checked: 2, pairs with messages: 1, WorkSpace problems: 1");
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

// Without the driver's support a stage is not checked, said once a stage, never passed.
TEST_F(CheckInputs, StageTheDriverLacksIsSaidOncePerStage) {
    // Without a.vert and a.frag: beside them the other stages would be their program's.
    for (const StageCase& c : std::span(kStages).subspan(2)) {
        put(QStringLiteral("ws/") + QString::fromUtf8(c.file), c.source);
    }
    put("ws/b.tesc", kStages[3].source);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MESA_GL_VERSION_OVERRIDE", "3.3COMPAT");
    environment.insert("MESA_EXTENSION_OVERRIDE",
                       "-GL_ARB_tessellation_shader -GL_ARB_compute_shader");
    const CheckerRun r = run({"ws"}, environment);
    EXPECT_EQ(r.exitCode, 1);
    QStringList notChecked = r.outLines().filter("not checked");
    for (QString& line : notChecked) {
        line = line.section(u':', 0, 0) + u' ' + line.section(QStringLiteral("compile "), 1);
    }
    EXPECT_EQ(notChecked,
              (QStringList{"ws/a.comp compute shaders",
                           "ws/a.tesc tessellation control shaders (2 files of this stage)",
                           "ws/a.tese tessellation evaluation shaders"}));
    EXPECT_TRUE(r.out.contains("ws/a.geom:6:26: error: `missingG' undeclared"));
}

TEST_F(CheckInputs, BadInputIsNamedAndFailsTheCheck) {
    put("ws/binary.comp", QByteArray("void main() {}\0\x01\x02", 17));
    put("ws/empty.geom", "");
    put("ws/huge.frag", QByteArray((16 << 20) + 1, ' '));
    put("ws/dir.vert/x.txt", "a directory named like a shader");
    put("ws/dir.frag", kFragment);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("ws/pipe.tese")).constData(), 0644), 0);
    const CheckerRun r = run({"ws"});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList expected = {
        "ws/dir.frag: error: Vertex-/ Fragment Shader Pair not found: no file dir.vert beside it",
        "ws/pipe.tese: error: not checked: not a regular file",
        "ws/binary.comp: error: not checked: a binary file, not shader text (a NUL byte at "
        "offset 14)",
        "ws/dir.frag",
        "ws/empty.geom:1:1: error: syntax error, unexpected end of file",
        "ws/huge.frag: error: cannot be read: The file is 16.0 MB long",
    };
    for (const QString& line : expected) {
        EXPECT_TRUE(r.out.contains(line)) << line.toStdString() << "\n" << r.out.toStdString();
    }
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    const CheckerRun missing = run({"gone.comp"});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("no such file: gone.comp"));
}

// The driver would stop at the NUL without a word, and would never see a file over 16 MB.
TEST_F(CheckInputs, PairFilesAndStandardInputThatTheDriverIsNotGivenAreNotChecked) {
    put("ws/nul.vert", kVertex);
    put("ws/nul.frag", kFragment + QByteArray("\0\n#error this must fail\n", 24));
    put("ws/big.vert", QByteArray((16 << 20) + 1, ' '));
    put("ws/big.frag", kFragment);
    const QString binary = QStringLiteral(
                               "not checked: a binary file, not shader text (a NUL byte "
                               "at offset %1)")
                               .arg(kFragment.size());
    const CheckerRun text = run({"ws"});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.outLines(),
              (QStringList{"ws/big.vert: error: cannot be read: The file is 16.0 MB long; files "
                           "longer than 16 MB are not read.",
                           "ws/nul.frag: error: " + binary,
                           "pairs checked: 0, pairs with messages: 0, not checked: 2"}));

    const CheckerRun json = run({"--format=json", "ws"});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonDocument report = QJsonDocument::fromJson(json.out.toUtf8());
    const QJsonArray pairs = report["workspaces"][0]["pairs"].toArray();
    ASSERT_EQ(pairs.size(), 2);
    for (const QJsonValue& pair : pairs) {
        EXPECT_FALSE(pair["checked"].toBool());
        EXPECT_FALSE(pair["clean"].toBool());
    }
    EXPECT_EQ(report["summary"]["notChecked"].toInt(), 2);
    EXPECT_EQ(report["summary"]["pairsChecked"].toInt(), 0);
    EXPECT_FALSE(report["summary"]["clean"].toBool());
    for (const char* format : {"--format=sarif", "--format=github"}) {
        const CheckerRun r = run({format, "ws"});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_TRUE(r.out.contains(binary)) << r.out.toStdString();
    }

    const QByteArray longText((16 << 20) + 1, ' ');
    const CheckerRun piped = runWithInput({"--stage", "frag", "-"}, longText);
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_TRUE(piped.out.endsWith("pairs checked: 0, pairs with messages: 0, not checked: 1\n"))
        << piped.out.toStdString();
    const QJsonDocument pipedJson = QJsonDocument::fromJson(
        runWithInput({"--format=json", "--stage=frag", "-"}, longText).out.toUtf8());
    EXPECT_FALSE(pipedJson["files"][0]["checked"].toBool());
    EXPECT_EQ(pipedJson["summary"]["filesChecked"].toInt(), 0);
}

TEST_F(CheckInputs, ParallelReportEqualsTheSerialOne) {
    for (int i = 0; i < 12; ++i) {
        const QString n = QString::number(i);
        put("ws/p" + n + ".vert", i % 3 == 0 ? kStages[0].source : kVertex);
        put("ws/p" + n + ".frag", i % 4 == 0 ? kStages[1].source : kFragment);
        put("ws/f" + n + ".comp", i % 2 == 0 ? kStages[5].source : QByteArray());
        put("ws/g" + n + ".geom", kStages[2].source);
    }
    // Two threads as on the benchmark machine, more threads than processors, and more threads
    // than files (each thread past the first makes its context while the first compiles).
    const struct {
        const char* format;
        const char* jobs;
        QString argument;
    } cases[] = {{"--format=text", "-j2", "ws"},
                 {"--format=json", "-j4", "ws"},
                 {"--format=sarif", "-j3", "ws"},
                 {"--format=text", "-j8", "ws/g1.geom"}};
    for (const auto& c : cases) {
        const CheckerRun serial = run({c.format, "-j", "1", c.argument});
        const CheckerRun parallel = run({c.format, c.jobs, c.argument});
        EXPECT_EQ(serial.exitCode, 1);
        EXPECT_EQ(parallel.exitCode, serial.exitCode);
        EXPECT_EQ(parallel.out, serial.out) << c.format << " " << c.jobs;
        EXPECT_EQ(parallel.err, QString());
    }
}

// Each thread makes a context of its own: -j far above the work and the processors must not start
// a thread for each file, which a limit on the user's threads shows where the test may set one.
TEST_F(CheckInputs, JobsFarAboveTheWorkAndTheProcessorsStartFewThreads) {
    if (!strangerAvailable()) {
        GTEST_SKIP() << "running as root without setpriv to drop root's rights";
    }
    const int most = kThreadsPerProcessor * std::max(1, QThread::idealThreadCount());
    QStringList files;
    for (int i = 0; i < most + 12; ++i) {
        files << QStringLiteral("f%1.frag").arg(i);
        put(files.last(), kFragment);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // llvmpipe's drawing threads, which compiling never uses.
    environment.insert("LP_NUM_THREADS", "0");
    // Room for the threads -j may start and a few of the driver's, not for one a file.
    const QStringList limit = {QStringLiteral("--nproc=%1").arg(most + 8)};
    const CheckerRun r = runAsStranger(QStringList{"-j", "100000"} + files,
                                       ::geteuid() == 0 ? limit : QStringList(), environment);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out, QStringLiteral("pairs checked: 0, pairs with messages: 0, files checked: %1, "
                                    "files with messages: 0\n")
                         .arg(files.size()));
}

TEST_F(CheckInputs, ThreadsThatCannotBeStartedAreSaidWithTheReportWritten) {
    if (!strangerAvailable()) {
        GTEST_SKIP() << "running as root without setpriv to drop root's rights";
    }
    put("a.frag", kFragment);
    put("b.frag", kStages[1].source);
    put("c.frag", kFragment);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LP_NUM_THREADS", "0");
    // LeakSanitizer looks for leaks from a thread of its own, which the limit forbids.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
    const CheckerRun none =
        runAsStranger({"-j", "2", "a.frag", "b.frag"}, {"--nproc=1"}, environment);
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_EQ(none.outLines(),
              (QStringList{"a.frag: error: not checked: no compiling thread could be started",
                           "b.frag: error: not checked: no compiling thread could be started",
                           "pairs checked: 0, pairs with messages: 0, not checked: 2"}));
    EXPECT_TRUE(none.err.contains("only 0 of 2 compiling threads could be started ("))
        << none.err.toStdString();

    // Room for the process and two threads, at most: the threads that start compile every file.
    if (::geteuid() == 0 && kThreadsPerProcessor * QThread::idealThreadCount() >= 3) {
        const QStringList files = {"a.frag", "b.frag", "c.frag"};
        const CheckerRun some =
            runAsStranger(QStringList{"-j", "3"} + files, {"--nproc=3"}, environment);
        EXPECT_EQ(some.exitCode, 2);
        EXPECT_EQ(some.out, run(QStringList{"-j", "1"} + files).out);
        EXPECT_TRUE(some.err.contains("of 3 compiling threads could be started ("))
            << some.err.toStdString();
    }
}

// The driver on a long file takes longer than the limit: that file is not checked, the run stops
// with what it has and fails; it does not wait for the driver.
TEST_F(CheckInputs, TimeoutReportsTheFileAsNotCheckedAndEndsTheRun) {
    QByteArray big = "void main()\n{\n";
    for (int i = 0; i < 200000; ++i) {
        big += "    float v" + QByteArray::number(i) + " = 1.0;\n";
    }
    big += "}\n";
    put("big.vert", big);
    put("later.comp", kStages[5].source);
    QElapsedTimer timer;
    timer.start();
    const CheckerRun r = run({"--timeout", "0.5", "-j", "1", "big.vert", "later.comp"});
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.outLines(),
              (QStringList{"big.vert: error: not checked: the driver took longer than 0.5 s",
                           "later.comp: error: not checked: the run stopped when the driver took "
                           "longer than 0.5 s on big.vert",
                           "pairs checked: 0, pairs with messages: 0, not checked: 2"}));
}

// A driver that crashes on one program costs that program: the others are reported as always.
TEST_F(CheckInputs, ADriverCrashOnOneProgramLeavesItNotCheckedAndTheRestReported) {
    for (const char* name : {"a", "crashes", "z"}) {
        put(QStringLiteral("ws/%1.vert").arg(name), kVertex);
        put(QStringLiteral("ws/%1.frag").arg(name), kFragment);
    }
    put("ws/z.frag", "void main() { gl_FragColor = nothing; }\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TESSORY_CHECK_CRASH_ON"), QStringLiteral("crashes"));
    for (const char* jobs : {"1", "2"}) {
        const CheckerRun r = run({"-j", jobs, "ws"}, environment);
        EXPECT_EQ(r.exitCode, 1) << jobs;
        const QStringList lines = r.outLines();
        EXPECT_TRUE(lines.contains(
            QStringLiteral("ws/crashes.vert: error: not checked: the driver stopped (signal %1)")
                .arg(SIGABRT)))
            << lines.join('\n').toStdString();
        EXPECT_TRUE(lines.filter(QStringLiteral("ws/z.frag:1:")).size() == 1)
            << lines.join('\n').toStdString();
        EXPECT_EQ(lines.last(), QStringLiteral("pairs checked: 2, pairs with messages: 1, "
                                               "not checked: 1"));
    }
}

TEST_F(CheckInputs, UsageErrorsOfTheNewOptions) {
    put("ws/a.vert", kVertex);
    put("notes.txt", "text");
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{"-"}, "standard input (-) wants --stage"},
        {{"--stage", "pixel", "-"}, "--stage is vert, frag, geom, tesc, tese or comp"},
        {{"--stage", "vert", "-", "-"}, "can be read only once"},
        {{"--stdin-name", "x.vert", "ws"}, "no - is given"},
        {{"notes.txt"}, "not a directory: notes.txt, and not a shader file by its name"},
        {{"-j", "0", "ws"}, "-j wants a whole number above 0"},
        {{"--jobs=many", "ws"}, "-j wants a whole number above 0"},
        {{"--timeout", "-1", "ws"}, "--timeout wants a number above 0"},
        {{"--severity=info", "ws"}, "--severity is error or warning"},
        {{"--format=xml", "ws"}, "--format is text or json, sarif or github"},
        {{"-r", "--archive", "a.dat", "ws"}, "takes no -r"},
        {{"--archive", "a.dat", "ws/a.vert"}, "archive of a WorkSpace directory"},
        {{"--extract", "-r", "a.dat", "x", "out"}, "--extract takes no --recursive"},
    };
    for (const auto& c : cases) {
        const CheckerRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
        EXPECT_EQ(r.out, QString());
    }
    // A file given with --stage whose name says nothing is checked as that stage.
    EXPECT_EQ(run({"--stage", "frag", "notes.txt"}).exitCode, 1);
}

}  // namespace
