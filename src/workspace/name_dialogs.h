// SPDX-License-Identifier: MIT
#pragma once

#include "ui/prompter.h"
#include "workspace/name_rules.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessory {

// What a name dialog says when it refuses a name.
struct NameDialogTexts {
    QString fileExists;   // "File already exists!"
    QString invalidName;  // "Invalid shader name!"
};

using NameCheck = std::function<NameVerdict(const QString& typed)>;

// The small modal dialog that asks for a pair's base name: it shows the current name and, once the
// user confirms a name its check accepts, hands that name back.
class NameDialog : public QDialog {
    Q_OBJECT

public:
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;  // OK
    QPushButton* Button2 = nullptr;  // Cancel

    void Button1Click();
    void Button2Click();

    // The name the user confirmed; nothing when the dialog was cancelled or closed.
    const std::optional<QString>& chosenName() const { return chosenName_; }

protected:
    NameDialog(QWidget* parent, Prompter& prompter, const QString& currentName, NameCheck check,
               NameDialogTexts texts, const QString& title, const QString& label, QSize client);
    void showEvent(QShowEvent* event) override;

private:
    void firstShow();

    QString currentName_;
    std::optional<QString> chosenName_;
    Prompter& prompter_;
    NameCheck check_;
    NameDialogTexts texts_;
};

// "New Shader File".
class TForm_New final : public NameDialog {
    Q_OBJECT

public:
    TForm_New(QWidget* parent, Prompter& prompter, const QString& currentName, NameCheck check,
              NameDialogTexts texts);
};

// "Rename Shader".
class TForm_Rename final : public NameDialog {
    Q_OBJECT

public:
    TForm_Rename(QWidget* parent, Prompter& prompter, const QString& currentName, NameCheck check,
                 NameDialogTexts texts);
};

// Shows a name dialog modally through the prompter: the name the user confirmed, or nothing.
template <class Dialog>
std::optional<QString> askPairName(QWidget* parent, Prompter& prompter, const QString& currentName,
                                   NameCheck check, NameDialogTexts texts) {
    Dialog dialog(parent, prompter, currentName, std::move(check), std::move(texts));
    prompter.execDialog(dialog);
    return dialog.chosenName();
}

}  // namespace tessory
