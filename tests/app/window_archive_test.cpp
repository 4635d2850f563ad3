// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "archive/archive_file.h"
#include "ui/form_progress.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;
using tessory::testing::MasterHarness;
using tessory::testing::ScriptedPrompter;

namespace {

// Every progress window the program shows, with what it showed.
class ProgressSpy final : public QObject {
public:
    struct Seen {
        QPointer<TForm_Progress> window;
        bool ownedByTheApplication = false;
        bool staysOnTop = false;
        int valueAtFirstPaint = -1;
        QString labelAtHide;
        int maximumAtHide = -1;
        int valueAtHide = -1;
        qsizetype messagesAtHide = -1;
    };

    explicit ProgressSpy(const ScriptedPrompter& prompter) : prompter_(prompter) {
        qApp->installEventFilter(this);
    }
    ~ProgressSpy() override { qApp->removeEventFilter(this); }

    QList<Seen> windows;

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* progress = qobject_cast<TForm_Progress*>(watched);
        if (progress == nullptr) {
            return false;
        }
        if (event->type() == QEvent::Show) {
            Seen seen;
            seen.window = progress;
            seen.ownedByTheApplication = progress->parentWidget() == nullptr;
            seen.staysOnTop = progress->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            windows.append(seen);
        } else if (Seen* seen = find(progress)) {
            if (event->type() == QEvent::Paint && seen->valueAtFirstPaint < 0) {
                seen->valueAtFirstPaint = progress->ProgressBar1->value();
            } else if (event->type() == QEvent::Hide) {
                seen->labelAtHide = progress->Label1->text();
                seen->maximumAtHide = progress->ProgressBar1->maximum();
                seen->valueAtHide = progress->ProgressBar1->value();
                seen->messagesAtHide = prompter_.messages.size();
            }
        }
        return false;
    }

private:
    Seen* find(const TForm_Progress* window) {
        for (Seen& seen : windows) {
            if (seen.window == window) {
                return &seen;
            }
        }
        return nullptr;
    }

    const ScriptedPrompter& prompter_;
};

// Runs what the event loop would run once the key handler has returned: the released windows go.
void finishDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

enum class Focus {
    Window,
    VertexPane,
    FragmentPane,
    WorkSpaceList,
    ErrorList,
    TabStrip,
    ToolButton
};

const char* focusName(Focus focus) {
    constexpr const char* names[] = {"Window",    "VertexPane", "FragmentPane", "WorkSpaceList",
                                     "ErrorList", "TabStrip",   "ToolButton"};
    return names[int(focus)];
}

void PrintTo(Focus focus, std::ostream* os) {
    *os << focusName(focus);
}

// Gives the keyboard focus to a part of the window and returns the widget that then receives the
// keys: the focus widget, or the window itself when no child holds the focus.
QWidget* focusOn(MainWindow& w, Focus focus) {
    QWidget* target = nullptr;
    switch (focus) {
        case Focus::Window:
            if (QWidget* current = w.focusWidget()) {
                current->clearFocus();
            }
            return &w;
        case Focus::VertexPane:
            paneTabs(w)->setCurrentIndex(0);
            target = vertexEdit(w);
            break;
        case Focus::FragmentPane:
            paneTabs(w)->setCurrentIndex(1);
            target = fragmentEdit(w);
            break;
        case Focus::WorkSpaceList:
            target = pairListBox(w);
            break;
        case Focus::ErrorList:
            target = errorListBox(w);
            break;
        case Focus::TabStrip:
            target = paneTabs(w)->tabBar();
            break;
        case Focus::ToolButton:
            target = part<QToolBar>(w, "ActionToolBar1")->widgetForAction(action(w, "Action_NES"));
            break;
    }
    target->setFocus();
    return target;
}

const QByteArray kVertexA = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragmentA = "void main()\r\n{\r\n    gl_FragColor = vec4(1.0);\r\n}\r\n";

// A WorkSpace "ws/" with the pairs a and b, pair a open.
class ArchiveWindow : public ::testing::Test {
protected:
    void SetUp() override { fillWorkspace(h); }

    static void fillWorkspace(MasterHarness& harness) {
        harness.writeFile("ws/a.vert", kVertexA);
        harness.writeFile("ws/a.frag", kFragmentA);
        harness.writeFile("ws/b.vert", "// b\n\nvoid main() {}\n");
        harness.writeFile("ws/b.frag", "void main() { gl_FragColor = vec4(0.0); }");
        harness.storeSettings(harness.path("ws/"), "a");
    }

