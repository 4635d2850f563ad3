#version 110
// lighting.frag - Blinn-Phong lighting from light source 0 with the front material,
// the per-pixel version of what glEnable(GL_LIGHTING) computes per vertex.

varying vec3 normal;
varying vec3 eyePos;

void main()
{
    // Interpolation shortens the normal: normalise it again for every pixel.
    vec3 n = normalize(normal);

    // A light with w = 0 is a direction, otherwise a position in eye space.
    vec3 toLight;
    if (gl_LightSource[0].position.w == 0.0)
        toLight = normalize(gl_LightSource[0].position.xyz);
    else
        toLight = normalize(gl_LightSource[0].position.xyz - eyePos);

    vec3 toEye = normalize(-eyePos);          // the eye sits at the origin
    vec3 halfway = normalize(toLight + toEye); // Blinn's half vector

    float diffuse = max(dot(n, toLight), 0.0);
    float specular = 0.0;
    if (diffuse > 0.0)   // no highlight on the side facing away from the light
        specular = pow(max(dot(n, halfway), 0.0), gl_FrontMaterial.shininess);

    // The light products are material times light colour, premultiplied by GL.
    vec4 color = gl_FrontLightModelProduct.sceneColor
               + gl_FrontLightProduct[0].ambient
               + gl_FrontLightProduct[0].diffuse * diffuse
               + gl_FrontLightProduct[0].specular * specular;

    // Alpha comes from the material's diffuse colour, as in fixed-function GL.
    gl_FragColor = vec4(color.rgb, gl_FrontMaterial.diffuse.a);
}
