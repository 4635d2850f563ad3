// SPDX-License-Identifier: MIT
// The panel drawing through the real driver host programs that are not a plain pair: a fragment
// shader alone over the whole view with the pointer it is given, a geometry stage, and a program
// for Vulkan, which it does not draw.
#include "compile/driver_host.h"
#include "preview/preview_panel.h"
#include "support/scripted_prompter.h"
#include "texts/preview_texts.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kGradient =
    "#version 330\nuniform vec2 u_resolution;\nout vec4 colour;\n"
    "void main() { colour = vec4(gl_FragCoord.xy / u_resolution, 0.0, 1.0); }\n";

int channelDistance(QColor a, QColor b) {
    return std::max(
        {qAbs(a.red() - b.red()), qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())});
}

class LonePreview : public ::testing::Test {
protected:
    void start(const PreviewProgram& first) {
        program = first;
        panel.resize(320, 480);
        panel.show();
        ASSERT_TRUE(nextFrame()) << panel.message().toStdString();
        // The view's first layout may have asked for another frame: the tests count from here.
        ASSERT_TRUE(QTest::qWaitFor([this] { return !panel.framePending(); }, 10000));
    }
    void show(const PreviewProgram& next) {
        program = next;
        panel.refresh();
        ASSERT_TRUE(nextFrame()) << panel.message().toStdString();
    }
    bool nextFrame() { return QSignalSpy(&panel, &PreviewPanel::frameShown).wait(10000); }
    QWidget* view() const { return panel.findChild<QWidget*>(QStringLiteral("PreviewView")); }
    QColor pixel(int x, int y) const { return panel.frame().pixelColor(x, y); }

    PreviewProgram program;
    ScriptedPrompter prompter;
    DriverHost host{QStringLiteral(TESSORY_EDITOR_BINARY), {QStringLiteral("--driver-host")}};
    PreviewPanel panel{prompter, [this] { return program; }, host};
};

TEST_F(LonePreview, AFragmentShaderAloneFillsTheViewWhateverTheMeshWhichItDisables) {
    panel.setMesh(MeshKind::Torus);
    start({{}, kGradient, {}, true, false});
    const QImage& frame = panel.frame();
    ASSERT_EQ(frame.size(), view()->size());
    const int right = frame.width() - 1;
    const int bottom = frame.height() - 1;
    // Black at the bottom left, yellow at the top right: y runs up, as in the shader.
    EXPECT_LE(channelDistance(pixel(0, bottom), Qt::black), 3);
    EXPECT_LE(channelDistance(pixel(right, 0), Qt::yellow), 3);
    EXPECT_GT(pixel(right, bottom).red(), 250);
    EXPECT_LT(pixel(right, bottom).green(), 3);
    auto* mesh = panel.findChild<QComboBox*>(QStringLiteral("PreviewMesh"));
    EXPECT_FALSE(mesh->isEnabled());

    show({"void main() { gl_Position = ftransform(); }\n",
          "void main() { gl_FragColor = vec4(1.0); }\n",
          {},
          false,
          false});
    EXPECT_TRUE(mesh->isEnabled());
    // The torus leaves the corners to the background.
    EXPECT_NE(pixel(0, 0), QColor(Qt::white));
    EXPECT_NE(pixel(right, bottom), QColor(Qt::white));
}

TEST_F(LonePreview, ThePointerReachesTheShaderInPixelsFromTheBottomAndStaysWhenItLeaves) {
    start({{},
           "uniform vec2 u_mouse;\nuniform vec2 u_resolution;\n"
           "void main() { gl_FragColor = vec4(u_mouse / u_resolution, 0.0, 1.0); }\n",
           {},
           true,
           false});
    EXPECT_EQ(pixel(5, 5), QColor(Qt::black));
    const QSize size = view()->size();
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 120), view()->mapToGlobal(QPointF(80, 120)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    // No time is declared: the move alone asks for the frame.
    QSignalSpy frames(&panel, &PreviewPanel::frameShown);
    QApplication::sendEvent(view(), &move);
    ASSERT_TRUE(frames.wait(10000));
    const QColor expected = QColor::fromRgbF(80.0f / float(size.width()),
                                             float(size.height() - 120) / float(size.height()), 0);
    EXPECT_LE(channelDistance(pixel(5, 5), expected), 1)
        << pixel(5, 5).name().toStdString() << " for " << expected.name().toStdString();

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view(), &leave);
    panel.refresh();
    ASSERT_TRUE(nextFrame());
    EXPECT_LE(channelDistance(pixel(5, 5), expected), 1);
}

TEST_F(LonePreview, AGeometryStageCrossesToTheHostAndIsLinked) {
    start({"#version 330\nin vec3 position;\nvoid main() { gl_Position = vec4(position, 1.0); }\n",
           "#version 330\nin vec3 shade;\nout vec4 colour;\n"
           "void main() { colour = vec4(shade, 1.0); }\n",
           "#version 330\nlayout(triangles) in;\nlayout(triangle_strip, max_vertices = 3) out;\n"
           "out vec3 shade;\nvoid main() {\n    for (int i = 0; i < 3; ++i) {\n"
           "        gl_Position = gl_in[i].gl_Position;\n        shade = vec3(0.0, 1.0, 0.0);\n"
           "        EmitVertex();\n    }\n}\n",
           false, false});
    panel.setMesh(MeshKind::Quad);
    ASSERT_TRUE(nextFrame());
    EXPECT_EQ(pixel(panel.frame().width() / 2, panel.frame().height() / 2), QColor(Qt::green));
}

TEST_F(LonePreview, AProgramForVulkanIsNotDrawnAndThePanelSaysWhy) {
    start({{}, kGradient, {}, true, false});
    program.vulkan = true;
    QSignalSpy frames(&panel, &PreviewPanel::frameShown);
    panel.refresh();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !panel.message().isEmpty(); }, 5000));
    EXPECT_EQ(panel.message(), previewTexts(false).openGlOnly);
    EXPECT_EQ(panel.message(),
              QStringLiteral("The preview draws OpenGL and OpenGL ES programs only."));
    EXPECT_TRUE(panel.frame().isNull());
    EXPECT_FALSE(panel.framePending());
    QTest::qWait(300);
    EXPECT_EQ(frames.count(), 0);

    panel.setTexts(previewTexts(true));
    panel.refresh();
    EXPECT_EQ(panel.message(),
              QStringLiteral("Die Vorschau zeichnet nur OpenGL- und OpenGL-ES-Programme."));
    EXPECT_EQ(frames.count(), 0);

    program.vulkan = false;
    panel.refresh();
    ASSERT_TRUE(nextFrame());
    EXPECT_EQ(panel.message(), QString());
    EXPECT_FALSE(panel.frame().isNull());
}

}  // namespace
