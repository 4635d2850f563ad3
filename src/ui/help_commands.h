// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QWidget;

namespace tessory {

class Prompter;

// The Help menu: the homepage in the user's browser and the about box.
class HelpCommands : public QObject {
    Q_OBJECT
public:
    HelpCommands(Prompter& prompter, QWidget* owner);

    void Action_hpExecute();
    void Action_infoExecute();

private:
    void openUrl(const QString& address);

    Prompter& prompter_;
    QWidget* owner_;
};

}  // namespace tessory
