#version 110
// lighting.vert - per-pixel lighting, vertex part.
// Only the eye-space normal and position are computed here; the lighting
// itself runs per pixel in lighting.frag, so highlights stay round even on
// coarse meshes.

varying vec3 normal;     // eye-space normal, interpolated (so no longer unit length)
varying vec3 eyePos;     // eye-space position of the surface point

void main()
{
    // The normal matrix is the inverse transpose of the model-view matrix:
    // it keeps normals perpendicular under non-uniform scaling.
    normal = gl_NormalMatrix * gl_Normal;
    eyePos = vec3(gl_ModelViewMatrix * gl_Vertex);
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
