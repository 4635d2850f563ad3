// SPDX-License-Identifier: MIT
#pragma once

#include "texts/editor_texts.h"
#include "texts/find_texts.h"
#include "texts/preview_texts.h"
#include "texts/ui_texts.h"

namespace tessory {

// Every text of the interface in one language: the message table with the window's captions,
// the editor's, the find bar's and the preview's. Chosen once at start-up and handed to whoever
// shows a text.
struct Texts {
    bool german = false;
    LanguageTexts ui;
    EditorTexts editor;
    FindTexts find;
    PreviewTexts preview;

    // The English texts, or the German ones.
    static Texts of(bool german);

    const QString& message(MessageSlot slot) const { return ui.messages[slot]; }
    const LanguageTexts::Extra& extra() const { return ui.extra; }
};

}  // namespace tessory
