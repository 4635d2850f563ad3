// SPDX-License-Identifier: MIT
#pragma once

#include "texts/texts.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace tessory {

class AppSettings;
class Prompter;
class TForm_Config;
class WorkspaceController;

// "Configuration": the options dialog on a copy of the settings, its changes taken into the
// settings as the user makes them and new extensions into the WorkSpace.
class OptionsController : public QObject {
    Q_OBJECT
public:
    OptionsController(AppSettings& settings, WorkspaceController& workspace, Prompter& prompter,
                      QWidget* owner);

    void setTexts(const Texts& texts) { texts_ = texts; }
    // The dialog while it is open; a closed one lingers until its deletion runs.
    TForm_Config* dialog() const;

    void Action_ConfigExecute();

private:
    AppSettings& settings_;
    WorkspaceController& workspace_;
    Prompter& prompter_;
    QWidget* owner_;
    Texts texts_;
    QPointer<TForm_Config> dialog_;
};

}  // namespace tessory
