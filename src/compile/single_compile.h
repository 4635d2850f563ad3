// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"
#include "compile/shader_stage.h"

#include <QByteArray>

namespace tessory {

// Compiles one shader on its own, with no partner and no link, and gives the driver's compile log
// (empty when it said nothing). Vertex and fragment shaders go through the ARB entry points, as in
// the editor; the other stages through the core ones, which the caller has checked are there.
QByteArray compileAlone(const ArbApi& arb, const CoreShaderApi& core, ShaderStage stage,
                        const QByteArray& source);

}  // namespace tessory
