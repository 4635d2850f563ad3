// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace tessory {

// One vertex as the preview feeds it to a shader, both to the fixed-function inputs
// (gl_Vertex, gl_Normal, gl_MultiTexCoord0, gl_Color) and to attributes of common names.
struct MeshVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
    float color[4];
};

// Triangles with counter-clockwise front faces, as the context culls back faces.
struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
};

enum class MeshKind { Quad, Sphere, Cube, Torus };

// The quad covers the whole window (-1..1 in x and y, z = 0), corners red (bottom left), green
// (bottom right), blue (top right) and yellow (top left). The solids fit the unit sphere.
Mesh makeMesh(MeshKind kind);
// The triangle the built-in full-screen vertex stage draws (its corners are gl_VertexID 0, 1
// and 2), covering -1..1 in x and y at z = 0.
Mesh fullScreenTriangle();

}  // namespace tessory
