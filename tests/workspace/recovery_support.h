// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/recovery_store.h"

#include <QDir>
#include <QString>

namespace tessory::recovery_test {

// Started from the test program with this argument, FOLDER, FILE and TEXT, the program keeps TEXT
// for FILE in the recovery store at FOLDER, says "ready" and waits to be killed.
inline constexpr char kHoldArgument[] = "--hold-recovery";

// A store whose owner has ended (or simply let go of it, which looks the same to the others).
inline void leaveBehind(const QString& folder, const QString& path, const ShaderText& text,
                        const FileStamp& base = {}) {
    RecoveryStore store(folder);
    store.write({path, base, text, 4242, QDateTime::currentDateTimeUtc()});
}

}  // namespace tessory::recovery_test
