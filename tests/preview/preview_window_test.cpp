// SPDX-License-Identifier: MIT
// The preview as the user meets it in the window: F9, the open pair, live edits and settings.
#include "support/master_harness.h"

#include "compile/live_check.h"
#include "compile/program_context.h"
#include "compile/target_panel.h"
#include "preview/preview_panel.h"
#include "texts/preview_texts.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
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
    MainWindow& start() {
        for (const char* file : {"toon.vert", "toon.frag"}) {
            h.writeFile(QStringLiteral("ws/") + file, example(file));
        }
        h.storeSettings(h.path("ws/"), "toon");
        MainWindow& w = h.start();
        panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        EXPECT_NE(panel, nullptr);
        return w;
    }

    // The frames come from the driver host: the next one, or one that shows what is wanted.
    bool nextFrame() const { return QSignalSpy(panel, &PreviewPanel::frameShown).wait(10000); }
    bool frameUntil(const std::function<bool()>& shown) const {
        return QTest::qWaitFor(shown, 10000);
    }

    QColor centre() const {
        const QImage& frame = panel->frame();
        return frame.pixelColor(frame.width() / 2, frame.height() / 2);
    }

    MasterHarness h;
    PreviewPanel* panel = nullptr;
};

TEST_F(PreviewWindow, F9ShowsThePairAndItsUniformsAndTheSettingsKeepTheDock) {
    MainWindow& w = start();
    QDockWidget* dock = w.findChild<QDockWidget*>(QStringLiteral("PreviewDock"));
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->isHidden());
    EXPECT_EQ(action(w, "Action_Preview")->shortcut(), QKeySequence(Qt::Key_F9));
    action(w, "Action_Preview")->trigger();
    EXPECT_TRUE(dock->isVisible());
    EXPECT_TRUE(action(w, "Action_Preview")->isChecked());
    ASSERT_TRUE(nextFrame()) << panel->message().toStdString();
    EXPECT_GT(centre().red(), centre().blue());
    ASSERT_EQ(panel->uniforms().size(), 1);
    EXPECT_EQ(panel->uniforms()[0].name, QStringLiteral("baseColor"));

    // A value typed in the panel changes the next frame.
    auto* blue = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_baseColor_2"));
    auto* red = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_baseColor_0"));
    ASSERT_TRUE(blue && red);
    red->setValue(0.0);
    blue->setValue(1.0);
    EXPECT_TRUE(frameUntil([&] { return centre().red() == 0 && centre().blue() > 100; }));

    ASSERT_TRUE(h.close());
    EXPECT_EQ(h.settings()->value("PreviewVisible").toString(), QStringLiteral("1"));
    MainWindow& again = h.start();
    EXPECT_TRUE(again.findChild<QDockWidget*>(QStringLiteral("PreviewDock"))->isVisible());
}

TEST_F(PreviewWindow, ABrokenEditKeepsTheLastFrameAndShowsTheMessageInThePanel) {
    MainWindow& w = start();
    action(w, "Action_Preview")->trigger();
    ASSERT_TRUE(nextFrame());
    const QImage before = panel->frame();
    paneTabs(w)->setCurrentIndex(1);
    QTextCursor end(fragmentEdit(w)->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("broken here"));
    // Drawn once the text has been still for a moment, not at each key.
    EXPECT_EQ(panel->message(), QString());
    QTest::qWait(LiveCheck::kQuietMs + 200);
    EXPECT_TRUE(frameUntil([&] { return panel->message().contains("syntax error"); }))
        << panel->message().toStdString();
    EXPECT_EQ(panel->frame(), before);
    EXPECT_TRUE(errorListBox(w)->count() == 0) << "the error list is Test Shader's alone";
}

TEST_F(PreviewWindow, SaveImageWritesAPngOfTheChosenSize) {
    MainWindow& w = start();
    action(w, "Action_Preview")->trigger();
    const QString file = h.path("shot.png");
    h.prompter.saveFiles.push_back(file);
    panel->findChild<QComboBox*>(QStringLiteral("PreviewImageSize"))->setCurrentIndex(1);
    panel->saveImage();
    const QImage saved(file);
    EXPECT_EQ(saved.size(), QSize(512, 512));
    EXPECT_EQ(h.prompter.saveFileRequests, QStringList({h.path("ws/") + "toon.png"}));
}

