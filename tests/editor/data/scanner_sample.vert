// Lighting with one directional light; every rule of the scanner shows up once.
uniform mat4 uModel;
uniform vec3 lightDir;   // normalised by the caller
attribute vec4 position;
varying vec3 vNormal;
varying float fog;

float halfLambert(in vec3 n, in vec3 l)
{
	float d = dot(n, l) * 0.5 + 0.5;
	return d*d;
}

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    vNormal = normalize(gl_NormalMatrix * gl_Normal);
    float k=max(halfLambert(vNormal, lightDir), 0.0);
    gl_FrontColor = gl_Color * k;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1].st = gl_MultiTexCoord1.st;
    gl_TexCoord[i] = vec4(0.0);
    fog = clamp(-eye.z/100.0, 0.0, 1.0);
    /* vec2 is not a block comment */ mat3 m;
    x+sin(y); x + sin(y);
    a//b
    ab//c vec4
    Vec3 v3; gl_position;
    gl_Position = ftransform(); smoothstep(0.0,1.0,k);
    const int n = 2; inout float io; out vec2 o;
    sampler2DShadow s; texture2DProjLod(s, eye);
    gl_ModelViewProjectionMatrixX = gl_ModelViewProjectionMatrix;
}
