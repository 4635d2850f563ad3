// SPDX-License-Identifier: MIT
#include "preview/uniforms.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <QHash>

#include <algorithm>

namespace tessory {

UniformType uniformType(std::uint32_t glType) {
    switch (glType) {
        case GL_FLOAT:
            return UniformType::Float;
        case GL_FLOAT_VEC2:
            return UniformType::Vec2;
        case GL_FLOAT_VEC3:
            return UniformType::Vec3;
        case GL_FLOAT_VEC4:
            return UniformType::Vec4;
        case GL_INT:
            return UniformType::Int;
        case GL_BOOL:
            return UniformType::Bool;
        case GL_FLOAT_MAT3:
            return UniformType::Mat3;
        case GL_FLOAT_MAT4:
            return UniformType::Mat4;
        case GL_SAMPLER_2D:
            return UniformType::Sampler2D;
        default:
            return UniformType::Other;
    }
}

QString uniformTypeName(std::uint32_t glType) {
    static const QHash<std::uint32_t, QString> names = {
        {GL_FLOAT, "float"},
        {GL_FLOAT_VEC2, "vec2"},
        {GL_FLOAT_VEC3, "vec3"},
        {GL_FLOAT_VEC4, "vec4"},
        {GL_INT, "int"},
        {GL_INT_VEC2, "ivec2"},
        {GL_INT_VEC3, "ivec3"},
        {GL_INT_VEC4, "ivec4"},
        {GL_BOOL, "bool"},
        {GL_FLOAT_MAT2, "mat2"},
        {GL_FLOAT_MAT3, "mat3"},
        {GL_FLOAT_MAT4, "mat4"},
        {GL_SAMPLER_1D, "sampler1D"},
        {GL_SAMPLER_2D, "sampler2D"},
        {GL_SAMPLER_3D, "sampler3D"},
        {GL_SAMPLER_CUBE, "samplerCube"},
        {GL_SAMPLER_2D_SHADOW, "sampler2DShadow"},
    };
    return names.value(glType, QStringLiteral("0x%1").arg(glType, 4, 16, QLatin1Char('0')));
}

int componentCount(UniformType type) {
    switch (type) {
        case UniformType::Float:
        case UniformType::Int:
        case UniformType::Bool:
            return 1;
        case UniformType::Vec2:
            return 2;
        case UniformType::Vec3:
            return 3;
        case UniformType::Vec4:
            return 4;
        case UniformType::Mat3:
            return 9;
        case UniformType::Mat4:
            return 16;
        case UniformType::Sampler2D:
        case UniformType::Other:
            return 0;
    }
    return 0;
}

UniformRole roleOf(const QString& name, UniformType type) {
    if (type == UniformType::Sampler2D) {
        return UniformRole::Texture;
    }
    struct Known {
        UniformRole role;
        UniformType type;
        QStringList names;
    };
    static const QList<Known> known = {
        {UniformRole::Time, UniformType::Float, {"time", "u_time", "iTime", "uTime"}},
        {UniformRole::Resolution,
         UniformType::Vec2,
         {"resolution", "u_resolution", "iResolution", "uResolution"}},
        {UniformRole::Resolution, UniformType::Vec3, {"iResolution"}},
        {UniformRole::Mouse, UniformType::Vec2, {"mouse", "u_mouse", "uMouse", "iMouse"}},
        {UniformRole::Mouse, UniformType::Vec4, {"iMouse", "mouse", "u_mouse"}},
        {UniformRole::ModelViewProjection,
         UniformType::Mat4,
         {"mvp", "u_mvp", "uMVP", "modelViewProjection", "modelViewProjectionMatrix", "MVP"}},
        {UniformRole::ModelView,
         UniformType::Mat4,
         {"modelView", "u_modelView", "modelViewMatrix", "uModelViewMatrix"}},
        {UniformRole::Projection,
         UniformType::Mat4,
         {"projection", "u_projection", "projectionMatrix", "uProjectionMatrix", "proj"}},
        {UniformRole::Model, UniformType::Mat4, {"model", "u_model", "modelMatrix", "uModel"}},
        {UniformRole::View, UniformType::Mat4, {"view", "u_view", "viewMatrix", "uView"}},
        {UniformRole::NormalMatrix,
         UniformType::Mat3,
         {"normalMatrix", "u_normalMatrix", "uNormalMatrix"}},
    };
    for (const Known& k : known) {
        if (k.type == type && k.names.contains(name)) {
            return k.role;
        }
    }
    return UniformRole::Value;
}

bool declaresRole(const QList<UniformInfo>& uniforms, UniformRole role) {
    return std::any_of(uniforms.begin(), uniforms.end(),
                       [role](const UniformInfo& u) { return u.role == role; });
}

bool declaresTime(const QList<UniformInfo>& uniforms) {
    return declaresRole(uniforms, UniformRole::Time);
}

}  // namespace tessory