TEST_F(PreviewWindow, SaveImageNeverReplacesAShaderOfTheWorkSpace) {
    h.writeFile("ws/other.vert", "void main() {}\n");
    h.writeFile("ws/other.frag", "void main() {}\n");
    MainWindow& w = start();
    action(w, "Action_Preview")->trigger();
    const std::pair<const char*, const char*> targets[] = {{"ws/toon.frag", "ws/toon.frag"},
                                                           {"ws/./toon.vert", "ws/toon.vert"},
                                                           {"ws/other.frag", "ws/other.frag"}};
    for (const auto& [typed, shader] : targets) {
        const QByteArray before = h.readFile(shader);
        h.prompter.saveFiles.push_back(h.path(typed));
        panel->saveImage();
        ASSERT_FALSE(h.prompter.messages.isEmpty()) << typed;
        EXPECT_EQ(h.prompter.messages.last().text,
                  previewTexts(false).savingOverShader.arg(h.path(typed), h.path(shader)));
        EXPECT_EQ(h.readFile(shader), before);
    }
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QString::fromLatin1(example("toon.frag")));
}

TEST_F(PreviewWindow, AnImageTheDriverCannotUseIsNamedInTheDock) {
    for (const char* file : {"texture.vert", "texture.frag"}) {
        h.writeFile(QStringLiteral("ws/") + file, example(file));
    }
    ASSERT_TRUE(QImage(20000, 1, QImage::Format_RGB32).save(h.path("ws/baseMap.png")));
    h.storeSettings(h.path("ws/"), "texture");
    MainWindow& w = h.start();
    panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
    action(w, "Action_Preview")->trigger();
    ASSERT_TRUE(nextFrame());
    EXPECT_TRUE(panel->notes().startsWith(QStringLiteral("baseMap.png is not used: 20000 x 1")))
        << panel->notes().toStdString();
    // Readable however short the dock is.
    const auto* notes = panel->findChild<QLabel*>(QStringLiteral("PreviewNotes"));
    w.resize(w.width(), 300);
    QCoreApplication::processEvents();
    EXPECT_GE(notes->height(), notes->fontMetrics().height());
}

// A struct array's colour, a float and a sampler inside a struct.
const QByteArray kLightsFragment =
    "struct Light { vec3 color; float power; sampler2D tex; };\n"
    "uniform Light lights[2];\n"
    "uniform float gain;\n"
    "void main() {\n"
    "    gl_FragColor = vec4(lights[0].color * lights[1].power * gain, 1.0)\n"
    "                 + texture2D(lights[0].tex, vec2(0.5)) * 0.0;\n"
    "}\n";

class PreviewUniforms : public PreviewWindow {
protected:
    MainWindow& startLights() {
        h.writeFile("ws/lights.vert", "void main() { gl_Position = ftransform(); }\n");
        h.writeFile("ws/lights.frag", kLightsFragment);
        h.storeSettings(h.path("ws/"), "lights");
        MainWindow& w = h.start();
        panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
        action(w, "Action_Preview")->trigger();
        EXPECT_TRUE(nextFrame());
        return w;
    }

    // The fragment pane's text replaced, and drawn at once as the live compile does.
    void edit(MainWindow& w, const QByteArray& fragment) {
        fragmentEdit(w)->setPlainText(QString::fromLatin1(fragment));
        panel->refresh();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !panel->framePending(); }, 10000));
    }
};

TEST_F(PreviewUniforms, AColourChosenAfterTheUniformsWereRebuiltGoesToTheUniformOfThatName) {
    MainWindow& w = startLights();
    auto* pick = panel->findChild<QPushButton*>(QStringLiteral("UniformColour_lights[0].color"));
    ASSERT_NE(pick, nullptr);
    // The uniforms vanish while the chooser is open: the choice is dropped.
    h.prompter.whileChoosingColor = [&] { edit(w, "void main() { gl_FragColor = vec4(0.0); }\n"); };
    h.prompter.colors.push_back(QColor(Qt::red));
    pick->click();
    EXPECT_TRUE(panel->uniforms().isEmpty());

    // They come back in another order: the choice reaches the new row of the same uniform.
    edit(w, kLightsFragment);
    pick = panel->findChild<QPushButton*>(QStringLiteral("UniformColour_lights[0].color"));
    ASSERT_NE(pick, nullptr);
    h.prompter.whileChoosingColor = [&] { edit(w, "uniform float first;\n" + kLightsFragment); };
    h.prompter.colors.push_back(QColor(Qt::blue));
    pick->click();
    auto* blue = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_lights[0].color_2"));
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->value(), 1.0);
    EXPECT_EQ(
        panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_lights[0].color_0"))->value(),
        0.0);
}

