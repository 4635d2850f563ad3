// SPDX-License-Identifier: MIT
#include "compile/gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <QStringList>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace tessory {

static_assert(std::is_same_v<GlHandle, GLhandleARB>);
static_assert(std::is_same_v<GlEnum, GLenum>);
static_assert(std::is_same_v<GlInt, GLint> && std::is_same_v<GlSizei, GLsizei>);
static_assert(std::is_same_v<GlUbyte, GLubyte>);
static_assert(kGlFragmentShaderArb == GL_FRAGMENT_SHADER_ARB);
static_assert(kGlVertexShaderArb == GL_VERTEX_SHADER_ARB);
static_assert(kGlObjectInfoLogLengthArb == GL_OBJECT_INFO_LOG_LENGTH_ARB);
static_assert(std::is_same_v<GlUint, GLuint>);
static_assert(kGlInfoLogLength == GL_INFO_LOG_LENGTH);

namespace {

QString eglErrorText() {
    const EGLint code = eglGetError();
    static const std::map<EGLint, const char*> names = {
        {EGL_NOT_INITIALIZED, "EGL_NOT_INITIALIZED"},
        {EGL_BAD_ACCESS, "EGL_BAD_ACCESS"},
        {EGL_BAD_ALLOC, "EGL_BAD_ALLOC"},
        {EGL_BAD_ATTRIBUTE, "EGL_BAD_ATTRIBUTE"},
        {EGL_BAD_CONFIG, "EGL_BAD_CONFIG"},
        {EGL_BAD_CONTEXT, "EGL_BAD_CONTEXT"},
        {EGL_BAD_DISPLAY, "EGL_BAD_DISPLAY"},
        {EGL_BAD_MATCH, "EGL_BAD_MATCH"},
        {EGL_BAD_PARAMETER, "EGL_BAD_PARAMETER"},
        {EGL_BAD_SURFACE, "EGL_BAD_SURFACE"},
        {EGL_CONTEXT_LOST, "EGL_CONTEXT_LOST"},
    };
    const auto it = names.find(code);
    const QString hex = QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'));
    return it == names.end() ? hex : QStringLiteral("%1 (%2)").arg(it->second, hex);
}

bool hasExtension(const char* list, std::string_view name) {
    if (list == nullptr) {
        return false;
    }
    std::string_view rest(list);
    while (!rest.empty()) {
        const std::size_t end = rest.find(' ');
        if (rest.substr(0, end) == name) {
            return true;
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return false;
}

// Once initialised, a display stays so for the life of the process: eglTerminate unloads the
// driver, and Mesa leaves a one-time allocation behind on some processors each time it is loaded
// (a leak that no suppression can name, since its caller is gone). Keeping the driver also saves
// its load for every context after the first.
std::set<EGLDisplay>& initialisedDisplays() {
    static std::set<EGLDisplay> displays;
    return displays;
}

int& initialisationCount() {
    static int count = 0;
    return count;
}

bool initialiseOnce(EGLDisplay display) {
    if (initialisedDisplays().contains(display)) {
        return true;
    }
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        return false;
    }
    initialisedDisplays().insert(display);
    ++initialisationCount();
    return true;
}

struct Candidate {
    EGLDisplay display;
    QString platform;
    QString label;
};

std::vector<Candidate> candidateDisplays() {
    std::vector<Candidate> found;
    const auto add = [&found](EGLDisplay display, const QString& platform, const QString& label) {
        for (const Candidate& c : found) {
            if (c.display == display) {
                return;
            }
        }
        if (display != EGL_NO_DISPLAY) {
            found.push_back({display, platform, label});
        }
    };
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr && hasExtension(client, "EGL_EXT_platform_base")) {
        const auto queryDevices =
            reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        if (queryDevices != nullptr && hasExtension(client, "EGL_EXT_platform_device")) {
            EGLDeviceEXT devices[16];
            EGLint count = 0;
            if (queryDevices(16, devices, &count) == EGL_TRUE) {
                for (EGLint i = 0; i < count; ++i) {
                    add(getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr),
                        QStringLiteral("device"), QStringLiteral("EGL device %1").arg(i));
                }
            }
        }
        if (hasExtension(client, "EGL_MESA_platform_surfaceless")) {
            add(getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr),
                QStringLiteral("surfaceless"), QStringLiteral("surfaceless display"));
        }
    }
    add(eglGetDisplay(EGL_DEFAULT_DISPLAY), QStringLiteral("default"),
        QStringLiteral("default display"));
    return found;
}

