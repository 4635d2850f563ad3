// SPDX-License-Identifier: MIT
// The options side of the main window: the options dialog and what its changes do to the window.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "editor/code_edit.h"
#include "options/form_config.h"

#include <QListWidget>

namespace tessory {

void TForm_Master::Action_ConfigExecute() {
    if (optionsDialog_.isNull()) {
        ConfigHost host;
        host.settings = settings();
        host.prompter = env_.prompter;
        host.messages = messages_;
        host.german = german_;
        host.applyFormats = [this](const CategoryFormats& formats) {
            guarded([&] { applyFormats(formats); });
        };
        host.setAutoSave = [this](bool autoSave) { settings_.AutoSaveOnChange = autoSave; };
        host.changeExtensions = [this](const QString& vertexExt, const QString& fragmentExt) {
            bool changed = false;
            guarded([&] { changed = changeExtensions(vertexExt, fragmentExt); });
            return changed;
        };
        optionsDialog_ = new TForm_Config(this, std::move(host));
        // The dialog deletes itself later; a "Configuration" before that must make a new one.
        connect(optionsDialog_, &QDialog::finished, this, [this] { optionsDialog_ = nullptr; });
    }
    optionsDialog_->show();
    optionsDialog_->raise();
    optionsDialog_->activateWindow();
}

void TForm_Master::applyFormats(const CategoryFormats& formats) {
    for (int i = 0; i < kCategoryCount; ++i) {
        fontColor(settings_, Category(i)) = formats[i].color;
        textEffects(settings_, Category(i)) = formats[i].effects;
    }
    for (const PairSide side : kPairSides) {
        pane(side).setFormats(formats);
    }
}

bool TForm_Master::changeExtensions(const QString& vertexExt, const QString& fragmentExt) {
    // The open pair is saved under the extensions it was loaded with.
    if (!maybeSave()) {
        return false;
    }
    closeOpenPair();
    openPair_.setExtensions({vertexExt, fragmentExt});
    reopenWorkspace();
    return true;
}

}  // namespace tessory
