// Helpers that every shader of the benchmark's WorkSpace includes.
const float kGamma = 2.2;

vec3 toLinear(vec3 color)
{
    return pow(color, vec3(kGamma));
}

vec3 toGamma(vec3 color)
{
    return pow(color, vec3(1.0 / kGamma));
}

float luminance(vec3 color)
{
    return dot(color, vec3(0.2126, 0.7152, 0.0722));
}
