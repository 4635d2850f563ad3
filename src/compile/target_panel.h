// SPDX-License-Identifier: MIT
#pragma once

#include "compile/program_setup.h"
#include "texts/texts.h"

#include <QLabel>

#include <optional>

class QAction;
class QActionGroup;
class QMenu;

namespace tessory {

// The status bar's panel of the target the open program is compiled for. A click offers the
// targets, and "Automatic" for the one the project file or the program's #version gives. A
// label like the other panels, so that the status bar keeps its height.
class TargetPanel : public QLabel {
    Q_OBJECT
public:
    explicit TargetPanel(QWidget* parent = nullptr);

    void setTexts(const Texts& texts);
    // The setup now, and the target the user chose for the program (nothing for automatic).
    void showSetup(const ProgramSetup& setup, std::optional<Target> chosen);

signals:
    void targetChosen(std::optional<Target> target);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateTip();

    Texts texts_;
    QMenu* menu_;
    QActionGroup* choices_;
    QAction* automatic_;
    QList<QAction*> targets_;
    std::optional<ProgramSetup> setup_;
};

}  // namespace tessory
