// SPDX-License-Identifier: MIT
#pragma once

#include "check/workspace_check.h"
#include "compile/gl_context.h"

#include <QList>

#include <memory>

namespace tessory {

// One pair or one file to compile; exactly one of the two is set. The checks stay where they
// are while the run fills them in.
struct CompileTask {
    PairCheck* pair = nullptr;
    FileCheck* file = nullptr;
};

// Whether the run ended with a thread still inside the driver. The process must then end without
// tearing down the driver under it (std::_Exit once the report is out).
struct RunnerResult {
    bool driverStillRunning = false;
};

// Compiles the tasks on `threads` threads, handing them out in order. The first thread compiles
// on `first` (made, and not current anywhere) from the start; each other thread makes a sibling
// of it for itself meanwhile, and one that cannot takes no task. Which thread compiles which task
// changes nothing in the results. A task on which the driver takes longer than timeoutSeconds is
// reported as not checked, and no further task is started: those are reported as not checked
// too, the ones under way are waited for (each within its own limit). The contexts of threads
// left inside the driver are let go of without being destroyed.
RunnerResult runCompileTasks(const QList<CompileTask>& tasks, std::unique_ptr<GlContext> first,
                             int threads, double timeoutSeconds);

}  // namespace tessory
