#include "app/icons.h"

namespace tessory {

QIcon commandIcon(const QString& name) {
    const QIcon own(QStringLiteral(":/icons/%1.png").arg(name));
    if (name.startsWith(QStringLiteral("shader-")) || !QIcon::hasThemeIcon(name)) {
        return own;
    }
    // A theme may list an icon it cannot draw (an SVG without the SVG plug-in): never show blank.
    const QIcon themed = QIcon::fromTheme(name);
    return themed.pixmap(16, 16).isNull() ? own : themed;
}

}  // namespace tessory
