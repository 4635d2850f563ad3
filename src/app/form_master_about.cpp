// SPDX-License-Identifier: MIT
// The Help menu of the main window: the homepage and the about box.
#include "app/form_master.h"

#include "ui/form_info.h"

#include <QUrl>

namespace tessory {

void TForm_Master::openUrl(const QString& address) {
    // Without a browser there is nothing the user could do about it, so nothing is said.
    env_.prompter->openUrl(QUrl(address));
}

void TForm_Master::Action_hpExecute() {
    openUrl(kHomepageAddress);
}

void TForm_Master::Action_infoExecute() {
    // A fresh box every time, gone when the command ends.
    TForm_Info box([this](const QString& address) { openUrl(address); }, this);
    env_.prompter->execDialog(box);
}

}  // namespace tessory
