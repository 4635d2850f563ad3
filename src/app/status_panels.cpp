// SPDX-License-Identifier: MIT
#include "app/status_panels.h"

#include "app/elided_label.h"

#include <QStatusBar>

namespace tessory {

StatusPanels StatusPanels::addTo(QStatusBar* bar) {
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    // The caret and mode panels elide their ends and the path its middle, so that both ends of a
    // path stay readable.
    StatusPanels panels;
    ElidedLabel** each[] = {&panels.caret, &panels.mode, &panels.path};
    for (int i = 0; i < 3; ++i) {
        *each[i] = new ElidedLabel(i == 2 ? Qt::ElideMiddle : Qt::ElideRight);
        (*each[i])->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // The WorkSpace path takes whatever room the first two panels leave.
        bar->addWidget(*each[i], i == 2 ? 1 : 0);
    }
    // The path has no width of its own to ask for, so it must be free to grow into that room.
    panels.path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Room for a caret in a file of a million lines; the mode panel fits its texts once they are
    // known.
    panels.caret->fitTexts({QStringLiteral("Cursor: 000000 : 0000")});
    return panels;
}

}  // namespace tessory
