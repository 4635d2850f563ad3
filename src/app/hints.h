// SPDX-License-Identifier: MIT
#pragma once

class QApplication;

namespace tessory {

// Hints appear after the pointer has rested for a second and stay for ten; installed once per
// application, however many windows ask for it.
void installHintTiming(QApplication& app);

}  // namespace tessory