    // The archives the core writes for the same WorkSpace from a fresh generator: the first, the
    // second, ... archive of a run.
    QList<QByteArray> expectedArchives(const QStringList& names, int count,
                                       const QString& workspace = "ws/",
                                       const QString& vertexExt = ".vert",
                                       const QString& fragmentExt = ".frag") {
        RCxState generator = RCxNewGenerator();
        QList<QByteArray> archives;
        for (int i = 0; i < count; ++i) {
            const QString path = h.path(QStringLiteral("expected%1.dat").arg(i));
            SaveAllShadersEnCrypted(path, names, h.path(workspace), vertexExt, fragmentExt,
                                    generator);
            archives.append(h.readFile(QStringLiteral("expected%1.dat").arg(i)));
        }
        return archives;
    }

    static void releaseF10(QWidget* target, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyRelease(target, Qt::Key_F10, modifiers);
        finishDeferredDeletes();
    }

    QByteArray archive() const { return h.readFile("ws/shaders.dat"); }

    MasterHarness h;
    ProgressSpy spy{h.prompter};
};

using Released = std::tuple<Focus, Qt::KeyboardModifiers>;

class F10Release : public ArchiveWindow, public ::testing::WithParamInterface<Released> {};

TEST_P(F10Release, WritesExactlyOneArchiveBehindOneProgressWindow) {
    const auto [focus, modifiers] = GetParam();
    MainWindow& w = h.start();
    QWidget* target = focusOn(w, focus);
    ASSERT_EQ(w.focusWidget(), focus == Focus::Window ? nullptr : target);

    releaseF10(target, modifiers);

    // One archive only: a second run of the command would have written the second archive.
    EXPECT_EQ(archive(), expectedArchives({"a", "b"}, 1).front());
    ASSERT_EQ(spy.windows.size(), 1);
    const ProgressSpy::Seen& seen = spy.windows.front();
    EXPECT_TRUE(seen.ownedByTheApplication);
    EXPECT_TRUE(seen.staysOnTop);
    EXPECT_EQ(seen.valueAtFirstPaint, 20);
    EXPECT_EQ(seen.labelAtHide, QStringLiteral("Building File"));
    EXPECT_EQ(seen.maximumAtHide, 100);
    EXPECT_EQ(seen.valueAtHide, 100);
    EXPECT_TRUE(seen.window.isNull());
    EXPECT_TRUE(h.prompter.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    AllowedFocus, F10Release,
    ::testing::Combine(
        ::testing::Values(Focus::Window, Focus::VertexPane, Focus::FragmentPane,
                          Focus::WorkSpaceList, Focus::ErrorList),
        ::testing::Values(Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier,
                          Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)),
    [](const ::testing::TestParamInfo<Released>& info) {
        return std::string(focusName(std::get<0>(info.param))) + "_" +
               std::to_string(int(std::get<1>(info.param)) >> 25);
    });

class F10Elsewhere : public ArchiveWindow, public ::testing::WithParamInterface<Focus> {};

TEST_P(F10Elsewhere, DoesNothing) {
    MainWindow& w = h.start();
    QWidget* target = focusOn(w, GetParam());
    ASSERT_EQ(w.focusWidget(), target);
    releaseF10(target);
    releaseF10(target, Qt::ShiftModifier);
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/shaders.dat")));
    EXPECT_TRUE(spy.windows.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(OtherFocus, F10Elsewhere,
                         ::testing::Values(Focus::TabStrip, Focus::ToolButton),
                         [](const ::testing::TestParamInfo<Focus>& info) {
                             return std::string(focusName(info.param));
                         });

TEST_F(ArchiveWindow, OtherKeysAndRepeatedReleasesWriteNothing) {
    MainWindow& w = h.start();
    QWidget* list = focusOn(w, Focus::WorkSpaceList);
    for (const Qt::Key key : {Qt::Key_F9, Qt::Key_F11, Qt::Key_A, Qt::Key_Return}) {
        QTest::keyRelease(list, key);
    }
    // A held key repeats its release on some platforms; only the real release counts.
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F10, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(list, &repeated);
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/shaders.dat")));
    EXPECT_TRUE(spy.windows.isEmpty());
}

// Each release writes the next archive of the run behind a fresh progress window; the first
// archive of a run depends only on the WorkSpace, so a second run writes it again.
TEST_F(ArchiveWindow, EveryReleaseWritesTheRunsNextArchiveBehindAFreshProgressWindow) {
    MainWindow& w = h.start();
    QWidget* pane = focusOn(w, Focus::FragmentPane);
    const QList<QByteArray> expected = expectedArchives({"a", "b"}, 2);
    ASSERT_NE(expected[0], expected[1]);
    for (int run = 0; run < 2; ++run) {
        releaseF10(pane);
        ASSERT_EQ(spy.windows.size(), run + 1);
        // Released before the next release comes, so it cannot be used again.
        EXPECT_TRUE(spy.windows[run].window.isNull());
        EXPECT_EQ(archive(), expected[run]);
    }
    ASSERT_TRUE(h.close());

    MasterHarness other;
    fillWorkspace(other);
    MainWindow& second = other.start();
    releaseF10(focusOn(second, Focus::WorkSpaceList));
    EXPECT_EQ(other.readFile("ws/shaders.dat"), expected[0]);
}

TEST_F(ArchiveWindow, ReadsThePairsWithTheConfiguredExtensionsInListOrder) {
    h.writeFile("ws2/Zeta.vs", "zeta vertex\n");
    h.writeFile("ws2/Zeta.fs", "zeta fragment\n");
    h.writeFile("ws2/alpha.vs", "");
    h.writeFile("ws2/alpha.fs", "line one\r\n\r\nline three");
    h.storeSettings(h.path("ws2/"), "", [](TCFG& cfg) {
        cfg.FileExtVertex = ".vs";
        cfg.FileExtFragment = ".fs";
    });
    MainWindow& w = h.start();
    const QStringList names = {"alpha", "Zeta"};
    ASSERT_EQ(tessory::testing::entries(w), names);

    releaseF10(focusOn(w, Focus::WorkSpaceList));
    EXPECT_EQ(h.readFile("ws2/shaders.dat"), expectedArchives(names, 1, "ws2/", ".vs", ".fs")[0]);
}

TEST_F(ArchiveWindow, AnEmptyWorkSpaceGivesTheBarePairCount) {
    h.writeFile("empty/notes.txt", "no shaders here");
    h.storeSettings(h.path("empty/"), "");
    MainWindow& w = h.start();
    ASSERT_EQ(pairListBox(w)->count(), 0);
    releaseF10(focusOn(w, Focus::WorkSpaceList));
    EXPECT_EQ(h.readFile("empty/shaders.dat"), QByteArray(4, '\0'));
}

TEST_F(ArchiveWindow, AnEmptyListNeverReplacesAnArchiveAndSaysWhy) {
    h.writeFile("lone/shaders.dat", "an archive of earlier pairs");
    h.writeFile("lone/only.frag", "");
    h.storeSettings(h.path("lone/"), "");
    MainWindow& w = h.start();
    // A lone fragment shader is listed, but it is no pair for the archive.
    ASSERT_EQ(entries(w), QStringList({"only"}));
    h.prompter.messages.clear();
    releaseF10(focusOn(w, Focus::WorkSpaceList));
    EXPECT_EQ(h.readFile("lone/shaders.dat"), "an archive of earlier pairs");
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("lone/shaders.dat")))
        << h.prompter.messages[0].text.toStdString();
    EXPECT_TRUE(spy.windows.isEmpty());
}

TEST_F(ArchiveWindow, AMissingPairFileKeepsTheEarlierArchiveAndNamesTheFile) {
    MainWindow& w = h.start();
    QWidget* list = focusOn(w, Focus::WorkSpaceList);
    releaseF10(list);
    const QByteArray earlier = archive();
    ASSERT_FALSE(earlier.isEmpty());

    ASSERT_TRUE(QFile::remove(h.path("ws/b.frag")));
    releaseF10(list);

    EXPECT_EQ(archive(), earlier);
    ASSERT_EQ(h.prompter.messages.size(), 1);
    const auto& shown = h.prompter.messages.front();
    EXPECT_EQ(shown.icon, QMessageBox::Critical);
    EXPECT_EQ(shown.owner, &w);
    EXPECT_TRUE(shown.text.contains(h.path("ws/b.frag"))) << shown.text.toStdString();
    // The progress window went before the error was shown, and is gone.
    ASSERT_EQ(spy.windows.size(), 2);
    EXPECT_EQ(spy.windows[1].messagesAtHide, 0);
    EXPECT_TRUE(spy.windows[1].window.isNull());
    EXPECT_EQ(QDir(h.path("ws")).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "no temporary file left behind";
}

TEST_F(ArchiveWindow, AWorkSpaceThatCannotBeWrittenShowsTheError) {
    h.storeSettings(h.path("gone/"), "");
    MainWindow& w = h.start();
    pairListBox(w)->addItem(QStringLiteral("a"));
    releaseF10(focusOn(w, Focus::ErrorList));
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages.front().text.contains(h.path("gone/")))
        << h.prompter.messages.front().text.toStdString();
    ASSERT_EQ(spy.windows.size(), 1);
    EXPECT_TRUE(spy.windows[0].window.isNull());
}

}  // namespace
