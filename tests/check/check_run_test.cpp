// SPDX-License-Identifier: MIT
// The checker against Mesa's real driver, run as a program: report lines, JSON and exit status.
#include "checker_process.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <unistd.h>

using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
// An undeclared name on line 4; CR LF line ends, which the driver must see as the same lines.
const QByteArray kVertexError =
    "void main()\r\n{\r\n    gl_Position = ftransform();\r\n    gl_Position.x += undefinedThing;"
    "\r\n}\r\n";
const QByteArray kFragmentError =
    "void main()\n{\n    gl_FragColor = vec4(1.0) * missingColor;\n}\n";
const QByteArray kVaryingReader =
    "varying vec3 neverWritten;\nvoid main()\n{\n    gl_FragColor = vec4(neverWritten, 1.0);\n}\n";
const QByteArray kVertexWarning =
    "#extension GL_tessory_nothing : warn\nvoid main()\n{\n    gl_Position = ftransform();\n}\n";

class CheckRun : public CheckerProcess {
protected:
    void pair(const QString& dir, const QString& name, const QByteArray& vertex,
              const QByteArray& fragment) const {
        put(dir + u'/' + name + QStringLiteral(".vert"), vertex);
        put(dir + u'/' + name + QStringLiteral(".frag"), fragment);
    }

    // A report goes to standard output, whole; standard error stays empty.
    void expectReport(const QStringList& arguments, int exitCode, const char* report) const {
        const CheckerRun r = run(arguments);
        EXPECT_EQ(r.exitCode, exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::fromUtf8(report));
        EXPECT_EQ(r.err, QString());
    }
};

TEST_F(CheckRun, CleanPairsExitZeroWithOnlyTheSummary) {
    pair("ws", "a", kVertex, kFragment);
    pair("ws", "b", kVertex, kFragment);
    expectReport({"ws"}, 0, "pairs checked: 2, pairs with messages: 0\n");
}

TEST_F(CheckRun, VertexErrorNamesTheVertexFileAndLine) {
    pair("ws", "bad", kVertexError, kFragment);
    expectReport({"ws"}, 1,
                 "ws/bad.vert:4:22: error: `undefinedThing' undeclared\n"
                 "ws/bad.vert: error: linking with uncompiled/unspecialized shader\n"
                 "pairs checked: 1, pairs with messages: 1\n");
}

TEST_F(CheckRun, FragmentErrorNamesTheFragmentFileAndLine) {
    pair("ws/", "frag", kVertex, kFragmentError);
    expectReport({"ws/"}, 1,
                 "ws/frag.frag:3:32: error: `missingColor' undeclared\n"
                 "ws/frag.frag:3:20: error: operands to arithmetic operators must be numeric\n"
                 "ws/frag.vert: error: linking with uncompiled/unspecialized shader\n"
                 "pairs checked: 1, pairs with messages: 1\n");
}

// Mesa writes this message three times; it is printed once.
TEST_F(CheckRun, LinkErrorGoesToTheVertexFileWithoutLine) {
    pair("ws", "link", kVertex, kVaryingReader);
    expectReport(
        {"ws"}, 1,
        "ws/link.vert: error: fragment shader varying neverWritten not written by vertex shader\n"
        "pairs checked: 1, pairs with messages: 1\n");
}

// Mesa's shader cache drops a source's warnings once it has compiled it, so the same warning must
// come back on every run.
TEST_F(CheckRun, WarningsFailTheCheckOnEveryRun) {
    pair("ws", "warn", kVertexWarning, kFragment);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        expectReport({"ws"}, 1,
                     "ws/warn.vert:1:12: warning: extension `GL_tessory_nothing' unsupported in "
                     "vertex shader\n"
                     "pairs checked: 1, pairs with messages: 1\n");
    }
}

// A lone file is also compiled on its own, so that its own errors are found.
TEST_F(CheckRun, LoneFileIsNamedAndTheOtherPairsStillChecked) {
    pair("ws", "a", kVertexError, kFragment);
    put("ws/c.frag", kFragment);
    put("ws/d.vert", kVertex);
    expectReport({"ws"}, 1,
                 "ws/c.frag: error: Vertex-/ Fragment Shader Pair not found: no file c.vert "
                 "beside it\n"
                 "ws/d.vert: error: Vertex-/ Fragment Shader Pair not found: no file d.frag "
                 "beside it\n"
                 "ws/a.vert:4:22: error: `undefinedThing' undeclared\n"
                 "ws/a.vert: error: linking with uncompiled/unspecialized shader\n"
                 "pairs checked: 1, pairs with messages: 1, files checked: 2, files with "
                 "messages: 0, WorkSpace problems: 2\n");
}

