// SPDX-License-Identifier: MIT
// A WorkSpace of 50,000 files in one directory: the scan and the list stay quick, and the long
// tasks over it show their progress while they run.
#include "hostile/hostile_window.h"

#include "archive/archive_file.h"

#include <QProgressBar>

using namespace tessory;
using namespace tessory::testing;

namespace {

// The sanitizer build goes through the same code paths on a fifth of the files: the plain build
// shows that the program copes with the full number, the instrumented one that it does so safely,
// in a fraction of the time.
#ifdef TESSORY_SANITIZED
constexpr int kPairs = 5000;
#else
constexpr int kPairs = 25000;
#endif

std::string files() {
    return std::to_string(2 * kPairs) + " files";
}

QString pairName(int i) {
    return QStringLiteral("p%1").arg(i, 5, 10, QLatin1Char('0'));
}

// Every value the bar of a progress window showed when it was painted.
class ProgressPaints final : public QObject {
public:
    ProgressPaints() { qApp->installEventFilter(this); }
    ~ProgressPaints() override { qApp->removeEventFilter(this); }

    QList<int> values;
    int maximum = -1;

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* bar = qobject_cast<QProgressBar*>(watched);
        if (event->type() == QEvent::Paint && bar != nullptr &&
            qobject_cast<TForm_Progress*>(bar->parentWidget()) != nullptr) {
            values.append(bar->value());
            maximum = bar->maximum();
        }
        return false;
    }
};

class ManyFiles : public HostileWindow {};

TEST_F(ManyFiles, AreListedQuicklyAndTheLongTasksShowTheirProgress) {
    timed("making " + files(), [&] {
        for (int i = 0; i < kPairs; ++i) {
            writePair(pairName(i));
        }
    });
    writeBytes(pairName(2) + ".frag", "void main()\n{\n    gl_FragColor = broken;\n}\n");

    timed("start-up over " + files() + " (scan, list, open pair)", [&] { start(pairName(0)); });
    MainWindow& w = *h.window;
    ASSERT_EQ(pairListBox(w)->count(), kPairs);
    EXPECT_EQ(selectedEntry(w), pairName(0));

    h.prompter.directories.push_back(ws());
    timed("choosing the WorkSpace of " + files() + " again (rescan)",
          [&] { action(w, "Action_SelWorkSpace")->trigger(); });
    EXPECT_EQ(pairListBox(w)->count(), kPairs);
    EXPECT_EQ(selectedEntry(w), pairName(0));

    {
        const ProgressPaints paints;
        timed("Test all over " + files() + ", stopping at the third pair",
              [&] { action(w, "Action_TestAll")->trigger(); });
        EXPECT_EQ(selectedEntry(w), pairName(2));
        EXPECT_EQ(paints.maximum, kPairs - 1);
        EXPECT_TRUE(progressGone());
    }
    {
        const ProgressPaints paints;
        timed("F10 over " + files(), [&] { pressF10(); });
        EXPECT_TRUE(progressGone());
        // The bar moved on while the archive was written, not only before and after.
        EXPECT_TRUE(std::any_of(paints.values.cbegin(), paints.values.cend(),
                                [](int value) { return value > 20 && value < 100; }))
            << paints.values.size() << " paints";
    }
    const std::optional<ShaderLines> last =
        LoadFromEncShader(file("shaders.dat"), pairName(kPairs - 1));
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->vertex.first(), "void main()");
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << shown();
}

}  // namespace
