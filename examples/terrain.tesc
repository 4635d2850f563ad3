#version 400 core
// terrain.tesc - tessellation control: finer patches near the camera.

layout(vertices = 4) out;

in vec2 controlTexCoord[];
out vec2 evaluationTexCoord[];

uniform mat4 modelView;
uniform float detail = 64.0;

float levelFor(vec4 a, vec4 b)
{
    // The distance of the edge's middle to the eye decides its level.
    float distance = length((modelView * (0.5 * (a + b))).xyz);
    return clamp(detail / max(distance, 1.0), 1.0, 64.0);
}

void main()
{
    gl_out[gl_InvocationID].gl_Position = gl_in[gl_InvocationID].gl_Position;
    evaluationTexCoord[gl_InvocationID] = controlTexCoord[gl_InvocationID];

    if (gl_InvocationID == 0) {
        gl_TessLevelOuter[0] = levelFor(gl_in[0].gl_Position, gl_in[3].gl_Position);
        gl_TessLevelOuter[1] = levelFor(gl_in[0].gl_Position, gl_in[1].gl_Position);
        gl_TessLevelOuter[2] = levelFor(gl_in[1].gl_Position, gl_in[2].gl_Position);
        gl_TessLevelOuter[3] = levelFor(gl_in[2].gl_Position, gl_in[3].gl_Position);
        gl_TessLevelInner[0] = max(gl_TessLevelOuter[1], gl_TessLevelOuter[3]);
        gl_TessLevelInner[1] = max(gl_TessLevelOuter[0], gl_TessLevelOuter[2]);
    }
}
