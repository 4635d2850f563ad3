#version 120
// texture.vert - a textured surface with simple diffuse lighting.
// Texture coordinates go through the texture matrix of unit 0, so the
// application can scroll or scale the texture without touching the mesh.

varying float diffuse;   // how much light 0 reaches this vertex

void main()
{
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;

    // Light 0 is taken as a directional light (its position is a direction).
    vec3 n = normalize(gl_NormalMatrix * gl_Normal);
    vec3 toLight = normalize(gl_LightSource[0].position.xyz);
    diffuse = max(dot(n, toLight), 0.0);

    gl_FrontColor = gl_Color;   // tints the texture in texture.frag
    gl_Position = ftransform();
}
