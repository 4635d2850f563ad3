// SPDX-License-Identifier: MIT
// Text typed and never saved survives a window killed without warning, and comes back only when
// the user says so.
#include "support/master_harness.h"

#include <QProcess>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main() { gl_Position = ftransform(); }\n";
const QByteArray kFragment = "void main() { gl_FragColor = vec4(1.0); }\n";

// The window that is killed: run as a child of the test below, on the sandbox it names.
TEST(RecoveryChild, TypesAndWaitsToBeKilled) {
    const QString sandbox = qEnvironmentVariable("TESSORY_RECOVERY_SANDBOX");
    if (sandbox.isEmpty()) {
        GTEST_SKIP() << "run by KilledWindow tests only";
    }
    ScriptedPrompter prompter;
    MainWindow::Environment environment;
    environment.prompter = &prompter;
    environment.programDir = sandbox + "/program/";
    environment.languageName = QStringLiteral("English");
    environment.openSettings = [sandbox] {
        return std::make_unique<QSettings>(sandbox + "/settings.conf", QSettings::IniFormat);
    };
    environment.driverHostProgram = QStringLiteral(TESSORY_EDITOR_BINARY);
    environment.recoveryFolder = sandbox + "/recovery";
    MainWindow w(std::move(environment));
    w.show();
    QTest::keyClicks(vertexEdit(w), "// typed before the crash");
    QTest::keyClick(vertexEdit(w), Qt::Key_Return);
    // A second after the last key, as the user who loses power at a bad moment.
    QTest::qWait(1000);
    std::printf("typed\n");
    std::fflush(stdout);
    QTest::qWait(60000);
}

class KilledWindow : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.writeFile("ws/b.vert", kVertex);
        h.writeFile("ws/b.frag", kFragment);
        h.storeSettings(h.path("ws/"), "a");
    }

    // A window of its own process opens the pair, takes the keys and dies by SIGKILL.
    void typeAndKill() {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSORY_RECOVERY_SANDBOX"), h.path(""));
        child.setProcessEnvironment(environment);
        QFile::copy(h.settingsPath, h.path("settings.conf"));
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=RecoveryChild.*")});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return child.readAllStandardOutput().contains("typed") ||
                       child.state() != QProcess::Running;
            },
            30000));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished());
        EXPECT_EQ(h.readFile("ws/a.vert"), kVertex);
    }

    // The recovery question, once the pair is opened again.
    const ScriptedPrompter::Message* question() const {
        for (const auto& message : h.prompter.messages) {
            if (!message.choices.isEmpty() &&
                message.choices.first() == QStringLiteral("Recover")) {
                return &message;
            }
        }
        return nullptr;
    }

    MasterHarness h;
};

TEST_F(KilledWindow, OffersWhatWasTypedAndRecoversItAsAnUnsavedEdit) {
    typeAndKill();
    h.prompter.choiceAnswers = {0};
    MainWindow& w = h.start();
    ASSERT_NE(question(), nullptr) << h.prompter.messageTexts().join('|').toStdString();
    EXPECT_TRUE(question()->text.contains(h.path("ws/a.vert")));
    EXPECT_FALSE(question()->text.contains("changed since"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), "// typed before the crash\n" + kVertex);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a] *"));
    EXPECT_EQ(h.readFile("ws/a.vert"), kVertex) << "recovering writes nothing to disk";

    // Saved, nothing is left to recover.
    action(w, "Action_SaveShader")->trigger();
    ASSERT_TRUE(h.close());
    h.prompter.messages.clear();
    h.start();
    EXPECT_EQ(question(), nullptr);
}

TEST_F(KilledWindow, SaysWhenTheFileChangedSinceAndDiscardForgetsIt) {
    typeAndKill();
    h.writeFile("ws/a.vert", "// changed by another program\n");
    h.prompter.choiceAnswers = {1};
    MainWindow& w = h.start();
    ASSERT_NE(question(), nullptr);
    EXPECT_TRUE(question()->text.contains("changed since")) << question()->text.toStdString();
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// changed by another program\n"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("GLSL Tessory - [a]"));
    ASSERT_TRUE(h.close());
    h.prompter.messages.clear();
    h.start();
    EXPECT_EQ(question(), nullptr);
}

TEST_F(KilledWindow, APairWhoseFilesWereDeletedIsOfferedToBeSavedAgain) {
    typeAndKill();
    QFile::remove(h.path("ws/a.vert"));
    QFile::remove(h.path("ws/a.frag"));
    h.prompter.choiceAnswers = {0};
    MainWindow& w = h.start();
    ASSERT_NE(question(), nullptr);
    EXPECT_TRUE(question()->text.contains("deleted since")) << question()->text.toStdString();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), "// typed before the crash\n" + kVertex);
    action(w, "Action_SaveShader")->trigger();
    EXPECT_EQ(h.readFile("ws/a.vert"), "// typed before the crash\n" + kVertex);
}

}  // namespace
