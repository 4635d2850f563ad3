#version 110
// color.vert - the smallest useful vertex shader.
// It places each vertex exactly where the fixed-function pipeline would
// and hands the vertex colour on to the fragment shader.

varying vec4 vertexColor;   // interpolated across the primitive

void main()
{
    // ftransform() gives the very same position as the fixed pipeline,
    // so shaded and unshaded passes over one mesh never z-fight.
    gl_Position = ftransform();
    vertexColor = gl_Color;
}
