// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/pair_side.h"

#include <QHash>
#include <QString>

namespace tessory {

// What stands behind a name of the WorkSpace list: a pair, a fragment or vertex shader without
// its partner, or a compute shader. Only a pair may add geometry and tessellation stages, and a
// lone vertex shader, which they follow.
enum class EntryShape { Pair, FragmentOnly, VertexOnly, Compute };

// Whether every entry of the shape has a file of the side.
bool hasSide(EntryShape shape, PairSide side);
// Whether the stages of kAddedSides belong to an entry of the shape when their files are there.
bool takesAddedStages(EntryShape shape);

// The shapes of the listed names, by name with A-Z folded (foldAsciiCase).
using EntryShapes = QHash<QString, EntryShape>;

}  // namespace tessory
