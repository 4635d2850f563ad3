// SPDX-License-Identifier: MIT
// The driver in a process of its own: answers, and what happens when it crashes, stalls or has no
// driver to load.
#include "compile/driver_host.h"
#include "compile/host_compile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

const QByteArray kVertex = "void main() { gl_Position = ftransform(); }\n";
const QByteArray kFragment = "void main() { gl_FragColor = vec4(1.0); }\n";
const QByteArray kBroken = "void main() { gl_FragColor = nothing; }\n";

class HostTest : public ::testing::Test {
protected:
    // The host takes the test's environment when it starts.
    void TearDown() override {
        for (const char* hook :
             {"TESSORY_HOST_ABORT_ON", "TESSORY_HOST_STALL_ON", "TESSORY_HOST_NO_CONTEXT"}) {
            qunsetenv(hook);
        }
    }

    DriverHost::Outcome compile(DriverHost& host, const QByteArray& fragment, int limitMs = 20000) {
        return host.call(HostKind::CompilePair, encodePairCompile({kVertex, fragment, false}),
                         limitMs);
    }

    DriverHost host{QStringLiteral(TESSORY_EDITOR_BINARY), {QStringLiteral("--driver-host")}};
};

TEST_F(HostTest, CompilesAndLinksThePairAndAnswersWithTheDriversLogs) {
    const DriverHost::Outcome clean = compile(host, kFragment);
    ASSERT_TRUE(clean.reply) << clean.failure.detail.toStdString();
    EXPECT_FALSE(decodePairCompileReply(*clean.reply).hasLog());
    const DriverHost::Outcome broken = compile(host, kBroken);
    ASSERT_TRUE(broken.reply);
    EXPECT_TRUE(decodePairCompileReply(*broken.reply).fragmentLog.contains("nothing"));
}

TEST_F(HostTest, AHostThatCrashesIsReportedWithItsSignalAndTheNextRequestGetsANewOne) {
    qputenv("TESSORY_HOST_ABORT_ON", "crash here");
    const DriverHost::Outcome crashed = compile(host, "// crash here\n" + kFragment);
    ASSERT_FALSE(crashed.reply);
    EXPECT_EQ(crashed.failure.kind, HostFailure::Kind::Crashed);
    EXPECT_EQ(crashed.failure.signal, SIGABRT);
    const DriverHost::Outcome after = compile(host, kFragment);
    EXPECT_TRUE(after.reply);
}

TEST_F(HostTest, AStalledDriverIsEndedAtItsTimeLimitOrByCancel) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    ASSERT_TRUE(compile(host, kFragment).reply);  // the host is up and its driver loaded
    QElapsedTimer timer;
    timer.start();
    const DriverHost::Outcome late = compile(host, "// stall here\n" + kFragment, 500);
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_FALSE(late.reply);
    EXPECT_EQ(late.failure.kind, HostFailure::Kind::TimedOut);
    EXPECT_EQ(late.failure.limitMs, 500);

    // Cancel while the window waits: the call returns at once, as cancelled.
    QMetaObject::invokeMethod(
        &host, [this] { host.cancel(); }, Qt::QueuedConnection);
    const DriverHost::Outcome stopped = compile(host, "// stall here\n" + kFragment);
    ASSERT_FALSE(stopped.reply);
    EXPECT_EQ(stopped.failure.kind, HostFailure::Kind::Cancelled);
    EXPECT_TRUE(compile(host, kFragment).reply);
}

TEST_F(HostTest, WithoutADriverEveryRequestIsRefusedWithTheReason) {
    qputenv("TESSORY_HOST_NO_CONTEXT", "no EGL display here");
    const DriverHost::Outcome refused = compile(host, kFragment);
    ASSERT_FALSE(refused.reply);
    EXPECT_EQ(refused.failure.kind, HostFailure::Kind::Refused);
    EXPECT_EQ(refused.failure.detail, QStringLiteral("no EGL display here"));
}

TEST(HostMissing, AProgramThatCannotStartIsSaid) {
    DriverHost host(QStringLiteral("/nonexistent/glsl-tessory"), {});
    const DriverHost::Outcome outcome =
        host.call(HostKind::CompilePair, encodePairCompile({kVertex, kFragment, false}), 5000);
    ASSERT_FALSE(outcome.reply);
    EXPECT_EQ(outcome.failure.kind, HostFailure::Kind::NotStarted);
    EXPECT_FALSE(outcome.failure.detail.isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
