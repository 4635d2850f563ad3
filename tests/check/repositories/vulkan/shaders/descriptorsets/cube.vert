#version 450

layout (location = 0) in vec3 inPos;
layout (location = 1) in vec3 inNormal;
layout (location = 2) in vec2 inUV;

layout (set = 0, binding = 0) uniform UBOMatrices {
    mat4 projection;
    mat4 view;
    mat4 model;
} ubo;

layout (location = 0) out vec3 outNormal;
layout (location = 1) out vec2 outUV;
layout (location = 2) out vec3 outViewVec;

void main()
{
    outNormal = mat3(ubo.model) * inNormal;
    outUV = inUV;
    vec4 worldPos = ubo.model * vec4(inPos, 1.0);
    outViewVec = -(ubo.view * worldPos).xyz;
    gl_Position = ubo.projection * ubo.view * worldPos;
}
