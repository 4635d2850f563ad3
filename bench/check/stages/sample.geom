#version 150
// Turns each triangle into its outline plus a normal spike at its centre.
layout(triangles) in;
layout(line_strip, max_vertices = 6) out;

in vec3 vNormal[];
out vec3 gColor;

uniform float spikeLength;

void main()
{
    for (int i = 0; i < 3; ++i) {
        gl_Position = gl_in[i].gl_Position;
        gColor = vec3(1.0, 1.0, 0.0);
        EmitVertex();
    }
    EndPrimitive();
    vec4 centre = (gl_in[0].gl_Position + gl_in[1].gl_Position + gl_in[2].gl_Position) / 3.0;
    vec3 n = normalize(vNormal[0] + vNormal[1] + vNormal[2]);
    gl_Position = centre;
    gColor = vec3(0.0, 1.0, 0.0);
    EmitVertex();
    gl_Position = centre + vec4(n * spikeLength, 0.0);
    EmitVertex();
    EndPrimitive();
}
