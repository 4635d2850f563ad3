// SPDX-License-Identifier: MIT
#include "support/scripted_prompter.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace tessory::testing {

QStringList ScriptedPrompter::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages) {
        texts.append(m.text);
    }
    return texts;
}

QMessageBox::StandardButton ScriptedPrompter::showMessage(QWidget* owner, QMessageBox::Icon icon,
                                                          const QString& text,
                                                          QMessageBox::StandardButtons buttons) {
    messages.append(
        {owner, owner != nullptr ? owner->objectName() : QString(), icon, text, buttons, {}});
    if (onMessage) {
        onMessage(messages.last());
    }
    if (!answers.empty()) {
        const QMessageBox::StandardButton answer = answers.front();
        answers.pop_front();
        EXPECT_TRUE(buttons.testFlag(answer))
            << "scripted answer not offered: " << text.toStdString();
        return answer;
    }
    if (buttons == QMessageBox::Ok) {
        return QMessageBox::Ok;
    }
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
}

int ScriptedPrompter::askChoice(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                const QStringList& choices) {
    messages.append({owner, owner != nullptr ? owner->objectName() : QString(), icon, text,
                     QMessageBox::NoButton, choices});
    if (onMessage) {
        onMessage(messages.last());
    }
    if (choiceAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return -1;
    }
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

int ScriptedPrompter::execDialog(QDialog& dialog) {
    ++dialogsShown;
    if (dialogScripts.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
        return QDialog::Rejected;
    }
    const auto script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    // Shown without a nested event loop: the script plays the user, and the dialog's result is
    // what the user's clicks made it.
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    script(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "dialog left open: " << dialog.windowTitle().toStdString();
        dialog.hide();
    }
    return dialog.result();
}

std::optional<QString> ScriptedPrompter::chooseDirectory(QWidget*, const QString& title,
                                                         const QString& start) {
    directoryRequests.append({title, start});
    if (directories.empty()) {
        ADD_FAILURE() << "unexpected folder chooser: " << title.toStdString();
        return std::nullopt;
    }
    const std::optional<QString> answer = directories.front();
    directories.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompter::chooseSaveFile(QWidget*, const QString&,
                                                        const QString& start, const QString&) {
    saveFileRequests.append(start);
    if (saveFiles.empty()) {
        ADD_FAILURE() << "unexpected file chooser";
        return std::nullopt;
    }
    const std::optional<QString> answer = saveFiles.front();
    saveFiles.pop_front();
    return answer;
}

std::optional<QColor> ScriptedPrompter::chooseColor(QWidget*, const QColor& initial) {
    colorRequests.append(initial);
    if (whileChoosingColor) {
        whileChoosingColor();
    }
    if (colors.empty()) {
        ADD_FAILURE() << "unexpected colour chooser";
        return std::nullopt;
    }
    const std::optional<QColor> answer = colors.front();
    colors.pop_front();
    return answer;
}

bool ScriptedPrompter::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return urlsOpen;
}

}  // namespace tessory::testing