EGLenum apiOf(GlProfile profile) {
    return profile == GlProfile::Es ? EGL_OPENGL_ES_API : EGL_OPENGL_API;
}

// Prefers the exact 8/8/8/8 colour, 24 depth, 0 stencil layout; EGL sorts deeper colour first.
std::optional<EGLConfig> chooseConfig(EGLDisplay display, GlProfile profile) {
    const EGLint renderable = profile == GlProfile::Es ? EGL_OPENGL_ES3_BIT_KHR : EGL_OPENGL_BIT;
    const EGLint wanted[] = {
        EGL_RED_SIZE,     8, EGL_GREEN_SIZE,      8,          EGL_BLUE_SIZE,    8,
        EGL_ALPHA_SIZE,   8, EGL_DEPTH_SIZE,      24,         EGL_STENCIL_SIZE, 0,
        EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, renderable, EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (eglChooseConfig(display, wanted, configs, 64, &count) != EGL_TRUE || count < 1) {
        return std::nullopt;
    }
    for (EGLint i = 0; i < count; ++i) {
        bool exact = true;
        for (int k = 0; k < 12 && exact; k += 2) {
            EGLint value = -1;
            eglGetConfigAttrib(display, configs[i], wanted[k], &value);
            exact = value == wanted[k + 1];
        }
        if (exact) {
            return configs[i];
        }
    }
    return configs[0];
}

template <typename Fn>
void resolve(Fn*& slot, const char* name, QStringList& missing) {
    slot = reinterpret_cast<Fn*>(eglGetProcAddress(name));
    if (slot == nullptr) {
        missing << QString::fromLatin1(name);
    }
}

QStringList resolveAll(ArbApi& arb) {
    QStringList missing;
    resolve(arb.createProgramObjectARB, "glCreateProgramObjectARB", missing);
    resolve(arb.createShaderObjectARB, "glCreateShaderObjectARB", missing);
    resolve(arb.shaderSourceARB, "glShaderSourceARB", missing);
    resolve(arb.compileShaderARB, "glCompileShaderARB", missing);
    resolve(arb.getObjectParameterivARB, "glGetObjectParameterivARB", missing);
    resolve(arb.getInfoLogARB, "glGetInfoLogARB", missing);
    resolve(arb.attachObjectARB, "glAttachObjectARB", missing);
    resolve(arb.deleteObjectARB, "glDeleteObjectARB", missing);
    resolve(arb.linkProgramARB, "glLinkProgramARB", missing);
    resolve(arb.getString, "glGetString", missing);
    resolve(arb.enable, "glEnable", missing);
    resolve(arb.disable, "glDisable", missing);
    resolve(arb.cullFace, "glCullFace", missing);
    resolve(arb.frontFace, "glFrontFace", missing);
    resolve(arb.depthFunc, "glDepthFunc", missing);
    return missing;
}

// The core entry points are optional in the compatibility profile: without them only vertex and
// fragment shaders compile there.
void resolveCore(CoreShaderApi& core) {
    QStringList missing;
    resolve(core.createShader, "glCreateShader", missing);
    resolve(core.shaderSource, "glShaderSource", missing);
    resolve(core.compileShader, "glCompileShader", missing);
    resolve(core.getShaderiv, "glGetShaderiv", missing);
    resolve(core.getShaderInfoLog, "glGetShaderInfoLog", missing);
    resolve(core.deleteShader, "glDeleteShader", missing);
    if (!missing.isEmpty()) {
        core = CoreShaderApi();
        return;
    }
    resolve(core.createProgram, "glCreateProgram", missing);
    resolve(core.attachShader, "glAttachShader", missing);
    resolve(core.linkProgram, "glLinkProgram", missing);
    resolve(core.getProgramiv, "glGetProgramiv", missing);
    resolve(core.getProgramInfoLog, "glGetProgramInfoLog", missing);
    resolve(core.deleteProgram, "glDeleteProgram", missing);
    resolve(core.programParameteri, "glProgramParameteri", missing);
    resolve(core.getProgramInterfaceiv, "glGetProgramInterfaceiv", missing);
    resolve(core.getProgramResourceName, "glGetProgramResourceName", missing);
    resolve(core.getProgramResourceiv, "glGetProgramResourceiv", missing);
}

// "4.5 (Compatibility Profile) Mesa 22.3.6" gives 4 and 5, "OpenGL ES 3.2 Mesa 22.3.6" 3 and 2;
// anything unreadable gives 0.0.
std::pair<int, int> versionNumbers(QString version) {
    if (version.startsWith(QStringLiteral("OpenGL ES "))) {
        version = version.sliced(10);
    }
    const QStringList parts = version.section(u' ', 0, 0).split(u'.');
    if (parts.size() < 2) {
        return {0, 0};
    }
    return {parts[0].toInt(), parts[1].toInt()};
}

QString glText(const ArbApi& arb, GlEnum name) {
    const GlUbyte* text = arb.getString(name);
    return text == nullptr ? QString() : QString::fromLatin1(reinterpret_cast<const char*>(text));
}

struct Made {
    EGLConfig config;
    EGLContext context;
    ArbApi arb;
    QString renderer;
    QString version;
};

// Everything that must hold on the current context before compiling can work on it. The core and
// ES contexts compile through the core entry points only: they have no ARB shader objects.
QString checkCurrentContext(Made& made, GlProfile profile) {
    const QStringList missing = resolveAll(made.arb);
    if (!missing.isEmpty()) {
        return QStringLiteral("the driver lacks %1").arg(missing.join(QStringLiteral(", ")));
    }
    made.renderer = glText(made.arb, GL_RENDERER);
    made.version = glText(made.arb, GL_VERSION);
    if (profile != GlProfile::Compatibility) {
        CoreShaderApi core;
        resolveCore(core);
        if (!core.linksPrograms()) {
            return QStringLiteral("the driver (%1, OpenGL %2) lacks the core shader entry points")
                .arg(made.renderer, made.version);
        }
        return {};
    }
    const GlUbyte* extensions = made.arb.getString(GL_EXTENSIONS);
    if (!hasExtension(reinterpret_cast<const char*>(extensions), "GL_ARB_shader_objects")) {
        return QStringLiteral("the driver (%1, OpenGL %2) does not offer GL_ARB_shader_objects")
            .arg(made.renderer, made.version);
    }
    return {};
}

EGLContext createContextOf(EGLDisplay display, EGLConfig config, GlProfile profile) {
    switch (profile) {
        case GlProfile::Core: {
            // 4.5 first; a driver without it gives its newest core profile for 3.2.
            for (const auto& [major, minor] : {std::pair{4, 5}, std::pair{3, 2}}) {
                const EGLint core[] = {EGL_CONTEXT_MAJOR_VERSION,
                                       major,
                                       EGL_CONTEXT_MINOR_VERSION,
                                       minor,
                                       EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                       EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                       EGL_NONE};
                EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, core);
                if (context != EGL_NO_CONTEXT) {
                    return context;
                }
            }
            return EGL_NO_CONTEXT;
        }
        case GlProfile::Es: {
            const EGLint es32[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 2,
                                   EGL_NONE};
            EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, es32);
            if (context == EGL_NO_CONTEXT) {
                // Without EGL_KHR_create_context no minor version can be asked for; drivers give
                // their newest 3.x for 3.
                const EGLint es3[] = {EGL_CONTEXT_CLIENT_VERSION, 3, EGL_NONE};
                context = eglCreateContext(display, config, EGL_NO_CONTEXT, es3);
            }
            return context;
        }
        case GlProfile::Compatibility:
            break;
    }
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) {
        // Without EGL 1.5 or EGL_KHR_create_context the profile cannot be named; a context made
        // the old way is a compatibility context anyway.
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    return context;
}

