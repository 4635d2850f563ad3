// SPDX-License-Identifier: MIT
#include "preview/host_render.h"

#include "compile/driver_host_protocol.h"
#include "compile/driver_host_server.h"

#include <QDataStream>
#include <QIODevice>

#include <memory>
#include <stdexcept>

namespace tessory {
namespace {

void checked(const QDataStream& in) {
    if (in.status() != QDataStream::Ok) {
        throw std::runtime_error("a preview scene or frame the driver host cannot read");
    }
}

QDataStream& operator<<(QDataStream& out, const std::vector<float>& values) {
    out << quint32(values.size());
    for (const float v : values) {
        out << v;
    }
    return out;
}

QDataStream& operator>>(QDataStream& in, std::vector<float>& values) {
    quint32 count = 0;
    in >> count;
    // No uniform holds more than a 4 x 4 matrix.
    if (count > 16) {
        in.setStatus(QDataStream::ReadCorruptData);
        return in;
    }
    values.resize(count);
    for (float& v : values) {
        in >> v;
    }
    return in;
}

}  // namespace

QByteArray encodeScene(const PreviewScene& scene) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out << scene.vertexSource << scene.fragmentSource << scene.geometrySource << scene.fragmentOnly
        << qint32(scene.mesh) << scene.size << scene.background << scene.view.yaw
        << scene.view.pitch << scene.view.distance << scene.time << scene.mouse
        << quint32(scene.values.size());
    for (auto value = scene.values.cbegin(); value != scene.values.cend(); ++value) {
        out << value.key() << value.value();
    }
    out << scene.imageDirectory;
    return bytes;
}

PreviewScene decodeScene(const QByteArray& payload) {
    PreviewScene scene;
    QDataStream in(payload);
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);
    qint32 mesh = 0;
    quint32 values = 0;
    in >> scene.vertexSource >> scene.fragmentSource >> scene.geometrySource >>
        scene.fragmentOnly >> mesh >> scene.size >> scene.background >> scene.view.yaw >>
        scene.view.pitch >> scene.view.distance >> scene.time >> scene.mouse >> values;
    if (mesh < 0 || mesh > int(MeshKind::Torus)) {
        in.setStatus(QDataStream::ReadCorruptData);
    }
    scene.mesh = MeshKind(mesh);
    for (quint32 i = 0; i < values && in.status() == QDataStream::Ok; ++i) {
        QString name;
        std::vector<float> value;
        in >> name >> value;
        scene.values.insert(name, value);
    }
    in >> scene.imageDirectory;
    checked(in);
    return scene;
}

QByteArray encodeFrame(const PreviewFrame& frame) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    const QImage image = frame.image.convertToFormat(QImage::Format_RGBA8888);
    out << image.size();
    if (!image.isNull()) {
        out.writeRawData(reinterpret_cast<const char*>(image.constBits()),
                         int(image.sizeInBytes()));
    }
    out << frame.error << quint32(frame.uniforms.size());
    for (const UniformInfo& u : frame.uniforms) {
        out << u.name << qint32(u.type) << u.typeName << qint32(u.role) << u.value;
    }
    out << quint32(frame.imageProblems.size());
    for (const ImageProblem& p : frame.imageProblems) {
        out << p.file << p.readError << p.size << qint32(p.largestTexture);
    }
    return bytes;
}

PreviewFrame decodeFrame(const QByteArray& payload) {
    PreviewFrame frame;
    QDataStream in(payload);
    in.setFloatingPointPrecision(QDataStream::SinglePrecision);
    QSize size;
    in >> size;
    if (!size.isEmpty()) {
        QImage image(size, QImage::Format_RGBA8888);
        if (image.isNull() || in.readRawData(reinterpret_cast<char*>(image.bits()),
                                             int(image.sizeInBytes())) != image.sizeInBytes()) {
            in.setStatus(QDataStream::ReadCorruptData);
        }
        frame.image = image;
    }
    quint32 uniforms = 0;
    in >> frame.error >> uniforms;
    for (quint32 i = 0; i < uniforms && in.status() == QDataStream::Ok; ++i) {
        UniformInfo u;
        qint32 type = 0;
        qint32 role = 0;
        in >> u.name >> type >> u.typeName >> role >> u.value;
        u.type = UniformType(qBound(0, type, int(UniformType::Other)));
        u.role = UniformRole(qBound(0, role, int(UniformRole::Texture)));
        frame.uniforms.append(u);
    }
    quint32 problems = 0;
    in >> problems;
    for (quint32 i = 0; i < problems && in.status() == QDataStream::Ok; ++i) {
        ImageProblem p;
        qint32 largest = 0;
        in >> p.file >> p.readError >> p.size >> largest;
        p.largestTexture = largest;
        frame.imageProblems.append(p);
    }
    checked(in);
    return frame;
}

void serveFrames(DriverHostServer& server, std::function<GlContextResult()> makeContext) {
    auto renderer = std::make_shared<std::unique_ptr<PreviewRenderer>>();
    auto failure = std::make_shared<QString>();
    server.handle(HostKind::RenderFrame,
                  [renderer, failure, makeContext](const QByteArray& payload) {
                      if (!*renderer && failure->isEmpty()) {
                          *renderer = PreviewRenderer::create(makeContext, *failure);
                      }
                      if (!*renderer) {
                          throw std::runtime_error(failure->toStdString());
                      }
                      return encodeFrame((*renderer)->render(decodeScene(payload)));
                  });
}

}  // namespace tessory
