// SPDX-License-Identifier: MIT
#include "leaks/heap_probe.h"
#include "support/master_harness.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>

using namespace tessory;
using namespace tessory::testing;
using tessory::testing::heapInUse;
using tessory::testing::leakSanitizerFindsLeaks;
using tessory::testing::MasterHarness;

namespace {

// What a round of commands may leave on the heap once Qt's caches have filled: each window Qt
// shows still adds a few hundred bytes of its own for a long while. A pair, a compiled program
// or a progress window left behind on every run adds more than this over a round.
constexpr std::ptrdiff_t kSettlingBytes = 128 * 1024;

// Every pair's files differ, so that a pane showing the wrong pair is seen.
QByteArray numbered(int pair, const char* source) {
    return "// pair " + QByteArray::number(pair) + '\n' + source;
}

QByteArray vertexSource(int pair) {
    return numbered(pair,
                    "uniform mat4 transform;\nvarying vec3 normal;\nvoid main()\n{\n"
                    "    normal = gl_NormalMatrix * gl_Normal;\n"
                    "    gl_Position = transform * gl_Vertex;\n}\n");
}

QByteArray fragmentSource(int pair) {
    return numbered(pair,
                    "varying vec3 normal;\nvoid main()\n{\n"
                    "    float light = max(dot(normalize(normal), vec3(0.0, 0.0, 1.0)), 0.0);\n"
                    "    gl_FragColor = vec4(vec3(light), 1.0);\n}\n");
}

QString pairName(int pair) {
    return QStringLiteral("p%1").arg(pair, 3, 10, QLatin1Char('0'));
}

// Lets the window finish what it queued (list clicks, repaints) and deletes what it gave up.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Also lets the work that starts once the text has been still for a moment (the live compile,
// the assist's parse) answer and let go of what it holds.
std::ptrdiff_t settledHeap() {
    QTest::qWait(1000);
    settle();
    return static_cast<std::ptrdiff_t>(heapInUse());
}

// A window on a WorkSpace of `pairs` pairs p000, p001, ..., with the first one open.
class LongRun : public ::testing::Test {
protected:
    MainWindow& start(int pairs) {
        for (int i = 0; i < pairs; ++i) {
            h.writeFile("ws/" + pairName(i) + ".vert", vertexSource(i));
            h.writeFile("ws/" + pairName(i) + ".frag", fragmentSource(i));
        }
        h.storeSettings(h.path("ws/"), pairName(0));
        MainWindow& w = h.start();
        settle();
        return w;
    }

    // Runs a round of `times` commands to fill Qt's caches, then a second round, and reports how
    // much more heap the program holds after the second round than before it.
    static std::ptrdiff_t heapGrowth(const std::function<void()>& once, int times) {
        for (int i = 0; i < times; ++i) {
            once();
        }
        const std::ptrdiff_t before = settledHeap();
        for (int i = 0; i < times; ++i) {
            once();
        }
        return settledHeap() - before;
    }

    // After a run that asked nothing, closes the window and has LeakSanitizer look for what
    // nothing points to any more.
    void closeAndCheckForLeaks() {
        EXPECT_TRUE(h.prompter.messages.isEmpty())
            << h.prompter.messageTexts().join('|').toStdString();
        ASSERT_TRUE(h.close());
        settle();
        EXPECT_FALSE(leakSanitizerFindsLeaks());
    }

    MasterHarness h;
};

TEST_F(LongRun, LoadingAndClosingOneHundredPairsInARowLeavesNothingBehind) {
    constexpr int kPairs = 100;
    MainWindow& w = start(kPairs);
    ASSERT_EQ(pairListBox(w)->count(), kPairs);
    ASSERT_EQ(w.settings().CurrentFileName, pairName(0));
    // Each key press selects the next pair as the user does; the open pair is closed and the
    // selected one loaded into both panes.
    const auto walk = [&w](Qt::Key key, int from, int step) {
        for (int i = 1; i < kPairs; ++i) {
            QTest::keyClick(pairListBox(w), key);
            QCoreApplication::processEvents();
            const int pair = from + i * step;
            ASSERT_EQ(w.settings().CurrentFileName, pairName(pair));
            ASSERT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(vertexSource(pair)));
        }
    };
    // Down to the last pair and back up: the one hundred pairs one after the other.
    const std::ptrdiff_t growth = heapGrowth(
        [&] {
            walk(Qt::Key_Down, 0, 1);
            walk(Qt::Key_Up, kPairs - 1, -1);
        },
        1);
    EXPECT_LT(growth, kSettlingBytes);
    closeAndCheckForLeaks();
}

TEST_F(LongRun, TestingAllShadersTwentyTimesLeavesNothingBehind) {
    MainWindow& w = start(6);
    // The last pair fails, so that each run compiles every pair and opens the failing one.
    h.writeFile("ws/p005.frag", "void main()\n{\n    gl_FragColor = undefinedThing;\n}\n");
    int runs = 0;
    const std::ptrdiff_t growth = heapGrowth(
        [&] {
            action(w, "Action_TestAll")->trigger();
            ++runs;
        },
        20);
    EXPECT_EQ(runs, 40);
    EXPECT_LT(growth, kSettlingBytes);
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("p005"));
    EXPECT_GE(errorListBox(w)->count(), 2);
    closeAndCheckForLeaks();
}

TEST_F(LongRun, WritingTwentyArchivesLeavesNothingBehind) {
    MainWindow& w = start(10);
    // Every archive after the first of a run differs from the one before it, so a changed file
    // shows that the key wrote one. Only the last is kept, so that the test holds no more heap
    // as it goes.
    QByteArray previous;
    int written = 0;
    const std::ptrdiff_t growth = heapGrowth(
        [&] {
            QTest::keyRelease(pairListBox(w), Qt::Key_F10);
            const QByteArray archive = h.readFile("ws/shaders.dat");
            written += !archive.isEmpty() && archive != previous ? 1 : 0;
            previous = archive;
        },
        20);
    EXPECT_EQ(written, 40);
    EXPECT_LT(growth, kSettlingBytes);
    closeAndCheckForLeaks();
}

}  // namespace