TEST_F(PreviewUniforms, AFloatTakesAnyNumberAndItsSliderFollows) {
    startLights();
    auto* field = panel->findChild<QDoubleSpinBox*>(QStringLiteral("Uniform_gain_0"));
    auto* slider = panel->findChild<QSlider*>(QStringLiteral("UniformSlider_gain"));
    ASSERT_TRUE(field && slider);
    EXPECT_GT(field->width(), 30);
    field->setValue(-4.0);
    EXPECT_EQ(slider->value(), slider->minimum() + (slider->maximum() - slider->minimum()) / 2);
    slider->setValue(slider->minimum());
    EXPECT_EQ(field->value(), -8.0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !panel->framePending(); }, 10000));
    const auto gain = std::find_if(panel->uniforms().begin(), panel->uniforms().end(),
                                   [](const UniformInfo& u) { return u.name == "gain"; });
    ASSERT_NE(gain, panel->uniforms().end());
    EXPECT_EQ(gain->value, std::vector<float>{-8.0f});
}

TEST(PreviewWithoutDriver, ThePanelSaysWhyAndTheEditorWorksOn) {
    MasterHarness h;
    // The preview draws in the driver host, which takes the test's environment when it starts.
    qputenv("TESSORY_HOST_NO_CONTEXT", "no EGL here");
    h.writeFile("ws/p.vert", "void main() {}\n");
    h.writeFile("ws/p.frag", "void main() {}\n");
    h.storeSettings(h.path("ws/"), "p");
    MainWindow& w = h.start();
    action(w, "Action_Preview")->trigger();
    auto* panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->message().isEmpty(); }, 10000));
    qunsetenv("TESSORY_HOST_NO_CONTEXT");
    EXPECT_TRUE(panel->frame().isNull());
    EXPECT_TRUE(panel->message().contains(QStringLiteral("no EGL here")))
        << panel->message().toStdString();
    QTest::keyClicks(fragmentEdit(w), "// still editing");
    EXPECT_TRUE(fragmentEdit(w)->document()->isModified());
}

}  // namespace

namespace {

// A lone fragment shader of a live-coding collection opened from the WorkSpace list: drawn over
// the whole view, with the mesh choice off; a Vulkan program chosen instead is not drawn.
TEST_F(PreviewWindow, ALoneFragmentShaderOfTheListIsDrawnOverTheWholeView) {
    QFile book(QStringLiteral(TESSORY_TEST_SOURCE_DIR "/../check/repositories/book/03/time.frag"));
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    h.writeFile("ws/time.frag", book.readAll());
    h.storeSettings(h.path("ws/"), "time");
    MainWindow& w = h.start();
    panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(selectedEntry(w), QStringLiteral("time"));
    action(w, "Action_Preview")->trigger();
    ASSERT_TRUE(nextFrame()) << panel->message().toStdString();
    EXPECT_EQ(panel->message(), QString());
    // Red follows x across the view and green y, up from the bottom.
    const QImage& frame = panel->frame();
    const QColor bottomLeft = frame.pixelColor(2, frame.height() - 3);
    const QColor topRight = frame.pixelColor(frame.width() - 3, 2);
    EXPECT_LT(bottomLeft.red(), 20);
    EXPECT_LT(bottomLeft.green(), 20);
    EXPECT_GT(topRight.red(), 230);
    EXPECT_GT(topRight.green(), 230);
    EXPECT_FALSE(panel->findChild<QComboBox*>(QStringLiteral("PreviewMesh"))->isEnabled());

    // Chosen in the status bar, as a user does.
    for (QAction* choice :
         w.findChild<TargetPanel*>(QStringLiteral("TargetPanel"))->findChildren<QAction*>()) {
        if (choice->text() == QStringLiteral("Vulkan")) {
            choice->trigger();
        }
    }
    EXPECT_EQ(w.program().setup().target, Target::Vulkan);
    EXPECT_TRUE(frameUntil([&] { return panel->message().contains("OpenGL ES"); }))
        << panel->message().toStdString();
}

// A compute shader and a program with tessellation stages are not drawn, and the panel says why.
TEST_F(PreviewWindow, ProgramsItCannotDrawAreNamedAsSuch) {
    h.writeFile("ws/blur.comp", "#version 430\nlayout(local_size_x = 8) in;\nvoid main() {}\n");
    for (const char* file : {"terrain.vert", "terrain.tesc", "terrain.tese", "terrain.frag"}) {
        h.writeFile(QStringLiteral("ws/") + file, example(file));
    }
    h.storeSettings(h.path("ws/"), "blur");
    MainWindow& w = h.start();
    panel = w.findChild<PreviewPanel*>(QStringLiteral("PreviewPanel"));
    ASSERT_NE(panel, nullptr);
    action(w, "Action_Preview")->trigger();
    EXPECT_TRUE(frameUntil([&] { return panel->message().contains("compute shader"); }))
        << panel->message().toStdString();
    clickEntry(w, 1);
    ASSERT_EQ(selectedEntry(w), QStringLiteral("terrain"));
    EXPECT_TRUE(frameUntil([&] { return panel->message().contains("tessellation"); }))
        << panel->message().toStdString();
}

}  // namespace
