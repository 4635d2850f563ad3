// SPDX-License-Identifier: MIT
#include "support/generated_shader.h"

#include <random>

namespace tessory::bench {

// A shader of `lines` lines mixing declarations, expressions, calls, numbers and comments, about
// 75 characters a line on average.
QString generateShader(int lines) {
    std::mt19937 random(20240611);
    auto pick = [&](std::initializer_list<const char*> words) {
        return QString::fromLatin1(words.begin()[random() % words.size()]);
    };
    auto name = [&] {
        return pick({"colour", "normal", "lightDir", "eyePos", "diffuse", "specular", "fogFactor",
                     "texel", "shadowTerm", "halfVector"}) +
               QString::number(random() % 500);
    };
    auto number = [&] { return QString::number(double(random() % 10000) / 1000.0, 'f', 3); };
    QString text;
    text.reserve(lines * 80);
    for (int line = 0; line < lines; ++line) {
        QString l;
        switch (random() % 10) {
            case 0:
                l = pick({"uniform", "varying", "attribute"}) + ' ' +
                    pick({"vec4", "vec3", "float", "mat4", "sampler2D"}) + ' ' + name() +
                    "; // set by the application before the first frame";
                break;
            case 1:
                l = "// " + name() + " is computed once per vertex and blended in the fragment";
                break;
            case 2:
                l = "    " + pick({"vec4", "vec3", "vec2", "float"}) + ' ' + name() + " = " +
                    pick({"normalize", "texture2D", "reflect", "mix", "clamp"}) + '(' + name() +
                    ", " + name() + ") * " + number() + " + " + number() + ';';
                break;
            case 3:
                l = "    gl_FragColor = mix(" + name() + ", gl_Fog.color, clamp(" + name() + " * " +
                    number() + ", 0.0, 1.0)); // fog";
                break;
            case 4:
                l = "    " + name() + " += max(dot(" + name() +
                    ", gl_LightSource[0].position.xyz)"
                    ", 0.0) * gl_FrontMaterial.diffuse;";
                break;
            case 5:
                l = "    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0; // unit " +
                    QString::number(random() % 8) + " of the pass";
                break;
            case 6:
                l = "    if (" + name() + ".x > " + number() + ") { " + name() + " = " +
                    pick({"sin", "cos", "sqrt", "abs", "fract"}) + '(' + name() + ") * " +
                    number() + "; }";
                break;
            case 7:
                l = "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex + vec4(" +
                    number() + ");";
                break;
            case 8:
                l = "    float " + name() + " = smoothstep(" + number() + ", " + number() +
                    ", length(" + name() + " - " + name() + "));";
                break;
            default:
                l = "    " + name() + " = " + name() + " * " + number() + " - " + name() + " / " +
                    number() + "; /* not a comment */";
                break;
        }
        text += l;
        text += '\n';
    }
    text.chop(1);
    return text;
}

QString generateValidShader(int lines, bool fragment) {
    QString text = QStringLiteral("#version 330 core\n");
    text += fragment ? QStringLiteral("in vec3 worldPos;\nin vec3 worldNormal;\nout vec4 colour;\n")
                     : QStringLiteral(
                           "in vec3 position;\nin vec3 normal;\nout vec3 worldPos;\n"
                           "out vec3 worldNormal;\nuniform mat4 model;\n");
    const QString group = QStringLiteral(
        "struct Light%1 { vec3 position; vec3 colour; float range; };\n"
        "uniform Light%1 lights%1[4];\n"
        "uniform float weight%1;\n"
        "// light group %1: a falloff by distance and a soft edge\n"
        "vec3 shade%1(vec3 p, vec3 n, float k) {\n"
        "    vec3 sum = vec3(0.0);\n"
        "    for (int i = 0; i < 4; ++i) {\n"
        "        vec3 toLight = lights%1[i].position - p;\n"
        "        float d = length(toLight);\n"
        "        float a = max(dot(normalize(toLight), n), 0.0) / (1.0 + d * d);\n"
        "        float edge = smoothstep(lights%1[i].range, 0.0, d);\n"
        "        sum += lights%1[i].colour * a * edge * weight%1 * k;\n"
        "    }\n"
        "    vec3 tone = clamp(sum, vec3(0.0), vec3(1.0));\n"
        "    tone = mix(tone, sqrt(tone), 0.25);\n"
        "    return tone;\n"
        "}\n");
    const int groupLines = int(group.count(u'\n'));
    for (int n = 0, written = 6; written < lines - 4; ++n, written += groupLines)
        text += group.arg(n);
    text += fragment ? QStringLiteral(
                           "void main() {\n    colour = vec4(shade0(worldPos, "
                           "normalize(worldNormal), 1.0), 1.0);\n}\n")
                     : QStringLiteral(
                           "void main() {\n    worldPos = (model * vec4(position, "
                           "1.0)).xyz;\n    worldNormal = normal;\n}\n");
    return text;
}

}  // namespace tessory::bench
