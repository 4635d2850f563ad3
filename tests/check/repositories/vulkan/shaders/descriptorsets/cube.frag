#version 450
#extension GL_GOOGLE_include_directive : require

#include "lighting.glsl"

layout (set = 1, binding = 0) uniform sampler2D samplerColorMap;
layout (set = 1, binding = 1) uniform LightBlock {
    Light light;
} lights;

layout (location = 0) in vec3 inNormal;
layout (location = 1) in vec2 inUV;
layout (location = 2) in vec3 inViewVec;

layout (location = 0) out vec4 outFragColor;

void main()
{
    vec3 color = texture(samplerColorMap, inUV).rgb;
    vec3 lit = blinnPhong(normalize(inNormal), normalize(lights.light.position.xyz),
                          normalize(inViewVec), color * lights.light.color.rgb);
    outFragColor = vec4(lit, 1.0);
}
