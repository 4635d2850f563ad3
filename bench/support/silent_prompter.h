// SPDX-License-Identifier: MIT
#pragma once

#include "ui/prompter.h"

#include <cstdio>

namespace tessory::bench {

// Answers every question with its first harmless button, so nothing waits for a user.
class SilentPrompter : public Prompter {
public:
    QMessageBox::StandardButton showMessage(QWidget*, QMessageBox::Icon, const QString& text,
                                            QMessageBox::StandardButtons) override {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return QMessageBox::Ok;
    }
    int askChoice(QWidget*, QMessageBox::Icon, const QString& text, const QStringList&) override {
        std::fprintf(stderr, "unexpected question: %s\n", qPrintable(text));
        return -1;
    }
    int execDialog(QDialog&) override { return 0; }
    std::optional<QString> chooseDirectory(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&,
                                          const QString&) override {
        return std::nullopt;
    }
    bool openUrl(const QUrl&) override { return false; }
};

}  // namespace tessory::bench
