// SPDX-License-Identifier: MIT
#include "preview/renderer.h"

#include "preview/builtin_vertex.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMatrix4x4>

#include <array>
#include <cmath>
#include <tuple>

namespace tessory {

struct Matrices {
    QMatrix4x4 model;
    QMatrix4x4 view;
    QMatrix4x4 projection;
};

namespace {

// The attribute names modern shaders commonly use, with what they get.
enum class VertexPart { Position, Normal, TexCoord, Color };
struct NamedAttribute {
    const char* name;
    VertexPart part;
};
constexpr std::array kNamedAttributes = {
    NamedAttribute{"position", VertexPart::Position},
    NamedAttribute{"a_position", VertexPart::Position},
    NamedAttribute{"inPosition", VertexPart::Position},
    NamedAttribute{"aPosition", VertexPart::Position},
    NamedAttribute{"vertex", VertexPart::Position},
    NamedAttribute{"normal", VertexPart::Normal},
    NamedAttribute{"a_normal", VertexPart::Normal},
    NamedAttribute{"inNormal", VertexPart::Normal},
    NamedAttribute{"aNormal", VertexPart::Normal},
    NamedAttribute{"texcoord", VertexPart::TexCoord},
    NamedAttribute{"texCoord", VertexPart::TexCoord},
    NamedAttribute{"a_texcoord", VertexPart::TexCoord},
    NamedAttribute{"inTexCoord", VertexPart::TexCoord},
    NamedAttribute{"aTexCoord", VertexPart::TexCoord},
    NamedAttribute{"uv", VertexPart::TexCoord},
    NamedAttribute{"a_uv", VertexPart::TexCoord},
    NamedAttribute{"color", VertexPart::Color},
    NamedAttribute{"colour", VertexPart::Color},
    NamedAttribute{"a_color", VertexPart::Color},
    NamedAttribute{"inColor", VertexPart::Color},
    NamedAttribute{"aColor", VertexPart::Color},
    // The built-in full-screen vertex stage's corner before GLSL 1.30.
    NamedAttribute{"tessory_corner", VertexPart::Position},
};

QString shaderLog(const RenderApi& gl, GLuint shader) {
    GLint length = 0;
    gl.glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(qMax(length, 1), '\0');
    gl.glGetShaderInfoLog(shader, log.size(), nullptr, log.data());
    return QString::fromLatin1(log.constData()).trimmed();
}

QString programLog(const RenderApi& gl, GLuint program) {
    GLint length = 0;
    gl.glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    QByteArray log(qMax(length, 1), '\0');
    gl.glGetProgramInfoLog(program, log.size(), nullptr, log.data());
    return QString::fromLatin1(log.constData()).trimmed();
}

Matrices matricesFor(const PreviewScene& scene) {
    Matrices m;
    // The quad fills the window whatever the view: a canvas for image shaders.
    if (scene.mesh == MeshKind::Quad || scene.fragmentOnly) {
        return m;
    }
    const float aspect = float(scene.size.width()) / float(qMax(1, scene.size.height()));
    // 45 degrees across the narrower side, so that a tall panel shows the whole mesh too.
    constexpr float kHalfAngle = 22.5f * float(M_PI) / 180.0f;
    const float fovY = aspect >= 1.0f
                           ? 45.0f
                           : 2.0f * std::atan(std::tan(kHalfAngle) / aspect) * 180.0f / float(M_PI);
    m.projection.perspective(fovY, aspect, 0.1f, 100.0f);
    m.view.translate(0, 0, -scene.view.distance);
    m.view.rotate(scene.view.pitch, 1, 0, 0);
    m.view.rotate(-scene.view.yaw, 0, 1, 0);
    return m;
}

}  // namespace

std::unique_ptr<PreviewRenderer> PreviewRenderer::create(
    const std::function<GlContextResult()>& makeContext, QString& failure) {
    GlContextResult made = makeContext();
    if (!made.context) {
        failure = made.failure;
        return nullptr;
    }
    RenderApi gl;
    const QStringList missing = resolveRenderApi(gl);
    if (!missing.isEmpty()) {
        failure = QStringLiteral("The driver lacks %1.").arg(missing.join(QStringLiteral(", ")));
        return nullptr;
    }
    return std::unique_ptr<PreviewRenderer>(new PreviewRenderer(std::move(made.context), gl));
}

PreviewRenderer::PreviewRenderer(std::unique_ptr<GlContext> context, const RenderApi& gl)
    : context_(std::move(context)), gl_(gl) {}

PreviewRenderer::~PreviewRenderer() {
    if (!context_->makeCurrent()) {
        return;
    }
    releaseProgram();
    for (const CachedTexture& cached : std::as_const(images_)) {
        gl_.glDeleteTextures(1, &cached.texture);
    }
    if (checker_ != 0) {
        gl_.glDeleteTextures(1, &checker_);
    }
    gl_.glDeleteRenderbuffers(1, &colour_);
    gl_.glDeleteRenderbuffers(1, &depth_);
    gl_.glDeleteFramebuffers(1, &framebuffer_);
}

bool PreviewRenderer::ensureTarget(QSize size) {
    if (size == targetSize_ && framebuffer_ != 0) {
        return true;
    }
    if (framebuffer_ == 0) {
        gl_.glGenFramebuffers(1, &framebuffer_);
        gl_.glGenRenderbuffers(1, &colour_);
        gl_.glGenRenderbuffers(1, &depth_);
    }
    gl_.glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    gl_.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, size.width(), size.height());
    gl_.glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    gl_.glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size.width(), size.height());
    gl_.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    gl_.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    targetSize_ = size;
    return gl_.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void PreviewRenderer::releaseProgram() {
    if (program_ != 0) {
        gl_.glDeleteProgram(program_);
        program_ = 0;
    }
    uniforms_.clear();
    uniformLocations_.clear();
    attributes_.clear();
}

