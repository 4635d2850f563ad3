// SPDX-License-Identifier: MIT
#pragma once

#include "compile/compile_and_link.h"
#include "compile/driver_messages.h"

#include <QStringList>

namespace tessory::testing {

// The error list an editor run shows, as texts.
inline QStringList shownEntries(const CompileResult& run) {
    QStringList shown;
    for (const DriverMessage& m : errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog)) {
        shown.append(m.shown);
    }
    return shown;
}

}  // namespace tessory::testing
