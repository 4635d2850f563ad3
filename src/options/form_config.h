// SPDX-License-Identifier: MIT
#pragma once

#include "options/config_rules.h"
#include "options/settings.h"
#include "ui/prompter.h"

#include <QDialog>
#include <QStringList>

#include <utility>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace tessory {

// The options dialog: highlight colours and effects, the stage extensions and automatic saving.
// It does not block the window that opened it, and it deletes itself when it closes. It edits a
// copy of the settings and hands each change back as it is made: colours, effects and AutoSave
// at once, the extensions on OK, after which it closes only when whoever received them accepts
// it (the user may keep the WorkSpace as it is at the save prompt).
class TForm_Config : public QDialog {
    Q_OBJECT

public:
    TForm_Config(QWidget* parent, const TCFG& settings, Prompter& prompter,
                 const QStringList& messages, bool german);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QCheckBox* CB_Bold = nullptr;
    QCheckBox* CB_Italic = nullptr;
    QCheckBox* CB_underline = nullptr;
    QLabel* Image1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLineEdit* Edit_Vertex = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit_Fragment = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit_Geometry = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Edit_TessControl = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Edit_TessEval = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit_Compute = nullptr;
    QLabel* Label8 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QSpinBox* SpinBox_Compile = nullptr;
    QLabel* Label3 = nullptr;
    QSpinBox* SpinBox_Frame = nullptr;
    QLabel* Label4 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* BT_Cancel = nullptr;
    QPushButton* BT_OK = nullptr;

    // The category shown by the selector (0 to 4), or -1 while its text names none.
    int categoryIndex() const;

    void ComboBox1Change();
    void FillIMG(TColor color);
    void Image1MouseDown();
    void CB_BoldClick();
    void CB_ItalicClick();
    void CB_underlineClick();
    void CheckBox1Click();
    void BT_OKClick();
    void BT_CancelClick();

signals:
    // The highlight formats of every category, after each change and after Cancel.
    void formatsEdited(const CategoryFormats& formats);
    void autoSaveEdited(bool autoSave);
    void timeLimitsEdited(int compileSeconds, int frameSeconds);
    // The user confirmed new extensions; accept() closes the dialog once they are in use.
    void extensionsChosen(const PairExtensions& extensions);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupLayout();
    void restoreState();
    void firstShow();
    void selectorChanged();
    void effectClick(const QCheckBox* box, qint32 bit);
    QMessageBox::StandardButton message(int slot, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons);

    void handFormats();
    void handTimeLimits();
    PairExtensions typedExtensions() const;

    Prompter& prompter_;
    QStringList messages_;  // the message table
    bool german_;
    // The dialog's own copy of what it edits.
    TCFG cfg_;
    // Set until the dialog has been shown: showing the first category then re-applies nothing.
    bool initialising_ = true;
    FormatBackup backup_;
    // Where the colour chooser starts: the colour last chosen in this dialog.
    TColor chooserColor_ = kBlack;
    // The selector state last shown, so that one user choice that Qt announces twice (as a new
    // index and as a new text) is handled once.
    std::pair<int, QString> shownSelection_{-2, QString()};
};

}  // namespace tessory
