#version 120
// texture.frag - modulates the texture of unit 0 with the vertex colour and
// the diffuse light; a floor of ambient light keeps the dark side visible.

uniform sampler2D baseMap;      // bound to texture unit 0 unless set otherwise
uniform float ambient = 0.25;   // GLSL 1.20 lets a uniform have a default

varying float diffuse;          // from texture.vert

void main()
{
    vec4 texel = texture2D(baseMap, gl_TexCoord[0].st);
    float light = mix(ambient, 1.0, diffuse);

    // gl_Color here is the interpolated gl_FrontColor of the vertex shader.
    gl_FragColor = vec4(texel.rgb * gl_Color.rgb * light, texel.a * gl_Color.a);
}
