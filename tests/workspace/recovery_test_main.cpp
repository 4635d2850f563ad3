// SPDX-License-Identifier: MIT
#include "recovery_support.h"
#include "workspace/recovery_writer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

using namespace tessory;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], recovery_test::kHoldArgument) == 0) {
        // Another editor's process, through the writer as the editor's would be.
        RecoveryStore store(QString::fromLocal8Bit(argv[2]));
        RecoveryWriter writer(store);
        writer.update(QString::fromLocal8Bit(argv[3]), {QString::fromUtf8(argv[4])}, {});
        writer.waitForIdle();
        std::puts(writer.error().isEmpty() ? "ready" : "failed");
        std::fflush(stdout);
        for (;;) {
            pause();
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