QString PreviewRenderer::buildProgram(const PreviewScene& scene) {
    const auto wanted = std::tie(scene.vertexSource, scene.fragmentSource, scene.geometrySource,
                                 scene.fragmentOnly);
    if (wanted ==
            std::tie(programVertex_, programFragment_, programGeometry_, programFragmentOnly_) &&
        (program_ != 0 || !programError_.isEmpty())) {
        return programError_;
    }
    releaseProgram();
    std::tie(programVertex_, programFragment_, programGeometry_, programFragmentOnly_) = wanted;
    programError_.clear();
    QStringList errors;
    const auto compile = [&](GLenum type, const QByteArray& source, const QString& label) {
        const GLuint shader = gl_.glCreateShader(type);
        const char* text = source.constData();
        const GLint length = GLint(source.size());
        gl_.glShaderSource(shader, 1, &text, &length);
        gl_.glCompileShader(shader);
        GLint ok = GL_FALSE;
        gl_.glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok != GL_TRUE) {
            errors << label + QStringLiteral(": ") + shaderLog(gl_, shader);
        }
        return shader;
    };
    const QByteArray vertex = scene.fragmentOnly
                                  ? builtInVertexFor(context_->core(), scene.fragmentSource)
                                  : scene.vertexSource;
    std::vector<GLuint> shaders = {
        compile(GL_VERTEX_SHADER, vertex, QStringLiteral("VertexShader")),
        compile(GL_FRAGMENT_SHADER, scene.fragmentSource, QStringLiteral("FragmentShader"))};
    if (!scene.geometrySource.isEmpty()) {
        shaders.push_back(
            compile(GL_GEOMETRY_SHADER, scene.geometrySource, QStringLiteral("GeometryShader")));
    }
    if (errors.isEmpty()) {
        program_ = gl_.glCreateProgram();
        for (const GLuint shader : shaders) {
            gl_.glAttachShader(program_, shader);
        }
        gl_.glLinkProgram(program_);
        GLint linked = GL_FALSE;
        gl_.glGetProgramiv(program_, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            errors << QStringLiteral("Link: ") + programLog(gl_, program_);
            gl_.glDeleteProgram(program_);
            program_ = 0;
        }
    }
    for (const GLuint shader : shaders) {
        gl_.glDeleteShader(shader);
    }
    if (!errors.isEmpty()) {
        programError_ = errors.join(u'\n');
        return programError_;
    }

    GLint count = 0;
    gl_.glGetProgramiv(program_, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl_.glGetActiveUniform(program_, GLuint(i), sizeof name, &length, &size, &type, name);
        UniformInfo info;
        info.name = QString::fromLatin1(name, length);
        if (info.name.startsWith(QLatin1String("gl_"))) {
            continue;
        }
        info.type = size == 1 ? uniformType(type) : UniformType::Other;
        info.typeName =
            uniformTypeName(type) + (size > 1 ? QStringLiteral("[%1]").arg(size) : QString());
        info.role = roleOf(info.name, info.type);
        const GLint location = gl_.glGetUniformLocation(program_, name);
        const int components = componentCount(info.type);
        if (components > 0) {
            info.value.resize(std::size_t(components));
            if (info.type == UniformType::Int || info.type == UniformType::Bool) {
                GLint value = 0;
                gl_.glGetUniformiv(program_, location, &value);
                info.value[0] = float(value);
            } else {
                gl_.glGetUniformfv(program_, location, info.value.data());
            }
        }
        uniforms_.append(info);
        uniformLocations_.push_back(location);
    }
    for (std::size_t a = 0; a < kNamedAttributes.size(); ++a) {
        const GLint location = gl_.glGetAttribLocation(program_, kNamedAttributes[a].name);
        if (location >= 0) {
            attributes_.emplace_back(GLuint(location), a);
        }
    }
    return {};
}