// GL_NORMALIZE belongs to the compatibility profile alone.
void setFixedState(const ArbApi& arb, GlProfile profile) {
    arb.enable(GL_CULL_FACE);
    arb.cullFace(GL_BACK);
    arb.frontFace(GL_CCW);
    arb.enable(GL_DEPTH_TEST);
    arb.depthFunc(GL_LEQUAL);
    if (profile == GlProfile::Compatibility) {
        arb.disable(GL_NORMALIZE);
    }
}

std::optional<Made> tryDisplay(EGLDisplay display, GlProfile profile, QString& why) {
    if (!initialiseOnce(display)) {
        why = QStringLiteral("eglInitialize failed: %1").arg(eglErrorText());
        return std::nullopt;
    }
    const auto fail = [&](const QString& cause) {
        why = cause;
        return std::nullopt;
    };
    if (eglBindAPI(apiOf(profile)) != EGL_TRUE) {
        return fail(
            QStringLiteral("%1 is not offered: %2").arg(profileName(profile), eglErrorText()));
    }
    const std::optional<EGLConfig> config = chooseConfig(display, profile);
    if (!config) {
        return fail(QStringLiteral("no configuration with 8-bit RGBA, 24-bit depth and %1")
                        .arg(profileName(profile)));
    }
    EGLContext context = createContextOf(display, *config, profile);
    if (context == EGL_NO_CONTEXT) {
        return fail(QStringLiteral("eglCreateContext failed: %1").arg(eglErrorText()));
    }
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        const QString cause = eglErrorText();
        eglDestroyContext(display, context);
        return fail(
            QStringLiteral("the context cannot be made current without a surface: %1").arg(cause));
    }
    Made made{*config, context, {}, {}, {}};
    const QString unusable = checkCurrentContext(made, profile);
    if (!unusable.isEmpty()) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, context);
        return fail(unusable);
    }
    return made;
}

}  // namespace

