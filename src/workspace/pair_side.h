// SPDX-License-Identifier: MIT
#pragma once

#include <array>

namespace tessory {

// The two shaders of a pair, in the order the window shows their panes.
enum class PairSide { Vertex = 0, Fragment = 1 };

inline constexpr std::array<PairSide, 2> kPairSides{PairSide::Vertex, PairSide::Fragment};

}  // namespace tessory
