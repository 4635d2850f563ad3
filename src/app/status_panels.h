// SPDX-License-Identifier: MIT
#pragma once

class QStatusBar;

namespace tessory {

class ElidedLabel;

// The three panels of the status bar: the caret, the insert mode and the WorkSpace path.
struct StatusPanels {
    ElidedLabel* caret = nullptr;
    ElidedLabel* mode = nullptr;
    ElidedLabel* path = nullptr;

    static StatusPanels addTo(QStatusBar* bar);
};

}  // namespace tessory
