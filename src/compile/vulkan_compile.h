// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_program.h"
#include "compile/target.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace tessory {

// What the GLSL front end, the SPIR-V generator and the validator said about a program.
struct VulkanRun {
    QList<QByteArray> logs;  // one compile log per stage, in the order given
    QByteArray linkLog;
    // The validator's messages for each stage's module, in the order of the stages; empty lists
    // for stages that gave no module (they did not compile or link).
    QList<QStringList> validation;
    // Per stage: whether a SPIR-V module was made.
    QList<bool> generated;
    // Whether every stage compiled and the program linked.
    bool linked = false;
};

// Compiles the stages as Vulkan GLSL to SPIR-V for the version's environment, links them and
// validates each module. Safe on several threads at once; needs no OpenGL context.
VulkanRun runVulkanProgram(const QList<StageText>& stages, VulkanVersion version);

}  // namespace tessory
