// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tessory {

// The small window that shows a long task moving on: the WorkSpace test and the archive. It has no
// behaviour of its own; the command that shows it sets its label and bar.
class TForm_Progress : public QWidget {
    Q_OBJECT

public:
    // Owned by `owner` and centred on it when shown; without an owner, centred on the screen.
    explicit TForm_Progress(QWidget* owner);

    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* owner_;
};

}  // namespace tessory
