// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"
#include "compile/live_check.h"
#include "compile/program_engine.h"

#include <functional>

namespace tessory {

class DriverHostServer;

// The panes' stages as the engine takes them, in the panes' order.
QList<StageSource> engineStages(const QList<LiveStage>& stages);

// The compile of a program through the compile engine, for the target asked for, with each
// message placed in the pane whose text it is about: a message about an included file goes to
// the #include line that brought it in.
LiveCheckReply checkProgram(const LiveCheckRequest& request, const IncludeResolver& includes,
                            GlContextSource& contexts);

// The host's live compiles: the engine on contexts of every profile, made beside a first one
// from makeContext when the first check comes. Without a context every check fails with the
// reason.
void serveChecks(DriverHostServer& server, std::function<GlContextResult()> makeContext);

}  // namespace tessory
