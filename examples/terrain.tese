#version 400 core
// terrain.tese - tessellation evaluation: lifts each point by the height map.

layout(quads, fractional_odd_spacing, ccw) in;

in vec2 evaluationTexCoord[];
out float height;
out vec2 fragmentTexCoord;

uniform sampler2D heightMap;
uniform mat4 modelViewProjection;
uniform float heightScale = 0.25;

void main()
{
    vec2 uv = gl_TessCoord.xy;
    // Bilinear across the patch's four corners, for the position and the map coordinate.
    vec4 bottom = mix(gl_in[0].gl_Position, gl_in[1].gl_Position, uv.x);
    vec4 top = mix(gl_in[3].gl_Position, gl_in[2].gl_Position, uv.x);
    vec2 texBottom = mix(evaluationTexCoord[0], evaluationTexCoord[1], uv.x);
    vec2 texTop = mix(evaluationTexCoord[3], evaluationTexCoord[2], uv.x);

    fragmentTexCoord = mix(texBottom, texTop, uv.y);
    height = texture(heightMap, fragmentTexCoord).r;

    vec4 position = mix(bottom, top, uv.y);
    position.y += height * heightScale;
    gl_Position = modelViewProjection * position;
}
