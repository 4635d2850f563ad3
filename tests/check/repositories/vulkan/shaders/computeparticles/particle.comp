#version 450

struct Particle {
    vec2 pos;
    vec2 vel;
    vec4 gradientPos;
};

layout (std140, binding = 0) buffer Pos {
    Particle particles[];
};

layout (local_size_x = 256) in;

layout (binding = 1) uniform UBO {
    float deltaT;
    int particleCount;
} ubo;

void main()
{
    uint index = gl_GlobalInvocationID.x;
    if (index >= ubo.particleCount)
        return;
    particles[index].pos += particles[index].vel * ubo.deltaT;
    particles[index].gradientPos.x += 0.02 * ubo.deltaT;
}
