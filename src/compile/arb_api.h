// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace tessory {

// The scalar types of the ARB shader-object interface, spelled out here so that callers need no
// OpenGL header (and cannot call a linked-in GL function by mistake). Same sizes as in glext.h.
using GlHandle = std::uint32_t;  // GLhandleARB
using GlEnum = std::uint32_t;
using GlInt = std::int32_t;
using GlSizei = std::int32_t;
using GlUbyte = unsigned char;

inline constexpr GlEnum kGlFragmentShaderArb = 0x8B30;
inline constexpr GlEnum kGlVertexShaderArb = 0x8B31;
inline constexpr GlEnum kGlObjectInfoLogLengthArb = 0x8B84;

// The driver's entry points, looked up by name once the context is current. Every pointer is set
// in an ArbApi handed out by GlContext; tests may fill one with functions of their own.
struct ArbApi {
    GlHandle (*createProgramObjectARB)() = nullptr;
    GlHandle (*createShaderObjectARB)(GlEnum type) = nullptr;
    void (*shaderSourceARB)(GlHandle shader, GlSizei count, const char* const* strings,
                            const GlInt* lengths) = nullptr;
    void (*compileShaderARB)(GlHandle shader) = nullptr;
    void (*getObjectParameterivARB)(GlHandle object, GlEnum name, GlInt* value) = nullptr;
    void (*getInfoLogARB)(GlHandle object, GlSizei bufSize, GlSizei* length, char* log) = nullptr;
    void (*attachObjectARB)(GlHandle program, GlHandle shader) = nullptr;
    void (*deleteObjectARB)(GlHandle object) = nullptr;
    void (*linkProgramARB)(GlHandle program) = nullptr;

    const GlUbyte* (*getString)(GlEnum name) = nullptr;
    void (*enable)(GlEnum cap) = nullptr;
    void (*disable)(GlEnum cap) = nullptr;
    void (*cullFace)(GlEnum mode) = nullptr;
    void (*frontFace)(GlEnum mode) = nullptr;
    void (*depthFunc)(GlEnum func) = nullptr;
};

}  // namespace tessory
