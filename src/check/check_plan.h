// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_config.h"
#include "check/check_options.h"
#include "check/check_report.h"
#include "check/check_runner.h"
#include "compile/gl_context.h"

#include <QString>

namespace tessory {

// The arguments as they will be reported, nothing compiled yet; or the reason the run cannot
// start (a directory that cannot be read), which is a usage error.
struct CheckPlan {
    CheckResults results;
    QString failure;
};

// Scans every WorkSpace (and with -r every subdirectory but hidden ones and links, each a
// WorkSpace of its own when it holds any shader file), takes in standard input, and lists every
// file argument, each with the project file nearest to it; a project file that cannot be used is
// a failure.
CheckPlan planCheck(const CheckOptions& options, CheckConfig& config);

// Why the --archive target must not be written: it is one of the WorkSpace's shader files (the
// same file by device and inode, whatever the path says). Empty when it may be written.
QString archiveTargetProblem(const QString& archiveOut, const WorkspaceCheck& check);

// Reads the sources of every argument ahead, in report order, within one limit for all.
void readAhead(CheckResults& results, ReadAheadLimit limit);

// The driver a run compiles on, as far as the plan needs to know it.
struct DriverStages {
    QString renderer;
    QString version;
    QList<ShaderStage> supported;  // those of the compatibility context
};
DriverStages driverStages(const GlContext& context);

// Takes out the files of stages the driver cannot compile, with one problem a stage, so that
// they are not failed one by one.
void setAsideUnsupportedStages(CheckResults& results, const DriverStages& driver);

// Every pair and file to compile, in report order.
QList<CompileTask> compileTasks(CheckResults& results);

}  // namespace tessory
