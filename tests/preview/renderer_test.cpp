// SPDX-License-Identifier: MIT
// The preview against the machine's real driver: each example pair drawn and checked by what it
// must show.
#include "preview/renderer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

QByteArray example(const QString& file) {
    QFile in(QStringLiteral(TESSORY_EXAMPLES_DIR "/") + file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    return in.readAll();
}

PreviewScene exampleScene(const QString& pair, MeshKind mesh) {
    PreviewScene scene;
    scene.vertexSource = example(pair + ".vert");
    scene.fragmentSource = example(pair + ".frag");
    scene.mesh = mesh;
    scene.size = QSize(128, 128);
    scene.background = Qt::black;
    return scene;
}

class Preview : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QString failure;
        renderer_ = PreviewRenderer::create(&GlContext::create, failure).release();
        ASSERT_NE(renderer_, nullptr) << failure.toStdString();
    }
    static void TearDownTestSuite() { delete renderer_; }

    PreviewFrame render(const PreviewScene& scene) {
        PreviewFrame frame = renderer_->render(scene);
        EXPECT_EQ(frame.error, QString());
        EXPECT_EQ(frame.image.size(), scene.size);
        return frame;
    }

    static PreviewRenderer* renderer_;
};

PreviewRenderer* Preview::renderer_ = nullptr;

// Near the expected colour, with room for interpolation and the driver's rounding.
::testing::AssertionResult near(QColor actual, QColor expected, int tolerance = 40) {
    const int d =
        qMax(qAbs(actual.red() - expected.red()),
             qMax(qAbs(actual.green() - expected.green()), qAbs(actual.blue() - expected.blue())));
    if (d <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << actual.name().toStdString() << " is not near " << expected.name().toStdString();
}

TEST_F(Preview, TheColourPairShowsItsFourVertexColoursInTheQuadsCorners) {
    const QImage image = render(exampleScene("color", MeshKind::Quad)).image;
    EXPECT_TRUE(near(image.pixelColor(1, 126), Qt::red));
    EXPECT_TRUE(near(image.pixelColor(126, 126), Qt::green));
    EXPECT_TRUE(near(image.pixelColor(126, 1), Qt::blue));
    EXPECT_TRUE(near(image.pixelColor(1, 1), Qt::yellow));
}

TEST_F(Preview, TheToonPairShowsOrangeBandsOnTheSphere) {
    const PreviewFrame frame = render(exampleScene("toon", MeshKind::Sphere));
    const QColor centre = frame.image.pixelColor(64, 64);
    // baseColor (1.0, 0.55, 0.2) times a band: red over green over blue, in the fixed ratio.
    EXPECT_GT(centre.red(), 100);
    EXPECT_NEAR(double(centre.green()) / centre.red(), 0.55, 0.05);
    EXPECT_NEAR(double(centre.blue()) / centre.red(), 0.2, 0.05);
    EXPECT_TRUE(near(frame.image.pixelColor(1, 1), Qt::black, 0));
    // The bands are flat: a handful of colours across the lit side, not a gradient.
    QSet<QRgb> colours;
    for (int x = 20; x < 108; ++x) {
        colours.insert(frame.image.pixel(x, 64));
    }
    EXPECT_LE(colours.size(), 8);
    ASSERT_EQ(frame.uniforms.size(), 1);
    EXPECT_EQ(frame.uniforms[0].name, QStringLiteral("baseColor"));
    EXPECT_EQ(frame.uniforms[0].typeName, QStringLiteral("vec3"));
    EXPECT_EQ(frame.uniforms[0].value, (std::vector<float>{1.0f, 0.55f, 0.2f}));
}

TEST_F(Preview, AnEditedUniformChangesThePixels) {
    PreviewScene scene = exampleScene("toon", MeshKind::Sphere);
    scene.values.insert(QStringLiteral("baseColor"), {0.0f, 0.0f, 1.0f});
    const QColor centre = render(scene).image.pixelColor(64, 64);
    EXPECT_EQ(centre.red(), 0);
    EXPECT_EQ(centre.green(), 0);
    EXPECT_GT(centre.blue(), 100);
}

TEST_F(Preview, TheTexturePairShowsTheCheckerOrTheSamplersOwnImage) {
    // Across the middle of the sphere the checker's squares alternate light and dark.
    const auto contrastAcross = [](const QImage& image) {
        int lowest = 255;
        int highest = 0;
        for (int x = 44; x < 84; ++x) {
            lowest = qMin(lowest, image.pixelColor(x, 64).value());
            highest = qMax(highest, image.pixelColor(x, 64).value());
        }
        return highest - lowest;
    };
    PreviewScene scene = exampleScene("texture", MeshKind::Sphere);
    EXPECT_GT(contrastAcross(render(scene).image), 60);

    QTemporaryDir dir;
    QImage green(4, 4, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(dir.filePath("baseMap.png")));
    scene.imageDirectory = dir.path();
    const QImage image = render(scene).image;
    EXPECT_EQ(image.pixelColor(64, 64).red(), 0);
    EXPECT_GT(image.pixelColor(64, 64).green(), 40);
    EXPECT_LT(contrastAcross(image), 30);
}

// A BMP header that promises far more pixels than the reader may allocate.
QByteArray bombBmp() {
    QByteArray header(54, '\0');
    const auto put = [&header](int at, quint32 value) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = char((value >> (8 * i)) & 0xff);
        }
    };
    header[0] = 'B';
    header[1] = 'M';
    put(2, 54);
    put(10, 54);
    put(14, 40);
    put(18, 60000);
    put(22, 60000);
    put(26, 1 | (24 << 16));
    return header;
}

