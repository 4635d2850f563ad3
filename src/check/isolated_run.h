// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "check/check_plan.h"

#include <QString>

namespace tessory {

// What compiling the planned results in child processes gave, beside the outcomes put in place.
struct IsolatedRun {
    // Why there is no driver at all; the run then reports nothing.
    QString failure;
    DriverInfo driver;
    // Why fewer threads compiled than asked for; empty when every one did.
    QString shortOfThreads;
    // Where no child could be made, the tasks were compiled in this process, and a thread may
    // still be inside the driver: the process must then end without tearing the driver down.
    bool driverStillRunning = false;
};

// Compiles every task of the results in a child process that loads the driver, so that a driver
// that crashes on one shader takes only that child with it: the shader it was compiling is
// reported as not checked, the driver stopped by a signal, and the rest are compiled by a new
// child. Where several shaders were under way when it crashed, each of them is compiled again on
// its own, and the one that crashes again is the one reported. The child's threads, time limits
// and read-ahead work as a run in one process does. Where no child can be made (a limit on
// processes), the tasks are compiled in this process, as they were before.
IsolatedRun compileIsolated(CheckResults& results, const CheckOptions& options);

}  // namespace tessory
