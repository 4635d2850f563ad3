#version 400
// Places the new vertices on a sphere and displaces them along the normal.
layout(triangles, equal_spacing, ccw) in;

in vec3 tcPosition[];
out vec3 teNormal;

uniform mat4 modelViewProjection;
uniform float radius;
uniform float waveHeight;
uniform float time;

void main()
{
    vec3 p = gl_TessCoord.x * tcPosition[0] + gl_TessCoord.y * tcPosition[1] +
             gl_TessCoord.z * tcPosition[2];
    vec3 n = normalize(p);
    float wave = sin(n.x * 12.0 + time) * cos(n.y * 9.0 - time) * waveHeight;
    teNormal = n;
    gl_Position = modelViewProjection * vec4(n * (radius + wave), 1.0);
}