TEST_F(Preview, AnImageTheDriverOrTheReaderRefusesIsNamedAndTheCheckerShown) {
    QTemporaryDir dir;
    ASSERT_TRUE(QImage(20000, 1, QImage::Format_RGB32).save(dir.filePath("baseMap.png")));
    PreviewScene scene = exampleScene("texture", MeshKind::Quad);
    scene.imageDirectory = dir.path();
    PreviewFrame frame = render(scene);
    ASSERT_EQ(frame.imageProblems.size(), 1);
    EXPECT_EQ(frame.imageProblems[0].file, dir.filePath("baseMap.png"));
    EXPECT_EQ(frame.imageProblems[0].size, QSize(20000, 1));
    EXPECT_GT(frame.imageProblems[0].largestTexture, 1000);
    EXPECT_EQ(frame.imageProblems[0].readError, QString());
    // The checker's light squares, not black.
    int brightest = 0;
    for (int x = 0; x < 128; ++x) {
        brightest = qMax(brightest, frame.image.pixelColor(x, 64).value());
    }
    EXPECT_GT(brightest, 150);

    ASSERT_TRUE(QFile::remove(dir.filePath("baseMap.png")));
    QFile bomb(dir.filePath("baseMap.bmp"));
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(bombBmp());
    bomb.close();
    frame = render(scene);
    ASSERT_EQ(frame.imageProblems.size(), 1);
    EXPECT_EQ(frame.imageProblems[0].file, dir.filePath("baseMap.bmp"));
    EXPECT_NE(frame.imageProblems[0].readError, QString());
}

TEST_F(Preview, TheLightingPairAndModernShadersWithCommonNamesDraw) {
    const QImage lit = render(exampleScene("lighting", MeshKind::Torus)).image;
    EXPECT_GT(lit.pixelColor(64, 64).value() + lit.pixelColor(40, 64).value(), 0);
    PreviewScene modern;
    modern.mesh = MeshKind::Cube;
    modern.size = QSize(64, 64);
    modern.background = Qt::black;
    modern.vertexSource =
        "#version 330\nin vec3 position;\nin vec3 normal;\nuniform mat4 mvp;\nout vec3 n;\n"
        "void main() { n = normal; gl_Position = mvp * vec4(position, 1.0); }\n";
    modern.fragmentSource =
        "#version 330\nin vec3 n;\nuniform vec2 resolution;\nout vec4 colour;\n"
        "void main() { colour = vec4(gl_FragCoord.xy / resolution, 1.0, 1.0); }\n";
    const PreviewFrame frame = render(modern);
    EXPECT_GT(frame.image.pixelColor(32, 32).blue(), 200);
    EXPECT_TRUE(near(frame.image.pixelColor(0, 0), Qt::black, 0));
}

