// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace tessory {

enum class ShaderStage { Vertex, Fragment, Geometry, TessControl, TessEvaluation, Compute };

inline constexpr ShaderStage kAllStages[] = {ShaderStage::Vertex,         ShaderStage::Fragment,
                                             ShaderStage::Geometry,       ShaderStage::TessControl,
                                             ShaderStage::TessEvaluation, ShaderStage::Compute};

// The short word of a stage, which is also its usual file extension without the dot: "vert",
// "frag", "geom", "tesc", "tese", "comp".
QString stageWord(ShaderStage stage);
std::optional<ShaderStage> stageFromWord(QStringView word);
// The stage in words for messages: "vertex", "fragment", "geometry", "tessellation control",
// "tessellation evaluation", "compute".
QString stageName(ShaderStage stage);
// The shader type that glCreateShader takes.
GlEnum stageGlType(ShaderStage stage);

}  // namespace tessory