TEST_F(CheckRun, LoneFileAloneFailsTheCheck) {
    pair("ws", "a", kVertex, kFragment);
    put("ws/c.frag", kFragment);
    expectReport({"ws"}, 1,
                 "ws/c.frag: error: Vertex-/ Fragment Shader Pair not found: no file c.vert "
                 "beside it\n"
                 "pairs checked: 1, pairs with messages: 0, files checked: 1, files with "
                 "messages: 0, WorkSpace problems: 1\n");
}

TEST_F(CheckRun, APairFileThatIsNoFileIsNamedWithItsCause) {
    pair("ws", "a", kVertex, kFragment);
    put("ws/loop.frag", kFragment);
    ASSERT_TRUE(QFile::link(path("ws/loop.vert"), path("ws/loop.vert")));
    expectReport({"ws"}, 1,
                 "ws/loop.frag: error: Vertex-/ Fragment Shader Pair not found: no file loop.vert "
                 "beside it\n"
                 "ws/loop.vert: error: Too many levels of symbolic links\n"
                 "pairs checked: 1, pairs with messages: 0, files checked: 1, files with "
                 "messages: 0, WorkSpace problems: 2\n");
}

TEST_F(CheckRun, PairHiddenByLetterCaseIsReported) {
    pair("ws", "Water", kVertex, kFragment);
    pair("ws", "water", kVertexError, kFragment);
    expectReport({"ws"}, 1,
                 "ws/water.vert: error: pair water not checked: the WorkSpace lists Water in its "
                 "place, as names that differ only in letter case are one pair\n"
                 "pairs checked: 1, pairs with messages: 0, WorkSpace problems: 1\n");
}

TEST_F(CheckRun, CapitalExtensionsAreCheckedAndCaseVariantFilesNamed) {
    put("ws/Water.VERT", kVertexError);
    put("ws/Water.FRAG", kFragment);
    put("ws/Sky.vert", kVertex);
    put("ws/Sky.Vert", kVertexError);
    put("ws/Sky.frag", kFragment);
    expectReport({"ws"}, 1,
                 "ws/Sky.Vert: error: not checked: Sky.vert is used in its place, as file names "
                 "that differ only in letter case belong to one pair\n"
                 "ws/Water.VERT:4:22: error: `undefinedThing' undeclared\n"
                 "ws/Water.VERT: error: linking with uncompiled/unspecialized shader\n"
                 "pairs checked: 2, pairs with messages: 1, WorkSpace problems: 1\n");
}

TEST_F(CheckRun, FileWhoseNameIsNotUtf8IsReported) {
    pair("ws", "a", kVertex, kFragment);
    const QByteArray raw = QFile::encodeName(path("ws")) + "/bad\xff.vert";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    expectReport({"ws"}, 1,
                 "ws/bad\uFFFD.vert: error: not checked: the name is not valid UTF-8, so the "
                 "WorkSpace leaves the file out\n"
                 "pairs checked: 1, pairs with messages: 0, WorkSpace problems: 1\n");
}

TEST_F(CheckRun, OwnExtensionsAndSeveralWorkSpaces) {
    put("one/a.vs", kVertex);
    put("one/a.fs", kFragment);
    put("one/a.vert", kVertexError);  // no pair file with these extensions, but a vertex shader
    put("two/a.vs", kVertex);
    put("two/a.fs", kFragmentError);
    expectReport({"--vertex-ext", ".vs", "--fragment-ext=.fs", "one", "two"}, 1,
                 "one/a.vert:4:22: error: `undefinedThing' undeclared\n"
                 "two/a.fs:3:32: error: `missingColor' undeclared\n"
                 "two/a.fs:3:20: error: operands to arithmetic operators must be numeric\n"
                 "two/a.vs: error: linking with uncompiled/unspecialized shader\n"
                 "pairs checked: 2, pairs with messages: 1, files checked: 1, files with "
                 "messages: 1\n");
}

