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
    bool vulkan = false;  // compiled for Vulkan: the preview does not draw it
};

}  // namespace tessory