TEST_F(Preview, TimeResolutionAndMouseReachUniformsOfTheirCommonNames) {
    PreviewScene scene;
    scene.mesh = MeshKind::Quad;
    scene.size = QSize(32, 16);
    scene.vertexSource = "void main() { gl_Position = gl_Vertex; }\n";
    scene.fragmentSource =
        "uniform float iTime;\nuniform vec2 u_resolution;\nuniform vec2 mouse;\n"
        "void main() { gl_FragColor = vec4(fract(iTime), u_resolution.x / 64.0,"
        " mouse.y / 255.0, 1.0); }\n";
    scene.time = 10.25f;
    scene.mouse = QPointF(3, 51);
    const PreviewFrame frame = render(scene);
    const QColor pixel = frame.image.pixelColor(5, 5);
    EXPECT_NEAR(pixel.red(), 64, 2);
    EXPECT_NEAR(pixel.green(), 128, 2);
    EXPECT_NEAR(pixel.blue(), 51, 2);
    EXPECT_TRUE(declaresTime(frame.uniforms));
    scene.time = 10.75f;
    EXPECT_NEAR(render(scene).image.pixelColor(5, 5).red(), 191, 2);
}

PreviewScene fragmentOnly(const QByteArray& fragment) {
    PreviewScene scene;
    // The mesh chosen does not apply to a fragment shader alone.
    scene.mesh = MeshKind::Sphere;
    scene.size = QSize(64, 32);
    scene.background = Qt::blue;
    scene.fragmentSource = fragment;
    scene.fragmentOnly = true;
    return scene;
}

TEST_F(Preview, AFragmentShaderAloneFillsTheViewWhateverItsGlslVersion) {
    for (const QByteArray& fragment : {
             QByteArray("#version 330\nuniform vec2 u_resolution;\nout vec4 colour;\n"
                        "void main() { colour = vec4(gl_FragCoord.xy / u_resolution, 0.0, 1.0); "
                        "}\n"),
             QByteArray("uniform vec2 resolution;\nvoid main() {\n"
                        "    gl_FragColor = vec4(gl_FragCoord.xy / resolution, 0.0, 1.0);\n}\n"),
         }) {
        const QImage image = render(fragmentOnly(fragment)).image;
        // The rows run top down: the bottom left is black, the top right yellow, and nothing is
        // left in the background's blue.
        EXPECT_TRUE(near(image.pixelColor(0, 31), Qt::black, 10)) << fragment.toStdString();
        EXPECT_TRUE(near(image.pixelColor(63, 0), Qt::yellow, 10)) << fragment.toStdString();
        EXPECT_LT(image.pixelColor(63, 31).green(), 10);
        EXPECT_GT(image.pixelColor(63, 31).red(), 240);
        for (const QPoint at : {QPoint(0, 0), QPoint(63, 31), QPoint(32, 16)}) {
            EXPECT_EQ(image.pixelColor(at).blue(), 0) << at.x() << "," << at.y();
        }
    }
}

TEST_F(Preview, TheBuiltInVertexStageWritesTheInputsTheFragmentShaderDeclares) {
    const PreviewFrame frame = render(fragmentOnly(
        "#version 330\nin vec2 uv;\nflat in int band;\nout vec4 colour;\n"
        "void main() { colour = vec4(uv, float(band), 1.0) + vec4(0.0, 0.5, 0.0, 0.0); }\n"));
    EXPECT_TRUE(near(frame.image.pixelColor(32, 16), QColor(0, 128, 0), 2));
}

