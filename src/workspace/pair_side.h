// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

namespace tessory {

// The stage files of a program, in the order the window shows their panes: the pair's two
// first, then the stages a program may add, then a compute shader, which stands alone.
enum class PairSide { Vertex = 0, Fragment = 1, Geometry = 2, TessControl = 3, TessEval = 4,
                      Compute = 5 };

inline constexpr int kSideCount = 6;

inline constexpr std::array<PairSide, 2> kPairSides{PairSide::Vertex, PairSide::Fragment};

inline constexpr std::array<PairSide, kSideCount> kProgramSides{
    PairSide::Vertex,      PairSide::Fragment, PairSide::Geometry,
    PairSide::TessControl, PairSide::TessEval, PairSide::Compute};

// The stages that a vertex shader may be linked with beside the fragment shader.
inline constexpr std::array<PairSide, 3> kAddedSides{PairSide::Geometry, PairSide::TessControl,
                                                     PairSide::TessEval};

// The name of a side's tab, and of its file where it has none: "VertexShader", "FragmentShader",
// "GeometryShader", "TessControlShader", "TessEvalShader", "ComputeShader", in every language.
inline QString sideName(PairSide side) {
    static const char* const names[kSideCount] = {"VertexShader",      "FragmentShader",
                                                  "GeometryShader",    "TessControlShader",
                                                  "TessEvalShader",    "ComputeShader"};
    return QString::fromLatin1(names[int(side)]);
}

// Every stage file of a program by side; empty for a stage the program does not have.
using ProgramPaths = std::array<QString, kSideCount>;

}  // namespace tessory
