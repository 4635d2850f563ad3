// SPDX-License-Identifier: MIT
// The preview as the user meets it in the window: F9, the open pair, live edits and settings.
#include "support/master_harness.h"

#include "preview/preview_panel.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

QByteArray example(const QString& file) {
    QFile in(QStringLiteral(TESSORY_EXAMPLES_DIR "/") + file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    return in.readAll();
}

class PreviewWindow : public ::testing::Test {
protected:
    TForm_Master& start() {
        for (const char* file : {"toon.vert", "toon.frag"}) {
            h.writeFile(QStringLiteral("ws/") + file, example(file));
        }
        h.storeSettings(h.path("ws/"), "toon");
        TForm_Master& w = h.start();
        panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        EXPECT_NE(panel, nullptr);
        return w;
    }

    QColor centre() const {
        const QImage& frame = panel->frame();
        return frame.pixelColor(frame.width() / 2, frame.height() / 2);
    }

    MasterHarness h;
    PreviewPanel* panel = nullptr;
};

TEST_F(PreviewWindow, F9ShowsThePairAndItsUniformsAndTheSettingsKeepTheDock) {
    TForm_Master& w = start();
    QDockWidget* dock = w.findChild<QDockWidget*>(QStringLiteral("PreviewDock"));
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isHidden());
    EXPECT_EQ(action(w, "Action_Preview")->shortcut(), QKeySequence(Qt::Key_F9));
    action(w, "Action_Preview")->trigger();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(action(w, "Action_Preview")->isChecked());
    ASSERT_FALSE(panel->frame().isNull()) << panel->message().toStdString();
    EXPECT_GT(centre().red(), centre().blue());
    ASSERT_EQ(panel->uniforms().size(), 1);
    EXPECT_EQ(panel->uniforms()[0].name, QStringLiteral("baseColor"));

    // A value typed in the panel changes the frame at once.
    auto* blue = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_baseColor_2"));
    auto* red = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_baseColor_0"));
    ASSERT_TRUE(blue && red);
    red->setValue(0.0);
    blue->setValue(1.0);
    EXPECT_EQ(centre().red(), 0);
    EXPECT_GT(centre().blue(), 100);

    ASSERT_TRUE(h.close());
    EXPECT_EQ(h.settings()->value("PreviewVisible").toString(), QStringLiteral("1"));
    TForm_Master& again = h.start();
    EXPECT_TRUE(again.findChild<QDockWidget*>(QStringLiteral("PreviewDock"))->isVisible());
}

TEST_F(PreviewWindow, ABrokenEditKeepsTheLastFrameAndShowsTheMessageInThePanel) {
    TForm_Master& w = start();
    action(w, "Action_Preview")->trigger();
    const QImage before = panel->frame();
    ASSERT_FALSE(before.isNull());
    paneTabs(w)->setCurrentIndex(1);
    QTextCursor end(fragmentEdit(w)->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("broken here"));
    // Drawn once the text has been still for a moment, not at each key.
    EXPECT_EQ(panel->message(), QString());
    QTest::qWait(PreviewPanel::kQuietMs + 200);
    EXPECT_TRUE(panel->message().contains(QStringLiteral("syntax error")))
        << panel->message().toStdString();
    EXPECT_EQ(panel->frame(), before);
    EXPECT_TRUE(errorListBox(w)->count() == 0) << "the error list is Test Shader's alone";
}

TEST_F(PreviewWindow, SaveImageWritesAPngOfTheChosenSize) {
    TForm_Master& w = start();
    action(w, "Action_Preview")->trigger();
    const QString file = h.path("shot.png");
    h.prompter.saveFiles.push_back(file);
    panel->findChild<QComboBox*>(QStringLiteral("PreviewImageSize"))->setCurrentIndex(1);
    panel->saveImage();
    const QImage saved(file);
    EXPECT_EQ(saved.size(), QSize(512, 512));
    EXPECT_EQ(h.prompter.saveFileRequests, QStringList({h.path("ws/") + "toon.png"}));
}

TEST(PreviewWithoutDriver, ThePanelSaysWhyAndTheEditorWorksOn) {
    MasterHarness h;
    h.createGlContext = [] { return GlContextResult{nullptr, QStringLiteral("no EGL here")}; };
    h.writeFile("ws/p.vert", "void main() {}\n");
    h.writeFile("ws/p.frag", "void main() {}\n");
    h.storeSettings(h.path("ws/"), "p");
    TForm_Master& w = h.start();
    action(w, "Action_Preview")->trigger();
    auto* panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->frame().isNull());
    EXPECT_TRUE(panel->message().contains(QStringLiteral("no EGL here")))
        << panel->message().toStdString();
    QTest::keyClicks(fragmentEdit(w), "// still editing");
    EXPECT_TRUE(fragmentEdit(w)->document()->isModified());
}

}  // namespace
