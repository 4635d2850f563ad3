#version 120
// toon.vert - cel shading, vertex part: normal and light direction in eye space.

varying vec3 normal;
varying vec3 toLight;

void main()
{
    normal = gl_NormalMatrix * gl_Normal;
    vec4 eyePos = gl_ModelViewMatrix * gl_Vertex;

    // One expression for both kinds of light: w = 0 (directional) drops
    // the vertex position, w = 1 (positional) subtracts it.
    toLight = gl_LightSource[0].position.xyz - eyePos.xyz * gl_LightSource[0].position.w;

    gl_Position = ftransform();
}
