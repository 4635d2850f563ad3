// SPDX-License-Identifier: MIT
#include "compile/gl_contexts.h"

#include <mutex>

namespace tessory {
namespace {

// GlContext::createFor looks for a display and loads the driver: one thread at a time.
std::mutex& creation() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

void ThreadContexts::adopt(std::unique_ptr<GlContext> context) {
    const std::size_t slot = std::size_t(context->profile());
    contexts_[slot] = std::move(context);
    failures_[slot].clear();
}

const GlContext* ThreadContexts::current(GlProfile profile, QString& why) {
    const std::size_t slot = std::size_t(profile);
    if (!contexts_[slot] && failures_[slot].isEmpty()) {
        GlContextResult made;
        if (base_ != nullptr) {
            made = base_->otherProfile(profile);
        } else {
            const std::lock_guard lock(creation());
            made = GlContext::createFor(profile);
        }
        if (made.context) {
            // Made current where it was made: this thread.
            current_ = made.context.get();
            contexts_[slot] = std::move(made.context);
        } else {
            failures_[slot] = made.failure;
            current_ = nullptr;
        }
    }
    if (!contexts_[slot]) {
        why = failures_[slot];
        return nullptr;
    }
    if (current_ != contexts_[slot].get()) {
        if (!contexts_[slot]->makeCurrent()) {
            why = QStringLiteral("the context cannot be made current");
            current_ = nullptr;
            return nullptr;
        }
        current_ = contexts_[slot].get();
    }
    return current_;
}

void ThreadContexts::release() {
    if (current_ != nullptr) {
        current_->releaseCurrent();
        current_ = nullptr;
    }
}

}  // namespace tessory
