// SPDX-License-Identifier: MIT
// The options side of the main window: the options dialog and what its changes do to the window.
#include "app/form_master.h"

#include "editor/shader_pane.h"

#include "editor/code_edit.h"
#include "options/form_config.h"

#include <QListWidget>

namespace tessory {

void TForm_Master::Action_ConfigExecute() {
    if (Form_Config.isNull()) {
        ConfigHost host;
        host.settings = settings();
        host.prompter = env_.prompter;
        host.messages = MessageTexts;
        host.german = LanguageGerman;
        host.applyFormats = [this](const CategoryFormats& formats) {
            guarded([&] { applyFormats(formats); });
        };
        host.setAutoSave = [this](bool autoSave) { cfg.AutoSaveOnChange = autoSave; };
        host.changeExtensions = [this](const QString& vertexExt, const QString& fragmentExt) {
            bool changed = false;
            guarded([&] { changed = ChangeExtensions(vertexExt, fragmentExt); });
            return changed;
        };
        Form_Config = new TForm_Config(this, std::move(host));
        // The dialog deletes itself later; a "Configuration" before that must make a new one.
        connect(Form_Config, &QDialog::finished, this, [this] { Form_Config = nullptr; });
    }
    Form_Config->show();
    Form_Config->raise();
    Form_Config->activateWindow();
}

void TForm_Master::applyFormats(const CategoryFormats& formats) {
    for (int i = 0; i < kCategoryCount; ++i) {
        fontColor(cfg, Category(i)) = formats[i].color;
        textEffects(cfg, Category(i)) = formats[i].effects;
    }
    FillSearchList(keywordTable, formats);
    for (const PairSide side : kPairSides) {
        pane(side).rehighlight();
    }
}

bool TForm_Master::ChangeExtensions(const QString& vertexExt, const QString& fragmentExt) {
    // The open pair is saved under the extensions it was loaded with.
    if (!CheckFileSave()) {
        return false;
    }
    closeOpenPair();
    openPair_.setExtensions({vertexExt, fragmentExt});
    reopenWorkspace();
    return true;
}

}  // namespace tessory
