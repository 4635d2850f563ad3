#version 110
// color.frag - plain colour: every pixel gets the interpolated vertex colour.

varying vec4 vertexColor;   // written by color.vert

void main()
{
    gl_FragColor = vertexColor;
}
