#version 400 core
// terrain.vert - a height-mapped patch, vertex part: passes the patch corners on unchanged.

layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoord;

out vec2 controlTexCoord;

void main()
{
    controlTexCoord = texCoord;
    gl_Position = vec4(position, 1.0);
}
