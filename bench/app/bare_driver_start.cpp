// SPDX-License-Identifier: MIT
// A process that loads the driver and makes a context the way the driver host does, and ends:
// what a driver host's start costs at the least. Started by window_bench.
#include "compile/gl_context.h"

#include <cstdio>

int main() {
    const tessory::GlContextResult made = tessory::GlContext::create();
    if (!made.context) {
        std::fprintf(stderr, "%s\n", qPrintable(made.failure));
        return 1;
    }
    return made.context->makeCurrent() ? 0 : 1;
}
