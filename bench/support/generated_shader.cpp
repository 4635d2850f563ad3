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

}  // namespace tessory::bench