TEST_F(CheckRun, UsageErrorsExitTwoWithTheReason) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    put("file.txt", "not a directory");
    const struct {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{}, "no WorkSpace directory given"},
        {{"--bogus", "ws"}, "Unknown option 'bogus'"},
        {{"missing"}, "no such directory: missing"},
        {{"ws", "missing"}, "no such directory: missing"},
        {{"file.txt"}, "not a directory: file.txt"},
        {{"--format=xml", "ws"}, "--format is text or json"},
        {{"--vertex-ext", "vert", "ws"}, "starts with a dot"},
        {{"--fragment-ext", ".vert", "ws"}, "are both '.vert'"},
        {{"--archive", "out.dat", "ws", "ws"}, "one WorkSpace"},
        {{"--extract", "a.dat", "x"}, "ARCHIVE NAME OUTDIR"},
        {{"--extract", "--format=json", "a.dat", "x", "out"}, "--extract takes no --format"},
        {{"--extract", "a.dat", "../x", "out"}, "cannot be the base name"},
    };
    for (const auto& c : cases) {
        const CheckerRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
        EXPECT_EQ(r.out, QString()) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(CheckRun, HelpAndVersion) {
    const CheckerRun help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: glsl-tessory-check"));
    EXPECT_TRUE(help.out.contains("--extract"));
    const CheckerRun version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("glsl-tessory-check 1.0.1.20\n"));
}

// With no EGL vendor library, GLVND can make no context: the checker must say so and not pass.
TEST_F(CheckRun, NoContextExitsTwoWithTheReason) {
    pair("ws", "a", kVertex, kFragment);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("__EGL_VENDOR_LIBRARY_FILENAMES", path("no-such-vendor.json"));
    const CheckerRun r = run({"ws"}, environment);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith("glsl-tessory-check: No OpenGL context")) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
}

// The JSON report says the same as the text report, message for message.
TEST_F(CheckRun, JsonMatchesTheTextReport) {
    pair("ws", "bad", kVertexError, kFragment);
    pair("ws", "frag", kVertex, kFragmentError);
    pair("ws", "link", kVertex, kVaryingReader);
    pair("ws", "warn", kVertexWarning, kFragment);
    pair("ws", "good", kVertex, kFragment);
    put("ws/lone.frag", kFragment);
    const CheckerRun text = run({"ws"});
    const CheckerRun json = run({"--format=json", "ws"});
    EXPECT_EQ(json.exitCode, text.exitCode);

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const auto line = [](const QJsonValue& m) {
        const QJsonObject o = m.toObject();
        QString location = o["file"].toString();
        if (!o["line"].isNull()) {
            location += ':' + QString::number(o["line"].toInteger());
        }
        if (!o["column"].isNull()) {
            location += ':' + QString::number(o["column"].toInteger());
        }
        return QStringLiteral("%1: %2: %3")
            .arg(location, o["severity"].toString(), o["text"].toString());
    };
    QStringList lines;
    QStringList names;
    for (const QJsonValue& workspace : document["workspaces"].toArray()) {
        EXPECT_EQ(workspace["directory"].toString(), "ws/");
        EXPECT_FALSE(workspace["complete"].toBool());
        for (const QJsonValue& problem : workspace["problems"].toArray()) {
            lines.append(line(problem));
        }
        for (const QJsonValue& p : workspace["pairs"].toArray()) {
            names.append(p["name"].toString());
            EXPECT_EQ(p["vertex"].toString(), "ws/" + p["name"].toString() + ".vert");
            EXPECT_EQ(p["fragment"].toString(), "ws/" + p["name"].toString() + ".frag");
            EXPECT_EQ(p["clean"].toBool(), p["messages"].toArray().isEmpty());
            for (const QJsonValue& m : p["messages"].toArray()) {
                lines.append(line(m));
            }
            // The driver's whole log stays, repeats and all.
            if (p["name"] == "link") {
                EXPECT_EQ(p["log"]["link"].toString().count("neverWritten not written"), 3);
            }
        }
        for (const QJsonValue& f : workspace["files"].toArray()) {
            names.append(f["file"].toString());
            EXPECT_EQ(f["stage"].toString(), "frag");
            EXPECT_TRUE(f["clean"].toBool());
        }
    }
    EXPECT_EQ(names, (QStringList{"bad", "frag", "good", "link", "warn", "ws/lone.frag"}));
    QStringList textLines = text.outLines();
    textLines.removeLast();
    EXPECT_EQ(lines, textLines);
    const QJsonObject summary = document["summary"].toObject();
    EXPECT_EQ(summary["pairsChecked"].toInt(), 5);
    EXPECT_EQ(summary["pairsWithMessages"].toInt(), 4);
    EXPECT_EQ(summary["workspaceProblems"].toInt(), 1);
    EXPECT_EQ(summary["filesChecked"].toInt(), 1);
    EXPECT_FALSE(summary["clean"].toBool());
    EXPECT_FALSE(document["driver"]["renderer"].toString().isEmpty());
}

// The pairs the program ships must pass its own check on Mesa.
TEST_F(CheckRun, EveryExamplePairChecksClean) {
    expectReport({QStringLiteral(TESSORY_EXAMPLES_DIR)}, 0,
                 "pairs checked: 5, pairs with messages: 0\n");
}

}  // namespace
