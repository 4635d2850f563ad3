// SPDX-License-Identifier: MIT
#include "compile/fullscreen_vertex.h"

#include "compile/target.h"

#include <QMap>
#include <QRegularExpression>

#include <optional>

namespace tessory {
namespace {

struct TypeName {
    GlEnum type;
    const char* name;
    bool flat;  // integer and double inputs are always flat
};

constexpr TypeName kTypes[] = {
    {0x1406, "float", false},  {0x8B50, "vec2", false},   {0x8B51, "vec3", false},
    {0x8B52, "vec4", false},   {0x1404, "int", true},     {0x8B53, "ivec2", true},
    {0x8B54, "ivec3", true},   {0x8B55, "ivec4", true},   {0x1405, "uint", true},
    {0x8DC6, "uvec2", true},   {0x8DC7, "uvec3", true},   {0x8DC8, "uvec4", true},
    {0x8B5A, "mat2", false},   {0x8B5B, "mat3", false},   {0x8B5C, "mat4", false},
    {0x8B65, "mat2x3", false}, {0x8B66, "mat2x4", false}, {0x8B67, "mat3x2", false},
    {0x8B68, "mat3x4", false}, {0x8B69, "mat4x2", false}, {0x8B6A, "mat4x3", false},
    {0x140A, "double", true},  {0x8FFC, "dvec2", true},   {0x8FFD, "dvec3", true},
    {0x8FFE, "dvec4", true},   {0x8F46, "dmat2", true},   {0x8F47, "dmat3", true},
    {0x8F48, "dmat4", true},
};

const TypeName* typeOf(GlEnum type) {
    for (const TypeName& known : kTypes) {
        if (known.type == type) {
            return &known;
        }
    }
    return nullptr;
}

// "weights[0]" is "weights".
QByteArray withoutIndex(const QByteArray& name) {
    const qsizetype bracket = name.indexOf('[');
    return bracket < 0 ? name : name.first(bracket);
}

// The interpolation and sampling words of the declaration of `name` among the fragment shader's
// inputs, which the vertex stage's output must repeat before GLSL 4.40.
QByteArray qualifiersOf(const QString& text, const QByteArray& name) {
    static const QRegularExpression words(
        QStringLiteral("\\b(flat|smooth|noperspective|centroid|sample)\\b"));
    const QRegularExpression declaration(
        QStringLiteral("(?:^|[;{}])([^;{}]*\\b(?:in|varying)\\b[^;{}]*\\b%1\\b[^;{}]*);")
            .arg(QRegularExpression::escape(QString::fromLatin1(name))));
    const QRegularExpressionMatch found = declaration.match(text);
    QByteArray qualifiers;
    if (!found.hasMatch()) {
        return qualifiers;
    }
    QRegularExpressionMatchIterator it = words.globalMatch(found.captured(1));
    while (it.hasNext()) {
        qualifiers += it.next().captured(1).toLatin1() + ' ';
    }
    return qualifiers;
}

// The text between the braces of the input block `block`, and what stands before its "in".
struct BlockText {
    QByteArray prefix;
    QByteArray members;
};

std::optional<BlockText> blockOf(const QString& text, const QByteArray& block) {
    const QRegularExpression pattern(
        QStringLiteral("((?:layout\\s*\\([^)]*\\)\\s*)?(?:(?:flat|smooth|noperspective|centroid|"
                       "sample|highp|mediump|lowp)\\s+)*)in\\s+%1\\s*\\{([^}]*)\\}")
            .arg(QRegularExpression::escape(QString::fromLatin1(block))));
    const QRegularExpressionMatch found = pattern.match(text);
    if (!found.hasMatch()) {
        return std::nullopt;
    }
    return BlockText{found.captured(1).toLatin1(), found.captured(2).toLatin1()};
}

QByteArray zeroWrite(const QByteArray& target, const TypeName& type, GlInt arraySize) {
    const QByteArray zero = QByteArray(type.name) + "(0)";
    if (arraySize > 1) {
        return "    for (int i = 0; i < " + QByteArray::number(arraySize) + "; ++i) " + target +
               "[i] = " + zero + ";\n";
    }
    return "    " + target + " = " + zero + ";\n";
}

}  // namespace

QByteArray fullScreenVertexSource(const QByteArray& fragmentText,
                                  const QList<FragmentInput>& inputs) {
    const GlslVersion version = readGlslVersion(fragmentText);
    const bool modern = version.es() ? version.number >= 300 : version.number >= 130;
    const QString text = QString::fromLatin1(fragmentText);
    QByteArray declarations;
    QByteArray writes;
    bool locations = false;
    QMap<QByteArray, QList<FragmentInput>> blocks;
    for (const FragmentInput& input : inputs) {
        if (input.name.startsWith("gl_")) {
            continue;
        }
        const qsizetype dot = input.name.indexOf('.');
        if (dot > 0) {
            blocks[input.name.first(dot)].append(input);
            continue;
        }
        const TypeName* type = typeOf(input.type);
        if (type == nullptr) {
            continue;
        }
        const QByteArray name = withoutIndex(input.name);
        QByteArray qualifiers = qualifiersOf(text, name);
        if (type->flat && !qualifiers.contains("flat")) {
            qualifiers.prepend("flat ");
        }
        if (input.location >= 0) {
            qualifiers.prepend("layout(location = " + QByteArray::number(input.location) + ") ");
            locations = true;
        }
        declarations +=
            qualifiers + (modern ? "out " : "varying ") + type->name + ' ' + name +
            (input.arraySize > 1 ? '[' + QByteArray::number(input.arraySize) + ']' : QByteArray()) +
            ";\n";
        writes += zeroWrite(name, *type, input.arraySize);
    }
    for (auto block = blocks.cbegin(); block != blocks.cend(); ++block) {
        const std::optional<BlockText> found = blockOf(text, block.key());
        if (!found) {
            continue;  // a struct-typed input, which the text would have to declare first
        }
        const QByteArray instance = "tessory_" + block.key();
        declarations +=
            found->prefix + "out " + block.key() + " {" + found->members + "} " + instance + ";\n";
        locations = locations || found->prefix.contains("location");
        for (const FragmentInput& member : *block) {
            if (const TypeName* type = typeOf(member.type)) {
                writes += zeroWrite(
                    instance + '.' + withoutIndex(member.name.sliced(member.name.indexOf('.') + 1)),
                    *type, member.arraySize);
            }
        }
    }
    QByteArray source;
    if (version.given) {
        source += "#version " + QByteArray::number(version.number);
        if (!version.profile.isEmpty()) {
            source += ' ' + version.profile;
        }
        source += '\n';
    }
    if (locations && !version.es() && version.number < 410) {
        source += "#extension GL_ARB_separate_shader_objects : enable\n";
    }
    source += modern ? "" : "attribute vec4 tessory_corner;\n";
    source += declarations;
    source += "void main()\n{\n";
    source += modern ? "    vec2 corner = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & "
                       "2));\n    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);\n"
                     : "    gl_Position = tessory_corner;\n";
    source += writes;
    source += "}\n";
    return source;
}

}  // namespace tessory
