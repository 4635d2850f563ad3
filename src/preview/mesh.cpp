// SPDX-License-Identifier: MIT
#include "preview/mesh.h"

#include <QVector3D>

#include <cmath>
#include <numbers>

namespace tessory {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// A colour that varies over the surface, so that shaders reading gl_Color show the shape.
void colourFromNormal(MeshVertex& v) {
    v.color[0] = 0.5f + 0.5f * v.normal[0];
    v.color[1] = 0.5f + 0.5f * v.normal[1];
    v.color[2] = 0.5f + 0.5f * v.normal[2];
    v.color[3] = 1.0f;
}

MeshVertex vertex(QVector3D position, QVector3D normal, float s, float t) {
    MeshVertex v{{position.x(), position.y(), position.z()},
                 {normal.x(), normal.y(), normal.z()},
                 {s, t},
                 {1, 1, 1, 1}};
    colourFromNormal(v);
    return v;
}

// A grid of (columns + 1) x (rows + 1) vertices made by `at`, stitched into triangles whose
// front faces point the way of increasing u cross increasing v.
template <typename At>
Mesh grid(int columns, int rows, At at) {
    Mesh mesh;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            mesh.vertices.push_back(at(float(c) / columns, float(r) / rows));
        }
    }
    const auto index = [columns](int c, int r) { return std::uint32_t(r * (columns + 1) + c); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            mesh.indices.insert(mesh.indices.end(),
                                {index(c, r), index(c + 1, r), index(c + 1, r + 1), index(c, r),
                                 index(c + 1, r + 1), index(c, r + 1)});
        }
    }
    return mesh;
}

Mesh quad() {
    Mesh mesh;
    const float colours[4][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 0, 1}};
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        MeshVertex v{{corners[i][0], corners[i][1], 0},
                     {0, 0, 1},
                     {(corners[i][0] + 1) / 2, (corners[i][1] + 1) / 2},
                     {colours[i][0], colours[i][1], colours[i][2], colours[i][3]}};
        mesh.vertices.push_back(v);
    }
    mesh.indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

Mesh sphere() {
    return grid(48, 32, [](float u, float v) {
        const float longitude = u * 2 * kPi;
        const float latitude = (v - 0.5f) * kPi;
        const QVector3D normal(std::cos(latitude) * std::sin(longitude), std::sin(latitude),
                               std::cos(latitude) * std::cos(longitude));
        return vertex(normal, normal, u, v);
    });
}

Mesh torus() {
    constexpr float kRing = 0.7f;
    constexpr float kTube = 0.3f;
    return grid(48, 24, [](float u, float v) {
        const float around = u * 2 * kPi;
        const float tube = v * 2 * kPi;
        const QVector3D centre(kRing * std::sin(around), 0, kRing * std::cos(around));
        const QVector3D normal(std::cos(tube) * std::sin(around), std::sin(tube),
                               std::cos(tube) * std::cos(around));
        return vertex(centre + kTube * normal, normal, u, v);
    });
}

Mesh cube() {
    Mesh mesh;
    const float half = 1.0f / std::sqrt(3.0f);
    // Each face: its normal and two edge directions whose cross product is the normal.
    const QVector3D faces[6][3] = {
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
    };
    for (const auto& [normal, across, up] : faces) {
        const auto base = std::uint32_t(mesh.vertices.size());
        const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (const auto& [s, t] : corners) {
            const QVector3D position = (normal + (2 * s - 1) * across + (2 * t - 1) * up) * half;
            mesh.vertices.push_back(vertex(position, normal, s, t));
        }
        mesh.indices.insert(mesh.indices.end(),
                            {base, base + 1, base + 2, base, base + 2, base + 3});
    }
    return mesh;
}

}  // namespace

Mesh makeMesh(MeshKind kind) {
    switch (kind) {
        case MeshKind::Quad:
            return quad();
        case MeshKind::Sphere:
            return sphere();
        case MeshKind::Cube:
            return cube();
        case MeshKind::Torus:
            return torus();
    }
    return quad();
}

Mesh fullScreenTriangle() {
    Mesh mesh;
    for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {3.0f, -1.0f}, {-1.0f, 3.0f}}) {
        mesh.vertices.push_back({{x, y, 0}, {0, 0, 1}, {(x + 1) / 2, (y + 1) / 2}, {1, 1, 1, 1}});
    }
    mesh.indices = {0, 1, 2};
    return mesh;
}

}  // namespace tessory
