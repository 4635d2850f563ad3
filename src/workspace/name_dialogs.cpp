// SPDX-License-Identifier: MIT
#include "workspace/name_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tessory {

NameDialog::NameDialog(QWidget* parent, Prompter& prompter, const QString& currentName,
                       NameCheck check, NameDialogTexts texts, const QString& title,
                       const QString& label, QSize client)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      currentName_(currentName),
      prompter_(prompter),
      check_(std::move(check)),
      texts_(std::move(texts)) {
    setWindowTitle(title);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(client);

    Label1 = new QLabel(label, this);
    Label1->move(16, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 40, 217, 21);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setGeometry(152, 80, 75, 25);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setGeometry(24, 80, 75, 25);
    // Neither button is the default: Enter in the name field is the only key that confirms.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(Edit1, &QLineEdit::returnPressed, this, &NameDialog::Button1Click);
    connect(Button1, &QPushButton::clicked, this, &NameDialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &NameDialog::Button2Click);
}

void NameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    firstShow();
}

void NameDialog::firstShow() {
    Edit1->setText(currentName_);
    Edit1->setFocus();
}

void NameDialog::Button1Click() {
    const QString typed = Edit1->text();
    switch (check_(typed)) {
        case NameVerdict::Invalid:
            prompter_.showMessage(this, QMessageBox::Critical, texts_.invalidName, QMessageBox::Ok);
            return;
        case NameVerdict::Exists:
            prompter_.showMessage(this, QMessageBox::Information, texts_.fileExists,
                                  QMessageBox::Ok);
            return;
        case NameVerdict::Accept:
            break;
    }
    chosenName_ = typed;
    accept();
}

void NameDialog::Button2Click() {
    reject();
}

TForm_New::TForm_New(QWidget* parent, Prompter& prompter, const QString& currentName,
                     NameCheck check, NameDialogTexts texts)
    : NameDialog(parent, prompter, currentName, std::move(check), std::move(texts),
                 QStringLiteral("New Shader File"), QStringLiteral("FileName:"), QSize(249, 126)) {
    setObjectName(QStringLiteral("Form_New"));
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
}

TForm_Rename::TForm_Rename(QWidget* parent, Prompter& prompter, const QString& currentName,
                           NameCheck check, NameDialogTexts texts)
    : NameDialog(parent, prompter, currentName, std::move(check), std::move(texts),
                 QStringLiteral("Rename Shader"), QStringLiteral("New FileName:"),
                 QSize(243, 123)) {
    setObjectName(QStringLiteral("Form_Rename"));
    setTabOrder(Edit1, Button2);
    setTabOrder(Button2, Button1);
}

}  // namespace tessory
