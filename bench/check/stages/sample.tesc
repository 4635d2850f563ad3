#version 400
// Tessellation levels from the screen-space length of each edge.
layout(vertices = 3) out;

in vec3 vPosition[];
out vec3 tcPosition[];

uniform mat4 modelViewProjection;
uniform float pixelsPerSegment;
uniform vec2 viewport;

float edgeLevel(vec3 a, vec3 b)
{
    vec4 pa = modelViewProjection * vec4(a, 1.0);
    vec4 pb = modelViewProjection * vec4(b, 1.0);
    vec2 sa = pa.xy / pa.w * viewport * 0.5;
    vec2 sb = pb.xy / pb.w * viewport * 0.5;
    return clamp(distance(sa, sb) / pixelsPerSegment, 1.0, 64.0);
}

void main()
{
    tcPosition[gl_InvocationID] = vPosition[gl_InvocationID];
    if (gl_InvocationID == 0) {
        gl_TessLevelOuter[0] = edgeLevel(vPosition[1], vPosition[2]);
        gl_TessLevelOuter[1] = edgeLevel(vPosition[2], vPosition[0]);
        gl_TessLevelOuter[2] = edgeLevel(vPosition[0], vPosition[1]);
        gl_TessLevelInner[0] = max(gl_TessLevelOuter[0],
                                   max(gl_TessLevelOuter[1], gl_TessLevelOuter[2]));
    }
}
