// SPDX-License-Identifier: MIT
#include "ui/help_commands.h"

#include "ui/form_info.h"
#include "ui/prompter.h"

#include <QUrl>

namespace tessory {

HelpCommands::HelpCommands(Prompter& prompter, QWidget* owner)
    : QObject(owner), prompter_(prompter), owner_(owner) {}

void HelpCommands::openUrl(const QString& address) {
    // Without a browser there is nothing the user could do about it, so nothing is said.
    prompter_.openUrl(QUrl(address));
}

void HelpCommands::Action_hpExecute() {
    openUrl(kHomepageAddress);
}

void HelpCommands::Action_infoExecute() {
    // A fresh box every time, gone when the command ends.
    TForm_Info box([this](const QString& address) { openUrl(address); }, owner_);
    prompter_.execDialog(box);
}

}  // namespace tessory
