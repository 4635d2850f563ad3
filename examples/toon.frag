#version 120
// toon.frag - cel shading: the diffuse term is snapped to a few flat bands,
// which gives the hand-painted look of cartoons.

uniform vec3 baseColor = vec3(1.0, 0.55, 0.2);   // a warm orange by default

varying vec3 normal;
varying vec3 toLight;

void main()
{
    float intensity = max(dot(normalize(normal), normalize(toLight)), 0.0);

    // Four bands; step() picks them without branching.
    float band = 0.3
               + 0.25 * step(0.25, intensity)
               + 0.25 * step(0.5, intensity)
               + 0.2 * step(0.95, intensity);

    gl_FragColor = vec4(baseColor * band, 1.0);
}
