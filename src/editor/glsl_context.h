// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tessory::glsl {

// The API a program is built for. It decides the version assumed when a source has no #version
// and whether the Vulkan builtins (and the ray tracing and mesh stages) exist.
enum class Target { GlCompatibility, GlCore, Gles, Vulkan };

enum class Profile { None, Core, Compatibility, Es };

// In the front end's order of stages.
enum class Stage {
    Vertex,
    TessControl,
    TessEvaluation,
    Geometry,
    Fragment,
    Compute,
    RayGen,
    Intersect,
    AnyHit,
    ClosestHit,
    Miss,
    Callable,
    Task,
    Mesh,
};
inline constexpr int kStageCount = 14;

// What a shader's builtins, keywords and rules depend on.
struct LanguageContext {
    int version = 110;
    Profile profile = Profile::None;
    Target target = Target::GlCompatibility;
    Stage stage = Stage::Fragment;
    friend bool operator==(const LanguageContext&, const LanguageContext&) = default;
};

// The context of a source from its #version line, read and completed with the front end's own
// rules: no #version is 110 (100 for OpenGL ES, 450 for Vulkan), a desktop version from 150 on
// without a profile is core, 100 and 300/310/320 are ES; an unknown version, or one too low for
// the stage or target, becomes the lowest one the front end would accept there.
LanguageContext detectContext(QByteArrayView source, Target target, Stage stage);
LanguageContext detectContext(QStringView source, Target target, Stage stage);

// The stage of a file extension without its dot ("vert", "frag", "rchit", ...).
std::optional<Stage> stageForExtension(QStringView extension);
QString stageExtension(Stage stage);

// Ray tracing, task and mesh shaders exist for Vulkan only.
bool stageAvailable(Target target, Stage stage);

// "330 core, frag" for messages and test names.
QString describe(const LanguageContext& context);

}  // namespace tessory::glsl
