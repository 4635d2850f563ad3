// SPDX-License-Identifier: MIT
#pragma once

#include "compile/arb_api.h"
#include "compile/core_api.h"
#include "compile/shader_stage.h"

#include <QString>

#include <iterator>
#include <memory>

namespace tessory {

class GlContext;

// Which OpenGL a context speaks: the desktop compatibility profile (the editor's), the desktop
// 4.5 core profile, or OpenGL ES 3.2.
enum class GlProfile { Compatibility, Core, Es };

// "OpenGL compatibility profile", "OpenGL 4.5 core profile", "OpenGL ES 3.2": for messages.
QString profileName(GlProfile profile);

// What GlContext::create gives: a context, or the reason in words why there is none.
struct GlContextResult {
    std::unique_ptr<GlContext> context;
    QString failure;
};

// An OpenGL context made through EGL without a window or display server, current on the creating
// thread until the object is destroyed: by default the desktop compatibility-profile context the
// editor compiles with. Compiling needs nothing but the context and its entry points, so no
// surface is ever made.
class GlContext {
public:
    // Tries the EGL device platform, then Mesa's surfaceless platform, then the default display,
    // and keeps the first on which a context of the profile can be made current and compiles
    // (the compatibility profile must offer the ARB shader objects, the others the core shader
    // and program entry points). On success the fixed render state is set. Never throws. One
    // thread at a time: the displays it has initialised are the process's.
    static GlContextResult createFor(GlProfile profile);
    // The compatibility-profile context.
    static GlContextResult create() { return createFor(GlProfile::Compatibility); }

    // How many EGL displays this process has initialised: each display is initialised once and
    // kept, however many contexts come and go on it.
    static int displayInitialisations();

    // Another context on this one's display, with its configuration, entry points and stages,
    // current on the calling thread, which need not be the one that made this context; nullptr
    // when EGL refuses. It costs a fraction of create(), which looks for a display and loads the
    // driver, so that a thread can make its own while other threads compile.
    std::unique_ptr<GlContext> sibling() const;
    // A context of another profile on this one's display, current on the calling thread; or the
    // reason there is none. It too costs a fraction of create().
    GlContextResult otherProfile(GlProfile profile) const;

    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // Makes this context current again on the calling thread (another GlContext may have taken
    // its place); false when EGL refuses.
    bool makeCurrent() const;
    // Leaves the calling thread without a current context, so that another thread may take this
    // one.
    void releaseCurrent() const;
    // For a thread that is about to end after using a context: lets go of its current context
    // and of the per-thread state EGL and the driver keep for it, which thread exit alone leaves.
    static void leaveThread();

    const ArbApi& arb() const { return arb_; }
    // Puts other functions in place of the entry points, such as wrappers that time the driver.
    void replaceEntryPoints(const ArbApi& arb) { arb_ = arb; }
    void replaceEntryPoints(const ArbApi& arb, const CoreShaderApi& core) {
        arb_ = arb;
        core_ = core;
    }
    // The core entry points; incomplete when the driver lacks one.
    const CoreShaderApi& core() const { return core_; }
    // Whether the driver compiles the stage: vertex and fragment always, the others from the
    // OpenGL version or extension that brought them and only with the core entry points.
    bool supportsStage(ShaderStage stage) const;
    GlProfile profile() const { return profile_; }
    const QString& renderer() const { return renderer_; }
    const QString& version() const { return version_; }
    // "device", "surfaceless" or "default": the EGL route that gave the context.
    const QString& platform() const { return platform_; }

private:
    GlContext(GlProfile profile, void* display, void* config, void* context, const ArbApi& arb,
              QString renderer, QString version, QString platform);
    void learnStages();

    GlProfile profile_ = GlProfile::Compatibility;
    void* display_ = nullptr;
    void* config_ = nullptr;
    void* context_ = nullptr;
    ArbApi arb_;
    CoreShaderApi core_;
    bool stages_[std::size(kAllStages)] = {};
    QString renderer_;
    QString version_;
    QString platform_;
};

}  // namespace tessory
