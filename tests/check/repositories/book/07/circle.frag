#ifdef GL_ES
precision mediump float;
#endif

uniform vec2 u_resolution;
varying vec2 v_texcoord;

float circle(in vec2 st, in float radius) {
    vec2 dist = st - vec2(0.5);
    return 1.0 - smoothstep(radius - (radius * 0.01), radius + (radius * 0.01),
                            dot(dist, dist) * 4.0);
}

void main() {
    vec2 st = gl_FragCoord.xy / u_resolution.xy;
    vec3 color = vec3(circle(st, 0.9)) * vec3(v_texcoord, 1.0);
    gl_FragColor = vec4(color, 1.0);
}
