// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QDialog;
class QWidget;

namespace tessory {

// Every modal question, dialog, chooser and browser request of the program goes through here, so
// that tests can answer them without a window ever blocking.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A modal message box titled "GLSL Tessory"; returns the button the user chose.
    virtual QMessageBox::StandardButton showMessage(QWidget* owner, QMessageBox::Icon icon,
                                                    const QString& text,
                                                    QMessageBox::StandardButtons buttons) = 0;

    // A modal question titled "GLSL Tessory" whose buttons carry the given texts, the first one
    // the default and the answer to Escape; returns the index of the chosen one, or -1 when the
    // box was closed without one.
    virtual int askChoice(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                          const QStringList& choices) = 0;

    // Shows a dialog modally and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;

    // A modal directory chooser; nothing when the user cancels.
    virtual std::optional<QString> chooseDirectory(QWidget* owner, const QString& title,
                                                   const QString& start) = 0;

    // The platform's colour chooser; nothing when the user cancels.
    virtual std::optional<QColor> chooseColor(QWidget* owner, const QColor& initial) = 0;

    // A modal chooser of a file to write, which asks before an existing file is replaced;
    // nothing when the user cancels.
    virtual std::optional<QString> chooseSaveFile(QWidget* owner, const QString& title,
                                                  const QString& start, const QString& filter) = 0;

    // Opens a web address in the user's browser; false when nothing could open it.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The real thing: Qt's message boxes, dialogs and desktop services.
class QtPrompter final : public Prompter {
public:
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

inline const QString kProgramTitle = QStringLiteral("GLSL Tessory");

}  // namespace tessory
