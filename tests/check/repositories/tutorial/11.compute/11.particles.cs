#version 430 core
layout (local_size_x = 64) in;

struct Particle {
    vec4 position;
    vec4 velocity;
};

layout (std430, binding = 0) buffer Particles {
    Particle particles[];
};

uniform float deltaTime;

void main()
{
    uint i = gl_GlobalInvocationID.x;
    particles[i].position += particles[i].velocity * deltaTime;
}
