#version 450

layout (set = 0, binding = 1) uniform sampler2D samplerPosition;
layout (set = 0, binding = 2) uniform sampler2D samplerNormal;
layout (set = 0, binding = 3) uniform sampler2D samplerAlbedo;
layout (set = 0, binding = 4) uniform sampler2DArray samplerShadowMap;

layout (location = 0) in vec2 inUV;
layout (location = 0) out vec4 outFragColor;

#define LIGHT_COUNT 3
#define SHADOW_FACTOR 0.25
#define AMBIENT_LIGHT 0.1

struct Light {
    vec4 position;
    vec4 target;
    vec4 color;
    mat4 viewMatrix;
};

layout (set = 0, binding = 5) uniform UBO {
    vec4 viewPos;
    Light lights[LIGHT_COUNT];
    int useShadows;
    int debugDisplayTarget;
} ubo;

float textureProj(vec4 P, float layer, vec2 offset)
{
    float shadow = 1.0;
    vec4 shadowCoord = P / P.w;
    shadowCoord.st = shadowCoord.st * 0.5 + 0.5;
    if (shadowCoord.z > -1.0 && shadowCoord.z < 1.0) {
        float dist = texture(samplerShadowMap, vec3(shadowCoord.st + offset, layer)).r;
        if (shadowCoord.w > 0.0 && dist < shadowCoord.z) {
            shadow = SHADOW_FACTOR;
        }
    }
    return shadow;
}

float filterPCF(vec4 sc, float layer)
{
    ivec2 texDim = textureSize(samplerShadowMap, 0).xy;
    float scale = 1.5;
    float dx = scale * 1.0 / float(texDim.x);
    float dy = scale * 1.0 / float(texDim.y);
    float shadowFactor = 0.0;
    int count = 0;
    int range = 1;
    for (int x = -range; x <= range; x++) {
        for (int y = -range; y <= range; y++) {
            shadowFactor += textureProj(sc, layer, vec2(dx * x, dy * y));
            count++;
        }
    }
    return shadowFactor / count;
}

vec3 shadow(vec3 fragcolor, vec3 fragpos)
{
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        vec4 shadowClip = ubo.lights[i].viewMatrix * vec4(fragpos, 1.0);
        fragcolor *= filterPCF(shadowClip, i);
    }
    return fragcolor;
}

void main()
{
    vec3 fragPos = texture(samplerPosition, inUV).rgb;
    vec3 normal = texture(samplerNormal, inUV).rgb;
    vec4 albedo = texture(samplerAlbedo, inUV);
    vec3 fragcolor = albedo.rgb * AMBIENT_LIGHT;
    vec3 N = normalize(normal);
    for (int i = 0; i < LIGHT_COUNT; ++i) {
        vec3 L = ubo.lights[i].position.xyz - fragPos;
        float dist = length(L);
        L = normalize(L);
        vec3 V = normalize(ubo.viewPos.xyz - fragPos);
        float lightCosInnerAngle = cos(radians(15.0));
        float lightCosOuterAngle = cos(radians(25.0));
        float lightRange = 100.0;
        vec3 dir = normalize(ubo.lights[i].position.xyz - ubo.lights[i].target.xyz);
        float cosDir = dot(L, dir);
        float spotEffect = smoothstep(lightCosOuterAngle, lightCosInnerAngle, cosDir);
        float heightAttenuation = smoothstep(lightRange, 0.0f, dist);
        float NdotL = max(0.0, dot(N, L));
        vec3 diff = vec3(NdotL);
        vec3 R = reflect(-L, N);
        float NdotR = max(0.0, dot(R, V));
        vec3 highlight = vec3(pow(NdotR, 16.0) * albedo.a * 2.5);
        fragcolor += vec3((diff + highlight) * spotEffect * heightAttenuation) * ubo.lights[i].color.rgb *
                     albedo.rgb;
    }
    if (ubo.useShadows > 0) {
        fragcolor = shadow(fragcolor, fragPos);
    }
    outFragColor = vec4(fragcolor, 1.0);
}