QString profileName(GlProfile profile) {
    switch (profile) {
        case GlProfile::Core:
            return QStringLiteral("OpenGL 4.5 core profile");
        case GlProfile::Es:
            return QStringLiteral("OpenGL ES 3.2");
        case GlProfile::Compatibility:
            break;
    }
    return QStringLiteral("OpenGL compatibility profile");
}

GlContext::GlContext(GlProfile profile, void* display, void* config, void* context,
                     const ArbApi& arb, QString renderer, QString version, QString platform)
    : profile_(profile),
      display_(display),
      config_(config),
      context_(context),
      arb_(arb),
      renderer_(std::move(renderer)),
      version_(std::move(version)),
      platform_(std::move(platform)) {}

GlContextResult GlContext::createFor(GlProfile profile) {
    // Mesa's shader cache skips compiling a source it has seen before, in this process or an
    // earlier one, and then reports none of its warnings: a shader would pass its second test.
    // The driver reads this when it loads, so it is set before any display is opened.
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    const std::vector<Candidate> candidates = candidateDisplays();
    if (candidates.empty()) {
        return {nullptr, QStringLiteral(
                             "No OpenGL context: EGL found no display to use (last EGL error %1).")
                             .arg(eglErrorText())};
    }
    // A failed try unbinds its own context, which would also drop one made current before.
    const EGLenum previousApi = eglQueryAPI();
    const EGLDisplay previousDisplay = eglGetCurrentDisplay();
    const EGLContext previousContext = eglGetCurrentContext();
    const EGLSurface previousDraw = eglGetCurrentSurface(EGL_DRAW);
    const EGLSurface previousRead = eglGetCurrentSurface(EGL_READ);
    QStringList tried;
    for (const Candidate& candidate : candidates) {
        QString why;
        std::optional<Made> made = tryDisplay(candidate.display, profile, why);
        if (!made) {
            tried << QStringLiteral("%1: %2").arg(candidate.label, why);
            continue;
        }
        setFixedState(made->arb, profile);
        std::unique_ptr<GlContext> context(new GlContext(profile, candidate.display, made->config,
                                                         made->context, made->arb, made->renderer,
                                                         made->version, candidate.platform));
        context->learnStages();
        return {std::move(context), {}};
    }
    eglBindAPI(previousApi);
    if (previousContext != EGL_NO_CONTEXT) {
        eglMakeCurrent(previousDisplay, previousDraw, previousRead, previousContext);
    }
    return {nullptr,
            QStringLiteral("No OpenGL context: %1.").arg(tried.join(QStringLiteral("; ")))};
}

