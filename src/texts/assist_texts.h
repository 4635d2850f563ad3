// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The captions of the code assist commands and its notes in the status bar.
struct AssistTexts {
    QString complete;
    QString goToDefinition;
    QString goBack;
    QString quickHelp;
    QString outline;
    // %1: the pane's shader ("vertex shader"). Said when a pane switches its assist off.
    QString offTooLarge;
    QString offTooSlow;
    QString vertexShader;
    QString fragmentShader;
    // %1: the file, %2: the line (from 1). A declaration in a file no pane shows.
    QString declaredIn;
};

AssistTexts assistTexts(bool german);

}  // namespace tessory
