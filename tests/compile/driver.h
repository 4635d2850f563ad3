// SPDX-License-Identifier: MIT
#pragma once

#include "compile/gl_context.h"

#include <gtest/gtest.h>

namespace tessory::testing {

// The real driver, made once for the whole test program. The tests that use it fail, never skip,
// when no context can be made: compiling is what they check.
class RealDriver : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    static const GlContext& context() { return *result().context; }
    static const ArbApi& gl() { return context().arb(); }

private:
    static GlContextResult& result();
};

}  // namespace tessory::testing
