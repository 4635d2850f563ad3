// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QString>

namespace tessory {

// The desktop theme's icon of that freedesktop name where the theme has a usable one, else the
// program's own picture of the same name; names starting with "shader-" are always our own.
QIcon commandIcon(const QString& name);

// The program's own icon, for its windows; the desktop entry names the same pictures.
QIcon applicationIcon();

}  // namespace tessory
