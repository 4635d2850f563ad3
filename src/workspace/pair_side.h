// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <array>

namespace tessory {

// The stage files of a program, in the order the window shows their panes: the pair's two
// first, then the stages a program may add, then a compute shader, which stands alone. Last, a
// pane that is no stage: a file one of them includes, opened to be read or edited beside them.
enum class PairSide {
    Vertex = 0,
    Fragment = 1,
    Geometry = 2,
    TessControl = 3,
    TessEval = 4,
    Compute = 5,
    Included = 6,
};

inline constexpr int kSideCount = 6;
inline constexpr int kPaneCount = 7;

inline constexpr std::array<PairSide, 2> kPairSides{PairSide::Vertex, PairSide::Fragment};

inline constexpr std::array<PairSide, kSideCount> kProgramSides{
    PairSide::Vertex,      PairSide::Fragment, PairSide::Geometry,
    PairSide::TessControl, PairSide::TessEval, PairSide::Compute};

inline constexpr std::array<PairSide, kPaneCount> kPanes{
    PairSide::Vertex,   PairSide::Fragment, PairSide::Geometry, PairSide::TessControl,
    PairSide::TessEval, PairSide::Compute,  PairSide::Included};

// The stages that a vertex shader may be linked with beside the fragment shader.
inline constexpr std::array<PairSide, 3> kAddedSides{PairSide::Geometry, PairSide::TessControl,
                                                     PairSide::TessEval};

// The name of a side's tab, and of its file where it has none: "VertexShader", "FragmentShader",
// "GeometryShader", "TessControlShader", "TessEvalShader", "ComputeShader", in every language;
// "IncludedFile" for the pane of an included file.
inline QString sideName(PairSide side) {
    static const char* const names[kPaneCount] = {
        "VertexShader",   "FragmentShader", "GeometryShader", "TessControlShader",
        "TessEvalShader", "ComputeShader",  "IncludedFile"};
    return QString::fromLatin1(names[int(side)]);
}

// The stage's word within messages, the same in every language: its tab's name without "Shader"
// ("Vertex", "TessControl").
inline QString sideWord(PairSide side) {
    return sideName(side).chopped(6);
}

// Every stage file of a program by side; empty for a stage the program does not have.
using ProgramPaths = std::array<QString, kSideCount>;

}  // namespace tessory
