// SPDX-License-Identifier: MIT
#pragma once

#include "check/workspace_check.h"
#include "compile/gl_context.h"
#include "compile/program_engine.h"

#include <QList>
#include <QString>

#include <functional>
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
    // Why fewer threads compiled than the run was given (a thread that could not be started, a
    // context that could not be made); empty when every one did.
    QString shortOfThreads;
};

// Told of each task as a thread takes it and as its outcome is put in place (a task the run gave
// up on included), from the compiling threads and the run's own, never two at once.
struct TaskObserver {
    std::function<void(qsizetype task)> started;
    std::function<void(qsizetype task, const CompileOutcome& outcome)> finished;
};

// Past this many threads a processor, a thread adds its context's memory and nothing else.
inline constexpr int kThreadsPerProcessor = 2;

// The threads to compile `tasks` tasks on when `jobs` are asked for: at least one, never more
// than there are tasks or kThreadsPerProcessor a processor.
int compileThreadCount(int jobs, qsizetype tasks);

// Compiles the tasks on `threads` threads with the engine, handing them out in order. The first
// thread compiles on `first` (made, and not current anywhere) from the start; each other thread
// makes a sibling of it for itself meanwhile. One that cannot, like a thread that cannot be
// started, takes no task and is said in shortOfThreads; tasks that no thread took are reported as
// not checked. Contexts of the other profiles each thread makes when a task first needs one;
// without `first` (a run for Vulkan) every context is made only when a task needs it.
// Which thread compiles which task changes nothing in the results. A task on which the driver takes
// longer than timeoutSeconds is reported as not checked, and no further task is started: those are
// reported as not checked too, the ones under way are waited for (each within its own limit). The
// contexts of threads left inside the driver are let go of without being destroyed.
RunnerResult runCompileTasks(const QList<CompileTask>& tasks, std::unique_ptr<GlContext> first,
                             int threads, double timeoutSeconds, const CompileEngine& engine,
                             const TaskObserver& observer = {});

}  // namespace tessory
