// SPDX-License-Identifier: MIT
// The preview's frames from the driver host: drawn there, ended at the frame time limit, and
// drawn again after the host died; no frames while nothing shows them, and no more than the
// display's rate.
#include "support/master_harness.h"

#include "compile/gl_context.h"
#include "compile/live_check.h"
#include "preview/preview_panel.h"
#include "texts/preview_texts.h"

#include <QAction>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex = "void main() { gl_Position = ftransform(); }\n";
const QByteArray kRed = "void main() { gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0); }\n";
const QByteArray kAnimated =
    "uniform float time;\nvoid main() { gl_FragColor = vec4(fract(time), 0.0, 0.0, 1.0); }\n";

class PreviewHost : public ::testing::Test {
protected:
    ~PreviewHost() override { qunsetenv("TESSORY_HOST_STALL_ON"); }

    MainWindow& start(const QByteArray& fragment, const std::function<void(TCFG&)>& change = {}) {
        h.writeFile("ws/p.vert", kVertex);
        h.writeFile("ws/p.frag", fragment);
        h.storeSettings(h.path("ws/"), "p", change);
        MainWindow& w = h.start();
        panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        dock = w.findChild<QDockWidget*>(QStringLiteral("PreviewDock"));
        action(w, "Action_Preview")->trigger();
        EXPECT_TRUE(nextFrame()) << panel->message().toStdString();
        return w;
    }

    bool nextFrame() const { return QSignalSpy(panel, &PreviewPanel::frameShown).wait(10000); }
    bool messageSays(const QString& text) const {
        return QTest::qWaitFor([&] { return panel->message().contains(text); }, 10000);
    }
    DriverHost& host(MainWindow& w) const {
        return w.findChild<LiveCheck*>(QStringLiteral("LiveCheck"))->host();
    }
    // A frame that the host stalls on, while the live compile has not yet seen the text.
    void askForStalledFrame(MainWindow& w) {
        // One frame at a time: a frame still on its way would hold the stalled one back.
        EXPECT_TRUE(QTest::qWaitFor([this] { return !panel->framePending(); }, 10000));
        fragmentEdit(w)->setPlainText(QString::fromLatin1("// stall here\n" + kRed));
        panel->refresh();
        EXPECT_TRUE(QTest::qWaitFor([this] { return panel->framePending(); }, 10000));
        QTest::qWait(100);
    }

    MasterHarness h;
    PreviewPanel* panel = nullptr;
    QDockWidget* dock = nullptr;
};

TEST_F(PreviewHost, TheFrameIsDrawnInTheHostWhenTheWindowHasNoDriverOfItsOwn) {
    const int displays = GlContext::displayInitialisations();
    start(kRed);
    const QImage& frame = panel->frame();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixelColor(frame.width() / 2, frame.height() / 2), QColor(255, 0, 0));
    EXPECT_EQ(panel->message(), QString());
    EXPECT_EQ(GlContext::displayInitialisations(), displays);
}

TEST_F(PreviewHost, AHostKilledDuringAFrameIsSaidAndTheNextFrameComesFromANewOne) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    MainWindow& w = start(kRed);
    askForStalledFrame(w);
    const qint64 pid = host(w).processId();
    ASSERT_GT(pid, 0);
    qunsetenv("TESSORY_HOST_STALL_ON");
    ::kill(pid_t(pid), SIGKILL);
    EXPECT_TRUE(messageSays(previewTexts(false).driverStopped)) << panel->message().toStdString();
    panel->refresh();
    ASSERT_TRUE(nextFrame()) << panel->message().toStdString();
    EXPECT_EQ(panel->message(), QString());
    EXPECT_NE(host(w).processId(), pid);
}

TEST_F(PreviewHost, AFrameOverTheFrameTimeLimitEndsTheHostWithTheLimitSaid) {
    qputenv("TESSORY_HOST_STALL_ON", "stall here");
    MainWindow& w = start(kRed, [](TCFG& cfg) { cfg.FrameTimeLimit = 1; });
    const qint64 pid = host(w).processId();
    askForStalledFrame(w);
    qunsetenv("TESSORY_HOST_STALL_ON");
    EXPECT_TRUE(messageSays(QStringLiteral("the driver took longer than 1 s")))
        << panel->message().toStdString();
    EXPECT_NE(host(w).processId(), pid);
    panel->refresh();
    EXPECT_TRUE(nextFrame());
}

TEST_F(PreviewHost, NothingIsDrawnWhileTheDockIsHiddenOrTheWindowMinimised) {
    MainWindow& w = start(kAnimated);
    ASSERT_TRUE(panel->animating());
    const auto framesDuring = [this](int ms) {
        QSignalSpy frames(panel, &PreviewPanel::frameShown);
        QTest::qWait(ms);
        return frames.count();
    };
    // A frame on its way when the drawing stopped still comes; none after it.
    const auto framesWhileStopped = [&](int ms) {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !panel->framePending(); }, 5000));
        return framesDuring(ms);
    };
    dock->hide();
    EXPECT_EQ(framesWhileStopped(300), 0);
    dock->show();
    EXPECT_GT(framesDuring(300), 0);
    w.showMinimized();
    EXPECT_EQ(framesWhileStopped(300), 0);
    EXPECT_FALSE(panel->animating());
    w.showNormal();
    EXPECT_GT(framesDuring(300), 0);
}

TEST_F(PreviewHost, AnAnimationDrawsNoFasterThanTheDisplay) {
    start(kAnimated);
    EXPECT_GE(panel->frameIntervalMs(), 1000 / 60);
    QSignalSpy frames(panel, &PreviewPanel::frameShown);
    QTest::qWait(1000);
    EXPECT_LE(frames.count(), 1000 / panel->frameIntervalMs() + 1);
    EXPECT_GE(frames.count(), 5) << "it animates at all";
}

}  // namespace
