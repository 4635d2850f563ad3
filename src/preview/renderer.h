// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"
#include "preview/mesh.h"
#include "preview/render_api.h"
#include "preview/uniforms.h"

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessory {

// Where the eye looks from: it orbits the origin.
struct OrbitView {
    float yaw = 30;    // degrees about the vertical axis
    float pitch = 20;  // degrees above the horizon
    float distance = 3.2f;
};

// Everything one frame depends on.
struct PreviewScene {
    QByteArray vertexSource;  // the shader bytes as the driver gets them
    QByteArray fragmentSource;
    QByteArray geometrySource;  // empty when the program has none
    // Drawn with the built-in full-screen vertex stage instead of vertexSource, whatever the mesh.
    bool fragmentOnly = false;
    MeshKind mesh = MeshKind::Sphere;
    QSize size{512, 512};
    QColor background{40, 40, 48};
    OrbitView view;
    float time = 0;
    QPointF mouse;  // in pixels from the bottom left, as shaders expect
    // Values the user gave uniforms, by name; the others keep the program's own.
    QHash<QString, std::vector<float>> values;
    // Where a sampler's image (NAME.png) is looked for; none when empty.
    QString imageDirectory;
};

// A WorkSpace image named like a sampler that the frame could not use: the sampler shows the
// checker instead.
struct ImageProblem {
    QString file;
    // The reader's reason; empty when the image was read but is larger than the driver's largest
    // texture.
    QString readError;
    QSize size;
    int largestTexture = 0;

    bool operator==(const ImageProblem&) const = default;
};

struct PreviewFrame {
    // The frame drawn; null when the program could not be built.
    QImage image;
    // The driver's compile and link messages when the program could not be built.
    QString error;
    // The uniforms the program declares, with the values they were drawn with.
    QList<UniformInfo> uniforms;
    QList<ImageProblem> imageProblems;
};

// Draws a shader program into an image with its own OpenGL context, beside the one that compiles:
// the same driver, so whatever compiles can be seen. The program is built again only when the
// sources change.
class PreviewRenderer {
public:
    // A renderer on a context of its own from makeContext, or nothing with the reason in
    // `failure`.
    static std::unique_ptr<PreviewRenderer> create(
        const std::function<GlContextResult()>& makeContext, QString& failure);
    ~PreviewRenderer();
    PreviewRenderer(const PreviewRenderer&) = delete;
    PreviewRenderer& operator=(const PreviewRenderer&) = delete;

    PreviewFrame render(const PreviewScene& scene);

private:
    PreviewRenderer(std::unique_ptr<GlContext> context, const RenderApi& gl);

    bool ensureTarget(QSize size);
    QString buildProgram(const PreviewScene& scene);
    void releaseProgram();
    GLuint textureFor(const QString& sampler, const QString& directory,
                      QList<ImageProblem>& problems);
    GLuint checkerTexture();
    GLuint uploadTexture(const QImage& image);
    void setUniforms(const PreviewScene& scene, const struct Matrices& matrices,
                     QList<ImageProblem>& problems);
    void draw(const Mesh& mesh);

    std::unique_ptr<GlContext> context_;
    RenderApi gl_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    QSize targetSize_;
    GLuint program_ = 0;
    QByteArray programVertex_;
    QByteArray programFragment_;
    QByteArray programGeometry_;
    bool programFragmentOnly_ = false;
    QString programError_;
    QList<UniformInfo> uniforms_;
    // Looked up once a program is built, not at every frame: the location of each uniform (in
    // the order of uniforms_), and each attribute of a common name with its index in that list.
    std::vector<GLint> uniformLocations_;
    std::vector<std::pair<GLuint, std::size_t>> attributes_;
    GLuint checker_ = 0;
    // An image that could not be used is kept too, so that it is not read again every frame.
    struct CachedTexture {
        QDateTime modified;
        GLuint texture = 0;
        std::optional<ImageProblem> problem;
    };
    CachedTexture loadTexture(const QString& path, const QDateTime& modified);
    QHash<QString, CachedTexture> images_;
    MeshKind meshKind_ = MeshKind::Quad;
    Mesh mesh_;
    const Mesh fullScreen_ = fullScreenTriangle();
};

}  // namespace tessory
