// SPDX-License-Identifier: MIT
#include "preview/render_api.h"

#include <EGL/egl.h>

namespace tessory {

QStringList resolveRenderApi(RenderApi& gl) {
    QStringList missing;
#define TESSORY_RESOLVE(name)                                                \
    gl.name = reinterpret_cast<decltype(&::name)>(eglGetProcAddress(#name)); \
    if (gl.name == nullptr) {                                                \
        missing << QStringLiteral(#name);                                    \
    }
    TESSORY_RENDER_FUNCTIONS(TESSORY_RESOLVE)
#undef TESSORY_RESOLVE
    return missing;
}

}  // namespace tessory
