// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"

namespace tessory {

using GlUint = std::uint32_t;

// The core shader entry points (OpenGL 2.0 on), for the stages that the ARB shader objects never
// knew (geometry, tessellation and compute) and for the core and ES contexts, which have no ARB
// shader objects. Looked up like ArbApi: the shader functions all null when the driver lacks one
// of them; the program functions, and the interface queries (OpenGL 4.3, ES 3.1), each null when
// the driver lacks it.
struct CoreShaderApi {
    GlUint (*createShader)(GlEnum type) = nullptr;
    void (*shaderSource)(GlUint shader, GlSizei count, const char* const* strings,
                         const GlInt* lengths) = nullptr;
    void (*compileShader)(GlUint shader) = nullptr;
    void (*getShaderiv)(GlUint shader, GlEnum name, GlInt* value) = nullptr;
    void (*getShaderInfoLog)(GlUint shader, GlSizei bufSize, GlSizei* length, char* log) = nullptr;
    void (*deleteShader)(GlUint shader) = nullptr;

    GlUint (*createProgram)() = nullptr;
    void (*attachShader)(GlUint program, GlUint shader) = nullptr;
    void (*linkProgram)(GlUint program) = nullptr;
    void (*getProgramiv)(GlUint program, GlEnum name, GlInt* value) = nullptr;
    void (*getProgramInfoLog)(GlUint program, GlSizei bufSize, GlSizei* length,
                              char* log) = nullptr;
    void (*deleteProgram)(GlUint program) = nullptr;
    void (*programParameteri)(GlUint program, GlEnum name, GlInt value) = nullptr;
    void (*getProgramInterfaceiv)(GlUint program, GlEnum interface, GlEnum name,
                                  GlInt* value) = nullptr;
    void (*getProgramResourceName)(GlUint program, GlEnum interface, GlUint index, GlSizei bufSize,
                                   GlSizei* length, char* name) = nullptr;
    void (*getProgramResourceiv)(GlUint program, GlEnum interface, GlUint index, GlSizei propCount,
                                 const GlEnum* props, GlSizei bufSize, GlSizei* length,
                                 GlInt* params) = nullptr;

    bool complete() const {
        return createShader && shaderSource && compileShader && getShaderiv && getShaderInfoLog &&
               deleteShader;
    }
    bool linksPrograms() const {
        return complete() && createProgram && attachShader && linkProgram && getProgramiv &&
               getProgramInfoLog && deleteProgram;
    }
    // Whether a program of one stage can be linked apart and asked for its inputs.
    bool queriesInputs() const {
        return linksPrograms() && programParameteri && getProgramInterfaceiv &&
               getProgramResourceName && getProgramResourceiv;
    }
};

inline constexpr GlEnum kGlInfoLogLength = 0x8B84;

}  // namespace tessory
