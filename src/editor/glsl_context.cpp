// SPDX-License-Identifier: MIT
#include "editor/glsl_context.h"

#include "editor/glsl_frontend.h"
#include "texts/win1252.h"

#include <glslang/MachineIndependent/Scan.h>

#include <algorithm>
#include <array>

namespace tessory::glsl {

namespace {

constexpr std::array<const char*, kStageCount> kExtensions = {
    "vert", "tesc",  "tese",  "geom",  "frag",  "comp", "rgen",
    "rint", "rahit", "rchit", "rmiss", "rcall", "task", "mesh",
};

bool isRayStage(Stage s) {
    return s >= Stage::RayGen && s <= Stage::Callable;
}

// The front end's completion of a version and profile (its DeduceVersionProfile), without the
// messages: the checker and the driver say what is wrong with a #version line.
void complete(LanguageContext& c, bool profileGiven) {
    const bool esVersion = c.version == 300 || c.version == 310 || c.version == 320;
    if (!profileGiven) {
        if (esVersion || c.version == 100)
            c.profile = Profile::Es;
        else if (c.version >= 150)
            c.profile = Profile::Core;
        else
            c.profile = Profile::None;
    } else if (c.version < 150) {
        c.profile = c.version == 100 ? Profile::Es : Profile::None;
    } else if (esVersion) {
        c.profile = Profile::Es;
    } else if (c.profile == Profile::Es) {
        c.profile = Profile::Core;
    }
    switch (c.version) {
        case 100:
        case 300:
        case 310:
        case 320:
        case 110:
        case 120:
        case 130:
        case 140:
        case 150:
        case 330:
        case 400:
        case 410:
        case 420:
        case 430:
        case 440:
        case 450:
        case 460:
            break;
        default:
            if (c.profile == Profile::Es) {
                c.version = 310;
            } else {
                c.version = 450;
                c.profile = Profile::Core;
            }
    }
    const bool es = c.profile == Profile::Es;
    auto atLeast = [&](int esVersion, int desktopVersion) {
        const int needed = es ? esVersion : desktopVersion;
        if (c.version < needed) {
            c.version = needed;
            if (c.profile == Profile::None)
                c.profile = Profile::Core;
        }
    };
    switch (c.stage) {
        case Stage::Geometry:
            atLeast(310, 150);
            break;
        case Stage::TessControl:
        case Stage::TessEvaluation:
            atLeast(310, 400);
            break;
        case Stage::Compute:
            atLeast(310, 420);
            break;
        case Stage::Task:
        case Stage::Mesh:
            atLeast(320, 450);
            break;
        default:
            if (isRayStage(c.stage)) {
                c.version = std::max(c.version, 460);
                c.profile = Profile::Core;
            }
    }
    if (c.target == Target::Vulkan) {
        if (es && c.version < 310)
            c.version = 310;
        if (!es && c.version < 140)
            c.version = 140;
    }
}

}  // namespace

LanguageContext detectContext(QByteArrayView source, Target target, Stage stage) {
    LanguageContext c;
    c.target = target;
    c.stage = stage;
    int version = 0;
    EProfile profile = ENoProfile;
    bool notFirstToken = false;
    {
        glslang::TPoolAllocator pool;
        frontend::PoolScope scope(pool);
        const char* strings[] = {source.data()};
        size_t lengths[] = {size_t(source.size())};
        glslang::TInputScanner scanner(1, strings, lengths);
        scanner.scanVersion(version, profile, notFirstToken);
    }
    if (version == 0) {
        version = target == Target::Gles ? 100 : target == Target::Vulkan ? 450 : 110;
        profile = ENoProfile;
    }
    c.version = version;
    switch (profile) {
        case ECoreProfile:
            c.profile = Profile::Core;
            break;
        case ECompatibilityProfile:
            c.profile = Profile::Compatibility;
            break;
        case EEsProfile:
            c.profile = Profile::Es;
            break;
        default:
            c.profile = Profile::None;
            break;
    }
    complete(c, profile != ENoProfile);
    return c;
}

LanguageContext detectContext(QStringView source, Target target, Stage stage) {
    // Only the first directive can be the #version line that counts: the text up to the end of
    // the first line naming it is enough, however long the rest.
    const qsizetype at = source.indexOf(u"#version");
    qsizetype end = at < 0 ? 4096 : source.indexOf(u'\n', at);
    if (end < 0)
        end = source.size();
    return detectContext(toWin1252Lossy(source.left(end)), target, stage);
}

std::optional<Stage> stageForExtension(QStringView extension) {
    for (int i = 0; i < kStageCount; ++i) {
        if (extension == QLatin1StringView(kExtensions[i]))
            return Stage(i);
    }
    return std::nullopt;
}

QString stageExtension(Stage stage) {
    return QString::fromLatin1(kExtensions[int(stage)]);
}

bool stageAvailable(Target target, Stage stage) {
    return target == Target::Vulkan || stage <= Stage::Compute;
}

QString describe(const LanguageContext& c) {
    static const char* const profiles[] = {"", " core", " compatibility", " es"};
    return QString::number(c.version) + QLatin1StringView(profiles[int(c.profile)]) +
           QStringLiteral(", ") + stageExtension(c.stage);
}

}  // namespace tessory::glsl
