// SPDX-License-Identifier: MIT
#include "workspace/entry_shape.h"

namespace tessory {

bool hasSide(EntryShape shape, PairSide side) {
    switch (shape) {
        case EntryShape::Pair: return side == PairSide::Vertex || side == PairSide::Fragment;
        case EntryShape::FragmentOnly: return side == PairSide::Fragment;
        case EntryShape::VertexOnly: return side == PairSide::Vertex;
        case EntryShape::Compute: return side == PairSide::Compute;
    }
    return false;
}

bool takesAddedStages(EntryShape shape) {
    return shape == EntryShape::Pair || shape == EntryShape::VertexOnly;
}

}  // namespace tessory
