#version 450

layout (location = 0) in vec3 inPos;
layout (location = 1) in vec3 inColor;

layout (push_constant) uniform PushConsts {
    mat4 mvp;
    float scale;
} pushConsts;

layout (location = 0) out vec3 outColor;

void main()
{
    outColor = inColor;
    // Every third vertex is pushed out a little, so that the order can be seen.
    float lift = (gl_VertexIndex % 3 == 0) ? pushConsts.scale : 1.0;
    gl_Position = pushConsts.mvp * vec4(inPos * lift, 1.0);
}
