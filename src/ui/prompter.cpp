// SPDX-License-Identifier: MIT
#include "ui/prompter.h"

#include "texts/ui_texts.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>

namespace tessory {

QMessageBox::StandardButton QtPrompter::showMessage(QWidget* owner, QMessageBox::Icon icon,
                                                    const QString& text,
                                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, kProgramTitle, displayText(text), buttons, owner);
    return QMessageBox::StandardButton(box.exec());
}

int QtPrompter::askChoice(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                          const QStringList& choices) {
    QMessageBox box(icon, kProgramTitle, displayText(text), QMessageBox::NoButton, owner);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    }
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
        box.setEscapeButton(buttons.first());
    }
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

int QtPrompter::execDialog(QDialog& dialog) {
    return dialog.exec();
}

std::optional<QString> QtPrompter::chooseDirectory(QWidget* owner, const QString& title,
                                                   const QString& start) {
    // Qt's own dialog, so that the new-folder button is there on every desktop.
    const QString dir = QFileDialog::getExistingDirectory(
        owner, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dir.isEmpty()) {
        return std::nullopt;
    }
    return dir;
}

std::optional<QColor> QtPrompter::chooseColor(QWidget* owner, const QColor& initial) {
    const QColor color = QColorDialog::getColor(initial, owner);
    if (!color.isValid()) {
        return std::nullopt;
    }
    return color;
}

std::optional<QString> QtPrompter::chooseSaveFile(QWidget* owner, const QString& title,
                                                  const QString& start, const QString& filter) {
    const QString file = QFileDialog::getSaveFileName(owner, title, start, filter, nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return file;
}

bool QtPrompter::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace tessory
