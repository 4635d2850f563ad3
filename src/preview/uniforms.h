// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace tessory {

// The kinds of uniform the preview can feed; everything else is listed but left alone.
enum class UniformType { Float, Vec2, Vec3, Vec4, Int, Bool, Mat3, Mat4, Sampler2D, Other };

// What the preview supplies for a uniform of a common name; Value ones are the user's to edit.
enum class UniformRole {
    Value,
    Time,
    Resolution,
    Mouse,
    ModelViewProjection,
    ModelView,
    Projection,
    Model,
    View,
    NormalMatrix,
    Texture,
};

struct UniformInfo {
    QString name;
    UniformType type = UniformType::Other;
    QString typeName;  // as GLSL spells it
    UniformRole role = UniformRole::Value;
    // The program's own initial value (its default, or zeros), or the user's last one.
    std::vector<float> value;
};

UniformType uniformType(std::uint32_t glType);
QString uniformTypeName(std::uint32_t glType);
// The number of floats (or ints) a value of the type holds; 0 for samplers and other types.
int componentCount(UniformType type);

// The role by common names (time, u_time, iTime, resolution, mvp, ...), taken only where the type
// fits; samplers are textures whatever their name.
UniformRole roleOf(const QString& name, UniformType type);

bool declaresRole(const QList<UniformInfo>& uniforms, UniformRole role);
// Whether any uniform is animated by time, which makes the preview draw continuously.
bool declaresTime(const QList<UniformInfo>& uniforms);

}  // namespace tessory
