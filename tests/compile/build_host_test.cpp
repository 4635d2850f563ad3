// SPDX-License-Identifier: MIT
// Test Shader and Test all while the driver runs in the driver host: a driver that stalls, is
// cancelled, crashes or is killed costs the compile it was doing, never the window.
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include <QDir>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QStringList kClean = {"VertexShader: OK", "FragmentShader: OK"};

// The driver hosts this test process started.
QList<pid_t> driverHosts() {
    QList<pid_t> hosts;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const pid_t pid = pid_t(entry.toInt(&number));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!number || !stat.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (name) state ppid ...": the parent comes after the name's closing parenthesis.
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> rest = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[1].toInt() == getpid() &&
            command.readAll().contains("--driver-host")) {
            hosts.append(pid);
        }
    }
    return hosts;
}

class DriverHostBuild : public ::testing::Test {
protected:
    void TearDown() override {
        for (const char* hook : {"TESSORY_HOST_ABORT_ON", "TESSORY_HOST_STALL_ON"}) {
            qunsetenv(hook);
        }
    }

    // The pair p, with the hooks' words in its fragment shader.
    QWidget& startWith(const QByteArray& fragment) {
        h.writeFile("ws/p.vert", kVertex);
        h.writeFile("ws/p.frag", fragment);
        return h.start("ws/", "p");
    }

    // Runs `act` once the driver has had the compile for a moment.
    static void whileCompiling(const std::function<void()>& act) { QTimer::singleShot(400, act); }

    ControllerHarness h;
};

TEST_F(DriverHostBuild, EscapeEndsAStalledCompileAndTheNextOneGetsANewDriver) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    QWidget& w = startWith("// stall here\n" + kFragment);
    whileCompiling([&] {
        // The list says what the driver is doing meanwhile.
        EXPECT_EQ(errorEntries(w), QStringList({"Compiling Shader..."}));
        QTest::keyClick(vertexEdit(w), Qt::Key_Escape);
    });
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"Compiling cancelled: the driver was ended."}));
    EXPECT_FALSE(h.build->busy());
    qunsetenv("TESSORY_HOST_STALL_ON");
    fragmentEdit(w)->setPlainText(QString::fromLatin1(kFragment));
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), kClean);
}

TEST_F(DriverHostBuild, ACompilePastTheTimeLimitIsEndedAndSaidSo) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    QWidget& w = startWith("// stall here\n" + kFragment);
    h.build->setCompileTimeLimit(1);
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"the driver took longer than 1 s"}));
}

TEST_F(DriverHostBuild, ACrashIsReportedWithItsSignalAndTheHostIsStartedAgain) {
    qputenv("TESSORY_HOST_ABORT_ON", "crash here");
    QWidget& w = startWith("// crash here\n" + kFragment);
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w),
              QStringList({QStringLiteral("The OpenGL driver stopped (signal %1) while compiling p")
                               .arg(SIGABRT)}));
    fragmentEdit(w)->setPlainText(QString::fromLatin1(kFragment));
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), kClean);
}

TEST_F(DriverHostBuild, AHostKilledDuringACompileIsReportedAndTheWindowWorksOn) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    QSignalSpy ready(&h.host, &DriverHost::started);
    QWidget& w = startWith("// stall here\n" + kFragment);
    // Killed in the compile, not while it loads its driver.
    ASSERT_TRUE(!ready.isEmpty() || ready.wait(20000));
    whileCompiling([] {
        for (const pid_t host : driverHosts()) {
            ::kill(host, SIGKILL);
        }
    });
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w),
              QStringList({QStringLiteral("The OpenGL driver stopped (signal %1) while compiling p")
                               .arg(SIGKILL)}));
    QTest::keyClicks(fragmentEdit(w), "// typed on");
    EXPECT_TRUE(fragmentEdit(w)->document()->isModified());
}

TEST_F(DriverHostBuild, TestAllStopsAtThePairWhoseCompileCrashedAndSaysWhy) {
    qputenv("TESSORY_HOST_ABORT_ON", "crash here");
    for (const char* name : {"a", "b", "c"}) {
        h.writeFile(QStringLiteral("ws/%1.vert").arg(name), kVertex);
        h.writeFile(QStringLiteral("ws/%1.frag").arg(name),
                    QByteArray(name) == "b" ? "// crash here\n" + kFragment : kFragment);
    }
    QWidget& w = h.start("ws/", "a");
    h.build->Action_TestAllExecute();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
    EXPECT_EQ(errorEntries(w),
              QStringList({QStringLiteral("The OpenGL driver stopped (signal %1) while compiling b")
                               .arg(SIGABRT)}));
    EXPECT_FALSE(h.build->busy());
}

}  // namespace