GLuint PreviewRenderer::uploadTexture(const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888).mirrored();
    GLuint texture = 0;
    gl_.glGenTextures(1, &texture);
    gl_.glBindTexture(GL_TEXTURE_2D, texture);
    gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl_.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, rgba.width(), rgba.height(), 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.constBits());
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
}

GLuint PreviewRenderer::checkerTexture() {
    if (checker_ == 0) {
        // 8 x 8 squares, light and dark, so that texture coordinates can be seen.
        QImage image(64, 64, QImage::Format_RGBA8888);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool light = ((x / 8) + (y / 8)) % 2 == 0;
                image.setPixelColor(x, y, light ? QColor(230, 230, 230) : QColor(60, 60, 60));
            }
        }
        checker_ = uploadTexture(image);
    }
    return checker_;
}

GLuint PreviewRenderer::textureFor(const QString& sampler, const QString& directory,
                                   QList<ImageProblem>& problems) {
    if (directory.isEmpty()) {
        return checkerTexture();
    }
    for (const char* suffix : {".png", ".jpg", ".jpeg", ".bmp"}) {
        const QFileInfo file(directory + u'/' + sampler + QLatin1String(suffix));
        if (!file.isFile()) {
            continue;
        }
        const QString path = file.absoluteFilePath();
        auto cached = images_.find(path);
        if (cached == images_.end() || cached->modified != file.lastModified()) {
            if (cached != images_.end() && cached->texture != 0) {
                gl_.glDeleteTextures(1, &cached->texture);
            }
            cached = images_.insert(path, loadTexture(path, file.lastModified()));
        }
        if (cached->problem) {
            problems.append(*cached->problem);
            return checkerTexture();
        }
        return cached->texture;
    }
    return checkerTexture();
}

