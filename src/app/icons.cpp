// SPDX-License-Identifier: MIT
#include "app/icons.h"

// The icons live in a static library; its resources must be registered before the first use.
static void registerIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace tessory {

QIcon commandIcon(const QString& name) {
    static const bool registered = (registerIcons(), true);
    Q_UNUSED(registered);
    const QIcon own(QStringLiteral(":/icons/%1.png").arg(name));
    if (name.startsWith(QStringLiteral("shader-")) || !QIcon::hasThemeIcon(name)) {
        return own;
    }
    // A theme may list an icon it cannot draw (an SVG without the SVG plug-in): never show blank.
    const QIcon themed = QIcon::fromTheme(name);
    return themed.pixmap(16, 16).isNull() ? own : themed;
}

QIcon applicationIcon() {
    QIcon icon;
    for (const char* size : {"48x48", "256x256"}) {
        icon.addFile(
            QStringLiteral(":/app/%1/example.brimvale.GlslTessory.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace tessory
