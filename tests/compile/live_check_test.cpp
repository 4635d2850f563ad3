// SPDX-License-Identifier: MIT
// The live compile through the driver host: each message in its pane at its line and column, for
// the target the #version asks for, an included file's at its #include line, and only the answer
// to the latest text.
#include "compile/live_check.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

const QByteArray kVertex = "void main() { gl_Position = ftransform(); }\r\n";
const QByteArray kFragment = "void main() { gl_FragColor = vec4(1.0); }\r\n";

LiveCheckRequest pair(const QByteArray& vertex, const QByteArray& fragment,
                      const QString& vertexPath = {}, const QString& fragmentPath = {},
                      Target target = Target::Gl) {
    LiveCheckRequest request;
    request.stages = {{PairSide::Vertex, vertexPath, vertex},
                      {PairSide::Fragment, fragmentPath, fragment}};
    request.target = target;
    return request;
}

class LiveCheckHost : public ::testing::Test {
protected:
    ~LiveCheckHost() override { qunsetenv("TESSORY_HOST_NO_CONTEXT"); }

    LiveCheckReply check(const LiveCheckRequest& sources) {
        request = sources;
        QSignalSpy checked(&live, &LiveCheck::checked);
        live.checkNow();
        EXPECT_TRUE(checked.wait(20000));
        return checked.isEmpty() ? LiveCheckReply{} : checked[0][0].value<LiveCheckReply>();
    }

    LiveCheckRequest request;
    LiveCheck live{QStringLiteral(TESSORY_EDITOR_BINARY), [this] { return request; },
                   [] { return 20; }};
};

TEST_F(LiveCheckHost, AMessageComesInItsPaneAtItsLineAndColumnForItsTarget) {
    const LiveCheckReply clean = check(pair(kVertex, kFragment));
    EXPECT_EQ(clean.target, Target::Gl);
    EXPECT_TRUE(clean.marks.isEmpty());
    EXPECT_EQ(clean.summary, QString());

    const QByteArray core =
        "#version 330 core\r\nout vec4 colour;\r\n"
        "void main() {\r\n  colour = vec4(1.0) * nothing;\r\n}\r\n";
    const LiveCheckReply broken =
        check(pair("#version 330 core\r\nvoid main() { gl_Position = vec4(0.0); }\r\n", core, {},
                   {}, Target::GlCore));
    EXPECT_EQ(broken.target, Target::GlCore);
    ASSERT_FALSE(broken.marks.isEmpty());
    const LiveMark& first = broken.marks[0];
    EXPECT_EQ(first.side, PairSide::Fragment);
    EXPECT_EQ(first.line, 3);
    EXPECT_EQ(first.column, 23) << "the column of 'nothing'";
    EXPECT_EQ(first.severity, MessageSeverity::Error);
    EXPECT_TRUE(first.text.contains(QStringLiteral("nothing"))) << first.text.toStdString();
    EXPECT_TRUE(broken.hasErrors());
    EXPECT_TRUE(broken.summary.startsWith(QStringLiteral("FragmentShader (4): ")))
        << broken.summary.toStdString();
}

TEST_F(LiveCheckHost, AMessageAboutAnIncludedFileIsPutAtItsIncludeLine) {
    QTemporaryDir dir;
    QFile common(dir.filePath(QStringLiteral("common.glsl")));
    ASSERT_TRUE(common.open(QIODevice::WriteOnly));
    common.write("vec4 shade() { return missingName; }\r\n");
    common.close();
    const QByteArray fragment =
        "// lit\r\n#include \"common.glsl\"\r\nvoid main() { gl_FragColor = shade(); }\r\n";
    const LiveCheckReply reply = check(pair(kVertex, fragment, dir.filePath(QStringLiteral("p.vert")),
                                            dir.filePath(QStringLiteral("p.frag"))));
    ASSERT_FALSE(reply.marks.isEmpty());
    EXPECT_EQ(reply.marks[0].side, PairSide::Fragment);
    EXPECT_EQ(reply.marks[0].line, 1);
    EXPECT_TRUE(reply.marks[0].text.contains(QStringLiteral("missingName")))
        << reply.marks[0].text.toStdString();
}

// An included file open in the editor is compiled as its pane holds it, and its messages are
// marked there; the error list still names the stage that included it.
TEST_F(LiveCheckHost, AnOpenIncludedFileIsCompiledAsItsPaneHoldsItAndMarkedThere) {
    QTemporaryDir dir;
    const QString common = dir.filePath(QStringLiteral("common.glsl"));
    QFile file(common);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("vec4 shade() { return vec4(1.0); }\r\n");
    file.close();
    const QByteArray fragment =
        "#include \"common.glsl\"\r\nvoid main() { gl_FragColor = shade(); }\r\n";
    LiveCheckRequest request = pair(kVertex, fragment, dir.filePath(QStringLiteral("p.vert")),
                                    dir.filePath(QStringLiteral("p.frag")));
    EXPECT_TRUE(check(request).marks.isEmpty());

    request.openFiles = {{PairSide::Included, common,
                          "// edited\r\nvec4 shade() { return unsavedName; }\r\n"}};
    const LiveCheckReply reply = check(request);
    ASSERT_FALSE(reply.marks.isEmpty());
    EXPECT_EQ(reply.marks[0].side, PairSide::Included);
    EXPECT_EQ(reply.marks[0].line, 1);
    EXPECT_TRUE(reply.marks[0].text.contains(QStringLiteral("unsavedName")));
    ASSERT_FALSE(reply.messages.isEmpty());
    EXPECT_EQ(reply.messages[0].pane, PairSide::Fragment);
    EXPECT_TRUE(reply.summary.startsWith(QStringLiteral("common.glsl (2): ")))
        << reply.summary.toStdString();
}

TEST_F(LiveCheckHost, OnlyTheAnswerToTheLatestTextIsPassedOn) {
    QSignalSpy checked(&live, &LiveCheck::checked);
    request = pair(kVertex, "void main() { broken }\r\n");
    live.checkNow();
    request = pair(kVertex, kFragment);
    live.checkNow();
    ASSERT_TRUE(checked.wait(20000));
    QTest::qWait(100);
    ASSERT_EQ(checked.count(), 1);
    EXPECT_TRUE(checked[0][0].value<LiveCheckReply>().marks.isEmpty());
}

TEST_F(LiveCheckHost, WithoutADriverTheCheckFailsWithTheReason) {
    qputenv("TESSORY_HOST_NO_CONTEXT", "no EGL display here");
    QSignalSpy failed(&live, &LiveCheck::failed);
    request = pair(kVertex, kFragment);
    live.checkNow();
    ASSERT_TRUE(failed.wait(20000));
    const auto failure = failed[0][0].value<HostFailure>();
    EXPECT_EQ(failure.kind, HostFailure::Kind::Refused);
    EXPECT_EQ(failure.detail, QStringLiteral("no EGL display here"));
}

}  // namespace