PreviewRenderer::CachedTexture PreviewRenderer::loadTexture(const QString& path,
                                                            const QDateTime& modified) {
    CachedTexture loaded{modified, 0, std::nullopt};
    // Qt's reader refuses images that would take more memory than its allocation limit, which
    // stops a small file that unpacks into gigabytes.
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        loaded.problem = ImageProblem{path, reader.errorString(), reader.size(), 0};
        return loaded;
    }
    GLint largest = 0;
    gl_.glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    // A texture the driver refuses samples as black, which would read as the shader's doing.
    if (image.width() > largest || image.height() > largest) {
        loaded.problem = ImageProblem{path, QString(), image.size(), int(largest)};
        return loaded;
    }
    loaded.texture = uploadTexture(image);
    return loaded;
}

void PreviewRenderer::setUniforms(const PreviewScene& scene, const Matrices& m,
                                  QList<ImageProblem>& problems) {
    const QMatrix4x4 modelView = m.view * m.model;
    const QMatrix4x4 mvp = m.projection * modelView;
    const QMatrix3x3 normal = modelView.normalMatrix();
    int unit = 0;
    for (qsizetype i = 0; i < uniforms_.size(); ++i) {
        UniformInfo& u = uniforms_[i];
        const GLint location = uniformLocations_[std::size_t(i)];
        if (location < 0) {
            continue;
        }
        switch (u.role) {
            case UniformRole::Time:
                u.value = {scene.time};
                break;
            case UniformRole::Resolution:
                u.value = {float(scene.size.width()), float(scene.size.height()), 1.0f};
                u.value.resize(std::size_t(componentCount(u.type)));
                break;
            case UniformRole::Mouse:
                u.value = {float(scene.mouse.x()), float(scene.mouse.y()), 0, 0};
                u.value.resize(std::size_t(componentCount(u.type)));
                break;
            case UniformRole::ModelViewProjection:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, mvp.constData());
                continue;
            case UniformRole::ModelView:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, modelView.constData());
                continue;
            case UniformRole::Projection:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, m.projection.constData());
                continue;
            case UniformRole::Model:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, m.model.constData());
                continue;
            case UniformRole::View:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, m.view.constData());
                continue;
            case UniformRole::NormalMatrix:
                gl_.glUniformMatrix3fv(location, 1, GL_FALSE, normal.constData());
                continue;
            case UniformRole::Texture:
                gl_.glActiveTexture(GLenum(GL_TEXTURE0 + unit));
                gl_.glBindTexture(GL_TEXTURE_2D,
                                  textureFor(u.name, scene.imageDirectory, problems));
                gl_.glUniform1i(location, unit);
                ++unit;
                continue;
            case UniformRole::Value: {
                const auto given = scene.values.constFind(u.name);
                if (given != scene.values.constEnd() && given->size() == u.value.size()) {
                    u.value = *given;
                }
                break;
            }
        }
        const float* v = u.value.data();
        switch (u.type) {
            case UniformType::Float:
                gl_.glUniform1fv(location, 1, v);
                break;
            case UniformType::Vec2:
                gl_.glUniform2fv(location, 1, v);
                break;
            case UniformType::Vec3:
                gl_.glUniform3fv(location, 1, v);
                break;
            case UniformType::Vec4:
                gl_.glUniform4fv(location, 1, v);
                break;
            case UniformType::Int:
            case UniformType::Bool:
                gl_.glUniform1i(location, GLint(v[0]));
                break;
            case UniformType::Mat3:
                gl_.glUniformMatrix3fv(location, 1, GL_FALSE, v);
                break;
            case UniformType::Mat4:
                gl_.glUniformMatrix4fv(location, 1, GL_FALSE, v);
                break;
            case UniformType::Sampler2D:
            case UniformType::Other:
                break;
        }
    }
    gl_.glActiveTexture(GL_TEXTURE0);
}

