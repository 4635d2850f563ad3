// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tessory {

// What a program is compiled for: desktop OpenGL in the compatibility profile (the editor's own
// context), desktop OpenGL 4.5 in the core profile, OpenGL ES 3.2, or Vulkan through SPIR-V.
enum class Target { Gl, GlCore, Gles, Vulkan };

// The Vulkan version whose SPIR-V environment a Vulkan program is compiled and validated for.
enum class VulkanVersion { V1_0, V1_1, V1_2, V1_3 };

// "gl", "gl-core", "gles", "vulkan": the words of --target and of the project file.
QString targetWord(Target target);
std::optional<Target> targetFromWord(QStringView word);
// "GL", "GL core", "GLES", "Vulkan": the target in the report's and the window's words.
QString targetTitle(Target target);

// "vulkan1.0" ... "vulkan1.3".
QString vulkanVersionWord(VulkanVersion version);
std::optional<VulkanVersion> vulkanVersionFromWord(QStringView word);

// What a source's #version line says. A source whose first token is no #version directive is
// GLSL 1.10 without a profile, as the drivers read it.
struct GlslVersion {
    bool given = false;
    int number = 110;
    // "es", "core", "compatibility", or empty.
    QByteArray profile;
    // Where the line after the directive starts (0 without one): what is put before the
    // source's own text goes there, as nothing may come before #version.
    qsizetype bodyStart = 0;
    // The zero-based line of that place.
    qsizetype bodyLine = 0;

    bool es() const { return profile == "es" || (given && number == 100); }
};

GlslVersion readGlslVersion(QByteArrayView source);

// The target "auto" means for a source: OpenGL ES for "#version ... es", the core profile for
// "... core" or a version of 140 or more without "compatibility", else the compatibility profile.
// Vulkan is never guessed from the text.
Target autoTarget(const GlslVersion& version);

}  // namespace tessory
