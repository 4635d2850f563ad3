// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"
#include "compile/program_engine.h"

#include <array>
#include <memory>

namespace tessory {

// The contexts one thread compiles on, one of each profile, each made the first time it is asked
// for: on the display of a base context (siblings cost a fraction of a first context), or with
// GlContext::createFor when there is none. A profile that could not be made is not tried again.
// Used by one thread; destroying it destroys its contexts.
class ThreadContexts : public GlContextSource {
public:
    explicit ThreadContexts(const GlContext* base = nullptr) : base_(base) {}
    ThreadContexts(const ThreadContexts&) = delete;
    ThreadContexts& operator=(const ThreadContexts&) = delete;

    // Takes a context made elsewhere (and not current anywhere) as this thread's of its profile.
    void adopt(std::unique_ptr<GlContext> context);
    const GlContext* current(GlProfile profile, QString& why) override;
    // Leaves the thread with no context current.
    void release();

private:
    const GlContext* base_;
    std::array<std::unique_ptr<GlContext>, 3> contexts_;
    std::array<QString, 3> failures_;
    const GlContext* current_ = nullptr;
};

}  // namespace tessory
