#version 430
// One step of a separable box blur over a row of an image.
layout(local_size_x = 64) in;

layout(rgba8, binding = 0) uniform readonly image2D source;
layout(rgba8, binding = 1) uniform writeonly image2D target;

uniform int radius;

shared vec4 row[64 + 2 * 16];

void main()
{
    ivec2 size = imageSize(source);
    ivec2 pixel = ivec2(gl_GlobalInvocationID.xy);
    int local = int(gl_LocalInvocationID.x);
    row[local + 16] = imageLoad(source, clamp(pixel, ivec2(0), size - 1));
    if (local < 16) {
        row[local] = imageLoad(source, clamp(pixel - ivec2(16, 0), ivec2(0), size - 1));
        row[local + 64 + 16] = imageLoad(source, clamp(pixel + ivec2(64, 0), ivec2(0), size - 1));
    }
    barrier();
    vec4 sum = vec4(0.0);
    for (int i = -radius; i <= radius; ++i) {
        sum += row[local + 16 + i];
    }
    if (pixel.x < size.x && pixel.y < size.y) {
        imageStore(target, pixel, sum / float(2 * radius + 1));
    }
}
