// SPDX-License-Identifier: MIT
#include "compile/compile_and_link.h"

#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"
#include "driver.h"
#include "run_support.h"
#include "texts/text_lines.h"
#include "workspace/file_io.h"

#include <QStringList>
#include <QTemporaryDir>

using namespace tessory;
using tessory::testing::RealDriver;
using tessory::testing::shownEntries;

namespace {

// Sources as the window hands them over: pane lines joined with CR LF.
QByteArray source(const QList<QByteArray>& lines) {
    return joinLinesCrLf(lines);
}

const QByteArray kVertex =
    source({"varying vec3 normal;", "void main() {", "    normal = gl_NormalMatrix * gl_Normal;",
            "    gl_Position = ftransform();", "}"});
const QByteArray kFragment = source({"varying vec3 normal;", "void main() {",
                                     "    gl_FragColor = vec4(normalize(normal), 1.0);", "}"});
// Line 3 names something never declared.
const QByteArray kVertexError = source({"void main() {", "    gl_Position = ftransform();",
                                        "    gl_Position.x += undefinedThing;", "}"});
const QByteArray kFragmentError = source(
    {"void main() {", "    float a = 1.0;", "    gl_FragColor = vec4(a) * undefinedThing;", "}"});
const QByteArray kNeverWritten = source({"varying vec3 neverWritten;", "void main() {",
                                         "    gl_FragColor = vec4(neverWritten, 1.0);", "}"});
const QByteArray kPlainVertex = source({"void main() {", "    gl_Position = ftransform();", "}"});

using EditorRun = RealDriver;

TEST_F(EditorRun, CleanPairGivesTwoOkLines) {
    const CompileResult run = compileAndLink(gl(), kVertex, kFragment);
    const QStringList list = shownEntries(run);
    EXPECT_EQ(list, (QStringList{"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_FALSE(run.hasLog());
    EXPECT_NE(run.program.handle(), 0u);
}

TEST_F(EditorRun, VertexErrorPointsAtItsLine) {
    const CompileResult run = compileAndLink(gl(), kVertexError, kFragment);
    const QStringList list = shownEntries(run);
    EXPECT_TRUE(run.hasLog());
    ASSERT_GE(list.size(), 2);
    EXPECT_TRUE(list.first().startsWith(QStringLiteral("0:3("))) << list.first().toStdString();
    EXPECT_TRUE(list.first().contains(QStringLiteral("undefinedThing")));
    for (qsizetype i = 0; i + 1 < list.size(); ++i) {
        EXPECT_TRUE(list[i].endsWith(QStringLiteral("  [VertexShader]")));
    }
    EXPECT_EQ(errorListEntry(list.first()).lineIndex(), 2);
    EXPECT_EQ(errorEntryPane(list.first()), PairSide::Vertex);
    EXPECT_EQ(list.last(), QStringLiteral("FragmentShader: OK"));
    EXPECT_TRUE(run.linkLog.isEmpty());  // not read after a compile log
}

TEST_F(EditorRun, FragmentErrorPointsAtItsLine) {
    const CompileResult run = compileAndLink(gl(), kPlainVertex, kFragmentError);
    const QStringList list = shownEntries(run);
    EXPECT_TRUE(run.hasLog());
    ASSERT_GE(list.size(), 2);
    EXPECT_EQ(list.first(), QStringLiteral("VertexShader: OK"));
    EXPECT_TRUE(list[1].startsWith(QStringLiteral("0:3("))) << list[1].toStdString();
    EXPECT_TRUE(list[1].endsWith(QStringLiteral("  [FragmentShader]")));
    EXPECT_EQ(errorListEntry(list[1]).lineIndex(), 2);
    EXPECT_EQ(errorEntryPane(list[1]), PairSide::Fragment);
}

TEST_F(EditorRun, BothSidesWithErrorsListTheVertexFirst) {
    const CompileResult run = compileAndLink(gl(), kVertexError, kFragmentError);
    const QStringList list = shownEntries(run);
    ASSERT_GE(list.size(), 2);
    EXPECT_EQ(errorEntryPane(list.first()), PairSide::Vertex);
    EXPECT_EQ(errorEntryPane(list.last()), PairSide::Fragment);
}

// Mesa's link log has no "Vertex info" or "Fragment info" headings, so all of it lands on the
// vertex side, without its final ".", and no entry is navigable.
TEST_F(EditorRun, LinkErrorGoesToTheVertexSide) {
    const CompileResult run = compileAndLink(gl(), kPlainVertex, kNeverWritten);
    const QStringList list = shownEntries(run);
    EXPECT_TRUE(run.hasLog());
    EXPECT_TRUE(run.vertexLog.isEmpty() && run.fragmentLog.isEmpty());
    EXPECT_FALSE(run.linkLog.isEmpty());
    ASSERT_GE(list.size(), 2);
    EXPECT_EQ(list.first(),
              QStringLiteral("error: fragment shader varying neverWritten not written by vertex "
                             "shader  [VertexShader]"));
    for (qsizetype i = 0; i + 1 < list.size(); ++i) {
        EXPECT_TRUE(list[i].endsWith(QStringLiteral("  [VertexShader]")));
        EXPECT_EQ(errorListEntry(list[i]).lineIndex(), std::nullopt);
    }
    EXPECT_EQ(list.last(), QStringLiteral("FragmentShader: OK"));
}

// The driver must compile a source again rather than remember it, or its warnings would show only
// the first time.
TEST_F(EditorRun, AWarningComesBackOnEveryRun) {
    const QByteArray warning = source({"#extension GL_tessory_nothing : warn", "void main() {",
                                       "    gl_Position = ftransform();", "}"});
    for (int round = 0; round < 2; ++round) {
        const CompileResult run = compileAndLink(gl(), warning, kFragment);
        const QStringList list = shownEntries(run);
        EXPECT_TRUE(run.hasLog()) << "round " << round;
        ASSERT_FALSE(list.isEmpty());
        EXPECT_TRUE(list[0].contains("warning")) << list[0].toStdString();
    }
}

TEST_F(EditorRun, EmptySourcesAreCompiledAsTheyAre) {
    const CompileResult run = compileAndLink(gl(), QByteArray(), QByteArray());
    const QStringList list = shownEntries(run);
    EXPECT_TRUE(run.hasLog());
    ASSERT_GE(list.size(), 2);
    EXPECT_EQ(errorEntryPane(list.first()), PairSide::Vertex);
    EXPECT_EQ(errorEntryPane(list.last()), PairSide::Fragment);
    EXPECT_EQ(list.first(), QStringLiteral("0:1(1): error: syntax error, unexpected end of file"
                                           "  [VertexShader]"));
}

class FileRun : public RealDriver {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        return tessory::testing::writeTestFile(dir, name, bytes);
    }
    QTemporaryDir dir;
};

TEST_F(FileRun, CleanPairHasNoLog) {
    const CompileResult run =
        compileAndLinkFiles(gl(), write("a.vert", kVertex), write("a.frag", kFragment));
    EXPECT_FALSE(run.hasLog());
    EXPECT_NE(run.program.handle(), 0u);
}

TEST_F(FileRun, LinkLogAloneSetsHasLog) {
    const CompileResult run =
        compileAndLinkFiles(gl(), write("a.vert", kPlainVertex), write("a.frag", kNeverWritten));
    EXPECT_TRUE(run.hasLog());
    EXPECT_TRUE(run.vertexLog.isEmpty() && run.fragmentLog.isEmpty());
    EXPECT_TRUE(run.linkLog.contains("neverWritten"));
}

TEST_F(FileRun, LinkLogIsReadAfterACompileError) {
    // LF line ends and no final line end: the driver still sees the error on line 3.
    QByteArray lf = kVertexError;
    lf.replace("\r\n", "\n").chop(1);
    const CompileResult run =
        compileAndLinkFiles(gl(), write("a.vert", lf), write("a.frag", kFragment));
    EXPECT_TRUE(run.hasLog());
    EXPECT_TRUE(run.vertexLog.startsWith("0:3(")) << run.vertexLog.toStdString();
    EXPECT_FALSE(run.linkLog.isEmpty());
}

TEST_F(FileRun, MissingFileThrowsFileError) {
    const QString vertex = write("a.vert", kVertex);
    EXPECT_THROW(compileAndLinkFiles(gl(), vertex, dir.filePath("gone.frag")), FileError);
}

}  // namespace
