// SPDX-License-Identifier: MIT
#include "options/options_controller.h"

#include "options/app_settings.h"
#include "options/form_config.h"
#include "ui/guarded.h"
#include "workspace/workspace_controller.h"

namespace tessory {

OptionsController::OptionsController(AppSettings& settings, WorkspaceController& workspace,
                                     Prompter& prompter, QWidget* owner)
    : QObject(owner),
      settings_(settings),
      workspace_(workspace),
      prompter_(prompter),
      owner_(owner),
      texts_(Texts::of(false)) {}

TForm_Config* OptionsController::dialog() const {
    return dialog_;
}

void OptionsController::Action_ConfigExecute() {
    if (dialog_.isNull()) {
        TCFG current = settings_.values();
        workspace_.storeInto(current);
        dialog_ = new TForm_Config(owner_, current, prompter_, texts_.ui.messages, texts_.german);
        TForm_Config* dialog = dialog_;
        connect(dialog, &TForm_Config::formatsEdited, this, [this](const CategoryFormats& formats) {
            runGuarded(prompter_, owner_, [&] { settings_.setFormats(formats); });
        });
        connect(dialog, &TForm_Config::autoSaveEdited, &settings_, &AppSettings::setAutoSave);
        connect(dialog, &TForm_Config::timeLimitsEdited, &settings_, &AppSettings::setTimeLimits);
        connect(dialog, &TForm_Config::extensionsChosen, this,
                [this, dialog](const PairExtensions& extensions) {
                    if (workspace_.changeExtensions(extensions)) {
                        dialog->accept();
                    }
                });
        // The dialog deletes itself later; a "Configuration" before that must make a new one.
        connect(dialog, &QDialog::finished, this, [this] { dialog_ = nullptr; });
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

}  // namespace tessory
