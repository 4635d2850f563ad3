// SPDX-License-Identifier: MIT
#pragma once

#include "ui/prompter.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>

namespace tessory::testing {

// Answers every question the program asks from a script and records what was asked. A message
// box that only offers OK is answered without a script; any other question, dialog or chooser
// that the test did not script fails the test and is answered with Cancel, so nothing blocks.
class ScriptedPrompter final : public Prompter {
public:
    struct Message {
        QPointer<QWidget> owner;  // gone once the owning dialog is
        QString ownerName;        // the owner's object name, kept
        QMessageBox::Icon icon;
        QString text;
        QMessageBox::StandardButtons buttons;
        QStringList choices;  // the button texts of askChoice
    };

    QList<Message> messages;
    std::deque<QMessageBox::StandardButton> answers;
    // The indexes chosen in askChoice, in turn.
    std::deque<int> choiceAnswers;
    // Runs while a message box is up, to look at the program at that moment.
    std::function<void(const Message&)> onMessage;

    // Each script plays the user on one dialog; the dialog must be closed when it returns.
    std::deque<std::function<void(QDialog&)>> dialogScripts;
    int dialogsShown = 0;

    struct DirectoryRequest {
        QString title;
        QString start;
    };
    QList<DirectoryRequest> directoryRequests;
    std::deque<std::optional<QString>> directories;

    QList<QColor> colorRequests;
    std::deque<std::optional<QColor>> colors;
    // Runs while the colour chooser is open, as the program's timers and other programs do.
    std::function<void()> whileChoosingColor;

    QStringList saveFileRequests;  // the start of each request
    std::deque<std::optional<QString>> saveFiles;

    QList<QUrl> openedUrls;
    bool urlsOpen = true;

    QStringList messageTexts() const;

    QMessageBox::StandardButton showMessage(QWidget* owner, QMessageBox::Icon icon,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons) override;
    int askChoice(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                  const QStringList& choices) override;
    int execDialog(QDialog& dialog) override;
    std::optional<QString> chooseDirectory(QWidget* owner, const QString& title,
                                           const QString& start) override;
    std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& title,
                                          const QString& start, const QString& filter) override;
    bool openUrl(const QUrl& url) override;
};

}  // namespace tessory::testing
