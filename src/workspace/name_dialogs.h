// SPDX-License-Identifier: MIT
#pragma once

#include "texts/prompter.h"
#include "workspace/name_rules.h"

#include <QDialog>

#include <functional>

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

// The small modal dialog that asks for a pair's base name. It talks to its command through the
// current pair name: it shows that name and writes the accepted one back into it.
class NameDialog : public QDialog {
    Q_OBJECT

public:
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;  // OK
    QPushButton* Button2 = nullptr;  // Cancel

    void Button1Click();
    void Button2Click();

protected:
    NameDialog(QWidget* parent, Prompter& prompter, QString& currentFileName, NameCheck check,
               NameDialogTexts texts, const QString& title, const QString& label, QSize client);
    void showEvent(QShowEvent* event) override;
    // What Cancel does to the current name.
    virtual void cancelName() = 0;

    QString& currentFileName_;

private:
    void FormShow();

    Prompter& prompter_;
    NameCheck check_;
    NameDialogTexts texts_;
};

// "New Shader File": Cancel leaves no name.
class TForm_New final : public NameDialog {
    Q_OBJECT

public:
    TForm_New(QWidget* parent, Prompter& prompter, QString& currentFileName, NameCheck check,
              NameDialogTexts texts);

protected:
    void cancelName() override;
};

// "Rename Shader": Cancel keeps the name.
class TForm_Rename final : public NameDialog {
    Q_OBJECT

public:
    TForm_Rename(QWidget* parent, Prompter& prompter, QString& currentFileName, NameCheck check,
                 NameDialogTexts texts);

protected:
    void cancelName() override;
};

}  // namespace tessory
