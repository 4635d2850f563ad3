#version 330 core
layout (triangles) in;
layout (line_strip, max_vertices = 6) out;

in VS_OUT {
    vec3 normal;
} gs_in[];

out vec3 lineColor;

const float MAGNITUDE = 0.2;

uniform mat4 projection;

void emitNormal(int index)
{
    lineColor = abs(gs_in[index].normal);
    gl_Position = projection * gl_in[index].gl_Position;
    EmitVertex();
    gl_Position = projection * (gl_in[index].gl_Position + vec4(gs_in[index].normal, 0.0) * MAGNITUDE);
    EmitVertex();
    EndPrimitive();
}

void main()
{
    emitNormal(0);
    emitNormal(1);
    emitNormal(2);
}
