// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace tessory {

// The maker's homepage, opened by the Help command and by the about box's link. A reserved
// example domain: the address stands for the real one without naming anything that exists.
inline const QString kHomepageAddress =
    QStringLiteral("https://www.brimvale.example/glsl-tessory/");

// What the homepage link shows: the homepage's host name.
QString homepageHost();

// "Version " and the program's file version.
QString versionText();

// The about box: the picture, the version, a few lines of information and the homepage link, on
// a borderless window that only its "Ok" button closes.
class TForm_Info : public QDialog {
    Q_OBJECT

public:
    // openUrl opens a web address; the link hands it the homepage. The box is centred over owner.
    TForm_Info(std::function<void(const QString&)> openUrl, QWidget* owner);

    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Bevel2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label5 = nullptr;
    QFrame* Bevel3 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void firstShow();
    void Label5Click();
    void Button1Click();

    std::function<void(const QString&)> openUrl_;
};

}  // namespace tessory
