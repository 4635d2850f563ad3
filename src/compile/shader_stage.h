// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace tessory {

// The OpenGL stages first, in the order of their types; the stages only Vulkan has after them.
enum class ShaderStage {
    Vertex,
    Fragment,
    Geometry,
    TessControl,
    TessEvaluation,
    Compute,
    RayGeneration,
    Intersection,
    AnyHit,
    ClosestHit,
    Miss,
    Callable,
    Mesh,
    Task,
};

inline constexpr ShaderStage kAllStages[] = {ShaderStage::Vertex,         ShaderStage::Fragment,
                                             ShaderStage::Geometry,       ShaderStage::TessControl,
                                             ShaderStage::TessEvaluation, ShaderStage::Compute,
                                             ShaderStage::RayGeneration,  ShaderStage::Intersection,
                                             ShaderStage::AnyHit,         ShaderStage::ClosestHit,
                                             ShaderStage::Miss,           ShaderStage::Callable,
                                             ShaderStage::Mesh,           ShaderStage::Task};

// The short word of a stage, which is also its usual file extension without the dot: "vert",
// "frag", "geom", "tesc", "tese", "comp", and for Vulkan "rgen", "rint", "rahit", "rchit",
// "rmiss", "rcall", "mesh", "task".
QString stageWord(ShaderStage stage);
std::optional<ShaderStage> stageFromWord(QStringView word);
// The stage in words for messages: "vertex", "fragment", "geometry", "tessellation control",
// "tessellation evaluation", "compute", "ray generation", ...
QString stageName(ShaderStage stage);
// The name a `#pragma shader_stage(NAME)` line gives the stage: "vertex", "fragment",
// "geometry", "tesscontrol", "tesseval", "compute", "raygen", "intersect", "anyhit",
// "closesthit", "miss", "callable", "mesh", "task".
std::optional<ShaderStage> stageFromPragmaName(QByteArrayView name);
// The shader type that glCreateShader takes; 0 for the stages OpenGL does not have.
GlEnum stageGlType(ShaderStage stage);
// The stages that OpenGL has no shader type for: ray tracing, mesh and task shaders.
bool isVulkanOnly(ShaderStage stage);

}  // namespace tessory