std::unique_ptr<GlContext> GlContext::sibling() const {
    // The API to bind is kept per thread, and this may be a thread that has never bound one.
    if (eglBindAPI(apiOf(profile_)) != EGL_TRUE) {
        return nullptr;
    }
    EGLContext context = createContextOf(display_, config_, profile_);
    if (context == EGL_NO_CONTEXT) {
        return nullptr;
    }
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        eglDestroyContext(display_, context);
        return nullptr;
    }
    setFixedState(arb_, profile_);
    std::unique_ptr<GlContext> made(
        new GlContext(profile_, display_, config_, context, arb_, renderer_, version_, platform_));
    made->core_ = core_;
    std::copy(std::begin(stages_), std::end(stages_), std::begin(made->stages_));
    return made;
}

GlContextResult GlContext::otherProfile(GlProfile profile) const {
    if (profile == profile_) {
        std::unique_ptr<GlContext> same = sibling();
        const QString why = same ? QString() : QStringLiteral("eglCreateContext failed");
        return {std::move(same), why};
    }
    QString why;
    std::optional<Made> made = tryDisplay(display_, profile, why);
    if (!made) {
        return {nullptr, why};
    }
    setFixedState(made->arb, profile);
    std::unique_ptr<GlContext> context(new GlContext(profile, display_, made->config, made->context,
                                                     made->arb, made->renderer, made->version,
                                                     platform_));
    context->learnStages();
    return {std::move(context), {}};
}

void GlContext::learnStages() {
    resolveCore(core_);
    // A core-profile context has no extension string: its version says everything.
    const char* extensions = profile_ == GlProfile::Core
                                 ? nullptr
                                 : reinterpret_cast<const char*>(arb_.getString(GL_EXTENSIONS));
    const std::pair<int, int> number = versionNumbers(version_);
    const int major = number.first;
    const int minor = number.second;
    const auto atLeast = [major, minor](int wantMajor, int wantMinor) {
        return major > wantMajor || (major == wantMajor && minor >= wantMinor);
    };
    const bool core = core_.complete();
    const bool es = profile_ == GlProfile::Es;
    stages_[int(ShaderStage::Vertex)] = true;
    stages_[int(ShaderStage::Fragment)] = true;
    stages_[int(ShaderStage::Geometry)] =
        core &&
        (es ? atLeast(3, 2) || hasExtension(extensions, "GL_EXT_geometry_shader") : atLeast(3, 2));
    const bool tessellation =
        core && (es ? atLeast(3, 2) || hasExtension(extensions, "GL_EXT_tessellation_shader")
                    : atLeast(4, 0) || hasExtension(extensions, "GL_ARB_tessellation_shader"));
    stages_[int(ShaderStage::TessControl)] = tessellation;
    stages_[int(ShaderStage::TessEvaluation)] = tessellation;
    stages_[int(ShaderStage::Compute)] =
        core &&
        (es ? atLeast(3, 1) : atLeast(4, 3) || hasExtension(extensions, "GL_ARB_compute_shader"));
}

bool GlContext::supportsStage(ShaderStage stage) const {
    return stages_[int(stage)];
}

void GlContext::releaseCurrent() const {
    eglBindAPI(apiOf(profile_));
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void GlContext::leaveThread() {
    eglReleaseThread();
}

bool GlContext::makeCurrent() const {
    // The bound API picks the thread's slot for a current context; ES and desktop contexts take
    // turns on the checker's threads.
    return eglBindAPI(apiOf(profile_)) == EGL_TRUE &&
           eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) == EGL_TRUE;
}

GlContext::~GlContext() {
    eglBindAPI(apiOf(profile_));
    if (eglGetCurrentContext() == context_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display_, context_);
}

int GlContext::displayInitialisations() {
    return initialisationCount();
}

}  // namespace tessory
