// SPDX-License-Identifier: MIT
#include "driver.h"

namespace tessory::testing {

GlContextResult& RealDriver::result() {
    static GlContextResult made = GlContext::create();
    return made;
}

void RealDriver::SetUpTestSuite() {
    result();
}

void RealDriver::SetUp() {
    ASSERT_NE(result().context, nullptr) << result().failure.toStdString();
    // A test may have made a context of its own current in between.
    ASSERT_TRUE(result().context->makeCurrent());
}

}  // namespace tessory::testing
