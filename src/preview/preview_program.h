// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

namespace tessory {

// The program the preview draws, as the editor's documents hold it.
struct PreviewProgram {
    QByteArray vertex;  // empty for a fragment-only shader
    QByteArray fragment;
    QByteArray geometry;  // empty when the program has none
    bool fragmentOnly = false;
    // Programs the preview does not draw, and says why: compiled for Vulkan, a compute shader,
    // one with tessellation stages.
    bool vulkan = false;
    bool compute = false;
    bool tessellated = false;
};

}  // namespace tessory
