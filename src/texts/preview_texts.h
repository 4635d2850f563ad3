// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The captions and messages of the preview panel and its command.
struct PreviewTexts {
    QString command;  // the Start menu entry and the panel's title
    QString commandHint;
    QString mesh;
    QString meshNames[4];  // in the order of the mesh kinds
    QString resetView;
    QString background;
    QString play;
    QString pause;
    QString saveImage;
    QString saveTitle;
    QString panelSize;  // the first choice of image size
    QString uniforms;
    QString noUniforms;
    QString noContext;         // %1: the cause
    QString saveFailed;        // %1: the file, %2: the cause
    QString imageUnreadable;   // %1: the image file, %2: the reader's reason
    QString imageTooLarge;     // %1: the image file, %2 x %3 its size, %4 the driver's limit
    QString savingOverShader;  // %1: the chosen file, %2: the shader file it is
    QString driverTooSlow;     // %1: the frame's time limit in seconds
    QString driverStopped;
    QString openGlOnly;  // why a program compiled for Vulkan is not drawn
    QString computeNotDrawn;
    QString tessellationNotDrawn;
};

PreviewTexts previewTexts(bool german);

}  // namespace tessory
