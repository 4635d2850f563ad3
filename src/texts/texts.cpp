// SPDX-License-Identifier: MIT
#include "texts/texts.h"

namespace tessory {

Texts Texts::of(bool german) {
    return {german, *languageTexts(german ? LanguageGermanCode : LanguageEnglish),
            editorTexts(german), findTexts(german), previewTexts(german)};
}

}  // namespace tessory
