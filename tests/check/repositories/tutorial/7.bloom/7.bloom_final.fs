#version 330 core
out vec4 FragColor;

in vec2 TexCoords;

uniform sampler2D scene;
uniform sampler2D bloomBlur;
uniform bool bloom;
uniform float exposure;

void main()
{
    const float gamma = 2.2;
    vec3 hdrColor = texture(scene, TexCoords).rgb;
    if (bloom)
        hdrColor += texture(bloomBlur, TexCoords).rgb;
    vec3 result = vec3(1.0) - exp(-hdrColor * exposure);
    FragColor = vec4(pow(result, vec3(1.0 / gamma)), 1.0);
}
