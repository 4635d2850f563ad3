// SPDX-License-Identifier: MIT
#include "app/hints.h"

#include <QApplication>
#include <QStyle>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

// The application already has children of its own (its event dispatcher, at least) before the
// hint timing is installed; they must not be taken for it.
TEST(HintTiming, HintsWakeUpAfterOneSecondAndTheTimingIsInstalledOnce) {
    ASSERT_FALSE(qApp->children().isEmpty());
    installHintTiming(*qApp);
    const QStyle* style = qApp->style();
    EXPECT_EQ(style->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1000);
    installHintTiming(*qApp);
    EXPECT_EQ(qApp->style(), style);
}

}  // namespace
