#version 400 core
// terrain.frag - colours the terrain by its height: water, grass, rock and snow.

in float height;
in vec2 fragmentTexCoord;

out vec4 colour;

void main()
{
    const vec3 water = vec3(0.10, 0.30, 0.60);
    const vec3 grass = vec3(0.25, 0.55, 0.20);
    const vec3 rock = vec3(0.45, 0.40, 0.35);
    const vec3 snow = vec3(0.95, 0.95, 0.97);

    vec3 shade = mix(water, grass, smoothstep(0.20, 0.25, height));
    shade = mix(shade, rock, smoothstep(0.55, 0.65, height));
    shade = mix(shade, snow, smoothstep(0.80, 0.85, height));
    colour = vec4(shade, 1.0);
}
