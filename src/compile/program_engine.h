// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"
#include "compile/gl_context.h"
#include "compile/include_resolver.h"
#include "compile/shader_stage.h"
#include "compile/source_expand.h"
#include "compile/target.h"
#include "texts/engine_texts.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace tessory {

// One stage of a program: its file and the text to compile, which an editor takes from the
// document it has open (saved or not) and a checker from the file.
struct StageSource {
    ShaderStage stage = ShaderStage::Vertex;
    QString path;
    QByteArray bytes;
};

// What to compile, and for what.
struct ProgramRequest {
    // Vertex before fragment, the other stages in the order of ShaderStage; one stage is
    // compiled on its own.
    QList<StageSource> stages;
    // Nothing for "auto" (chooseTarget).
    std::optional<Target> target;
    VulkanVersion vulkan = VulkanVersion::V1_3;
    ExpandSettings expand;
    // A lone fragment shader: link it with a vertex stage that covers the screen and writes every
    // input it declares (OpenGL targets; Vulkan links no stages across).
    bool builtInVertex = false;
};

struct StageLog {
    ShaderStage stage = ShaderStage::Vertex;
    QByteArray log;
};

struct ProgramResult {
    Target target = Target::Gl;
    // Each stage's messages in turn, then the link's and the validator's; each only once.
    QList<ShaderMessage> messages;
    // The compile logs as the compiler wrote them, per stage, and the link log.
    QList<StageLog> logs;
    QByteArray linkLog;
    // False when the compiler was never given the program: an include that cannot be put in
    // place, a bad define, no context, a stage the target lacks.
    bool compiled = true;
};

// The GL contexts a compile may use, one of each profile, for the calling thread.
class GlContextSource {
public:
    virtual ~GlContextSource() = default;
    // A context of the profile, current on the calling thread; nullptr with the reason when
    // there is none.
    virtual const GlContext* current(GlProfile profile, QString& why) = 0;
};

// The target "auto" gives a program: Vulkan when a stage exists only there, else as its first
// stage's #version says (autoTarget).
Target chooseTarget(const std::optional<Target>& chosen, const QList<StageSource>& stages);

// The context profile of an OpenGL target.
GlProfile profileOf(Target target);

// Compiles programs of every target: includes and defines put in place (expandSource), the GL
// targets on the driver's context of their kind, Vulkan through glslang and SPIRV-Tools, every
// message mapped back to the file, line and column where its text was written.
class CompileEngine {
public:
    explicit CompileEngine(const IncludeResolver& resolver, EngineTexts texts = engineTexts(false))
        : resolver_(resolver), texts_(std::move(texts)) {}

    ProgramResult compile(const ProgramRequest& request, GlContextSource& contexts) const;

private:
    const IncludeResolver& resolver_;
    EngineTexts texts_;
};

}  // namespace tessory
