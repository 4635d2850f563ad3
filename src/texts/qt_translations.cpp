// SPDX-License-Identifier: MIT
#include "texts/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tessory {

QtGermanTranslations::QtGermanTranslations() {
    // "qtbase" alone: the program uses no Qt module whose texts live elsewhere.
    installed_ = translator_.load(QStringLiteral("qtbase_de"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                 QCoreApplication::installTranslator(&translator_);
}

QtGermanTranslations::~QtGermanTranslations() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

}  // namespace tessory
