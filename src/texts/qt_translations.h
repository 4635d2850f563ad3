// SPDX-License-Identifier: MIT
#pragma once

#include <QTranslator>

namespace tessory {

// Qt's own German texts (message box buttons, file and colour choosers), installed on the
// application for as long as the object lives, so that they match the program's German texts.
class QtGermanTranslations {
public:
    QtGermanTranslations();
    ~QtGermanTranslations();
    QtGermanTranslations(const QtGermanTranslations&) = delete;
    QtGermanTranslations& operator=(const QtGermanTranslations&) = delete;

    // False when Qt's translation files are not installed: Qt then speaks English.
    bool installed() const { return installed_; }

private:
    QTranslator translator_;
    bool installed_ = false;
};

}  // namespace tessory