void PreviewRenderer::draw(const Mesh& mesh) {
    const GLsizei stride = sizeof(MeshVertex);
    const MeshVertex* first = mesh.vertices.data();
    // Client arrays feed the compatibility inputs (gl_Vertex, gl_Normal, gl_Color,
    // gl_MultiTexCoord0) without a buffer object.
    gl_.glEnableClientState(GL_VERTEX_ARRAY);
    gl_.glVertexPointer(3, GL_FLOAT, stride, first->position);
    gl_.glEnableClientState(GL_NORMAL_ARRAY);
    gl_.glNormalPointer(GL_FLOAT, stride, first->normal);
    gl_.glEnableClientState(GL_COLOR_ARRAY);
    gl_.glColorPointer(4, GL_FLOAT, stride, first->color);
    gl_.glClientActiveTexture(GL_TEXTURE0);
    gl_.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl_.glTexCoordPointer(2, GL_FLOAT, stride, first->texCoord);
    for (const auto& [location, index] : attributes_) {
        const VertexPart part = kNamedAttributes[index].part;
        const auto [size, data] = [part, first]() -> std::pair<GLint, const float*> {
            switch (part) {
                case VertexPart::Position:
                    return {3, first->position};
                case VertexPart::Normal:
                    return {3, first->normal};
                case VertexPart::TexCoord:
                    return {2, first->texCoord};
                case VertexPart::Color:
                    break;
            }
            return {4, first->color};
        }();
        gl_.glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, stride, data);
        gl_.glEnableVertexAttribArray(location);
    }
    gl_.glDrawElements(GL_TRIANGLES, GLsizei(mesh.indices.size()), GL_UNSIGNED_INT,
                       mesh.indices.data());
    for (const auto& attribute : attributes_) {
        gl_.glDisableVertexAttribArray(attribute.first);
    }
    for (GLenum array :
         {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY}) {
        gl_.glDisableClientState(array);
    }
}

PreviewFrame PreviewRenderer::render(const PreviewScene& scene) {
    PreviewFrame frame;
    if (!context_->makeCurrent()) {
        frame.error = QStringLiteral("The preview's OpenGL context cannot be made current.");
        return frame;
    }
    const QSize size = scene.size.expandedTo(QSize(1, 1));
    if (!ensureTarget(size)) {
        frame.error = QStringLiteral("The driver cannot draw into an image of %1 x %2 pixels.")
                          .arg(size.width())
                          .arg(size.height());
        return frame;
    }
    frame.error = buildProgram(scene);
    if (!frame.error.isEmpty()) {
        return frame;
    }
    if (!scene.fragmentOnly && (mesh_.indices.empty() || meshKind_ != scene.mesh)) {
        mesh_ = makeMesh(scene.mesh);
        meshKind_ = scene.mesh;
    }
    const Matrices m = matricesFor(scene);

    gl_.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl_.glViewport(0, 0, size.width(), size.height());
    gl_.glClearColor(scene.background.redF(), scene.background.greenF(), scene.background.blueF(),
                     1.0f);
    gl_.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The fixed-function state that compatibility shaders read: matrices, light 0 in eye space
    // (set while the model-view matrix is the identity) and a front material.
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glLoadMatrixf(m.projection.constData());
    gl_.glMatrixMode(GL_MODELVIEW);
    gl_.glLoadIdentity();
    const GLfloat lightPosition[] = {0.5f, 0.7f, 1.0f, 0.0f};
    const GLfloat lightAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    gl_.glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    gl_.glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    gl_.glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    gl_.glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    const GLfloat specular[] = {0.6f, 0.6f, 0.6f, 1.0f};
    gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    gl_.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40.0f);
    gl_.glLoadMatrixf((m.view * m.model).constData());

    gl_.glUseProgram(program_);
    setUniforms(scene, m, frame.imageProblems);
    draw(scene.fragmentOnly ? fullScreen_ : mesh_);
    gl_.glUseProgram(0);

    QImage image(size, QImage::Format_RGBA8888);
    gl_.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl_.glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    // OpenGL's rows run bottom up.
    frame.image = image.mirrored();
    frame.uniforms = uniforms_;
    return frame;
}

}  // namespace tessory