TEST_F(Preview, AGeometryStageIsLinkedBetweenTheVertexAndFragmentShaders) {
    PreviewScene scene = exampleScene("color", MeshKind::Quad);
    scene.vertexSource =
        "#version 330\nin vec3 position;\nvoid main() { gl_Position = vec4(position, 1.0); }\n";
    // The fragment shader's colour comes from the geometry stage alone, which also halves the
    // quad.
    scene.geometrySource =
        "#version 330\nlayout(triangles) in;\nlayout(triangle_strip, max_vertices = 3) out;\n"
        "out vec3 shade;\nvoid main() {\n    for (int i = 0; i < 3; ++i) {\n"
        "        gl_Position = gl_in[i].gl_Position * vec4(0.5, 0.5, 1.0, 1.0);\n"
        "        shade = vec3(0.0, 1.0, 0.0);\n        EmitVertex();\n    }\n}\n";
    scene.fragmentSource =
        "#version 330\nin vec3 shade;\nout vec4 colour;\n"
        "void main() { colour = vec4(shade, 1.0); }\n";
    const QImage image = render(scene).image;
    EXPECT_TRUE(near(image.pixelColor(64, 64), Qt::green, 0));
    EXPECT_TRUE(near(image.pixelColor(4, 4), Qt::black, 0));
}

TEST(UniformRoles, LiveCodingNamesOfTimeResolutionAndMouseGetTheirRoles) {
    const struct {
        const char* name;
        UniformType type;
        UniformRole role;
    } named[] = {
        {"u_time", UniformType::Float, UniformRole::Time},
        {"time", UniformType::Float, UniformRole::Time},
        {"iTime", UniformType::Float, UniformRole::Time},
        {"u_resolution", UniformType::Vec2, UniformRole::Resolution},
        {"resolution", UniformType::Vec2, UniformRole::Resolution},
        {"iResolution", UniformType::Vec3, UniformRole::Resolution},
        {"iResolution", UniformType::Vec2, UniformRole::Resolution},
        {"u_mouse", UniformType::Vec2, UniformRole::Mouse},
        {"mouse", UniformType::Vec2, UniformRole::Mouse},
        {"iMouse", UniformType::Vec4, UniformRole::Mouse},
        {"iMouse", UniformType::Vec2, UniformRole::Mouse},
        // A type the role cannot fill leaves the uniform to the user.
        {"u_mouse", UniformType::Mat4, UniformRole::Value},
        {"iTime", UniformType::Vec2, UniformRole::Value},
    };
    for (const auto& n : named) {
        EXPECT_EQ(roleOf(QString::fromLatin1(n.name), n.type), n.role) << n.name;
    }
}

TEST_F(Preview, IResolutionAndIMouseGetWhatTheirTypesHold) {
    PreviewScene scene = fragmentOnly(
        "uniform vec3 iResolution;\nuniform vec4 iMouse;\nvoid main() {\n"
        "    gl_FragColor = vec4(iResolution.y / 255.0, iResolution.z, iMouse.x / 255.0,\n"
        "                        1.0 - iMouse.w);\n}\n");
    scene.mouse = QPointF(40, 7);
    const QImage image = render(scene).image;
    const QColor pixel = image.pixelColor(10, 10);
    EXPECT_NEAR(pixel.red(), 32, 1);
    EXPECT_EQ(pixel.green(), 255);
    EXPECT_NEAR(pixel.blue(), 40, 1);
}

TEST_F(Preview, AShaderThatFailsToCompileGivesItsMessageAndNoFrame) {
    PreviewScene scene = exampleScene("color", MeshKind::Quad);
    scene.fragmentSource = "void main() { gl_FragColor = nothing; }\n";
    const PreviewFrame frame = renderer_->render(scene);
    EXPECT_TRUE(frame.image.isNull());
    EXPECT_TRUE(frame.error.contains(QStringLiteral("nothing"))) << frame.error.toStdString();
    // The same sources again: the same answer, from the cache.
    EXPECT_EQ(renderer_->render(scene).error, frame.error);
}

}  // namespace
