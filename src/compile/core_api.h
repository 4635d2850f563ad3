// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

namespace tessory {

using GlUint = std::uint32_t;

// The core shader entry points (OpenGL 2.0 on), for the stages that the ARB shader objects never
// knew: geometry, tessellation and compute. Looked up like ArbApi; all null when the driver lacks
// one of them.
struct CoreShaderApi {
    GlUint (*createShader)(GlEnum type) = nullptr;
    void (*shaderSource)(GlUint shader, GlSizei count, const char* const* strings,
                         const GlInt* lengths) = nullptr;
    void (*compileShader)(GlUint shader) = nullptr;
    void (*getShaderiv)(GlUint shader, GlEnum name, GlInt* value) = nullptr;
    void (*getShaderInfoLog)(GlUint shader, GlSizei bufSize, GlSizei* length, char* log) = nullptr;
    void (*deleteShader)(GlUint shader) = nullptr;

    bool complete() const {
        return createShader && shaderSource && compileShader && getShaderiv && getShaderInfoLog &&
               deleteShader;
    }
};

inline constexpr GlEnum kGlInfoLogLength = 0x8B84;

}  // namespace tessory
