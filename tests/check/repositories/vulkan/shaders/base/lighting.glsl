// Shared by the samples that light their scene.
struct Light {
    vec4 position;
    vec4 color;
};

vec3 blinnPhong(vec3 normal, vec3 lightDir, vec3 viewDir, vec3 color)
{
    vec3 halfway = normalize(lightDir + viewDir);
    float diffuse = max(dot(normal, lightDir), 0.0);
    float specular = pow(max(dot(normal, halfway), 0.0), 32.0);
    return color * diffuse + vec3(specular);
}
