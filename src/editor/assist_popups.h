// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_completion.h"
#include "editor/glsl_signature_help.h"

#include <QLabel>
#include <QListWidget>

namespace tessory {

// The list of a completion proposal, over the pane it completes in. It never takes the focus:
// the pane keeps it and hands the list the keys that move in it.
class CompletionPopup : public QListWidget {
    Q_OBJECT
public:
    explicit CompletionPopup(QWidget* pane);

    // The items, the first one current, under (or, without room, over) the caret's rectangle.
    void propose(const glsl::Completion& completion, const QRect& caret);
    const glsl::Completion& completion() const { return completion_; }
    QStringList labels() const;
    QString currentLabel() const;
    void moveCurrent(int rows);

private:
    glsl::Completion completion_;
};

// The overloads of the call the caret is in, one at a time, its current argument in bold.
class SignaturePopup : public QLabel {
    Q_OBJECT
public:
    explicit SignaturePopup(QWidget* pane);

    // A new proposal keeps the overload picked for the same function unless it has too few
    // parameters for the argument.
    void propose(const glsl::SignatureHelp& help, const QRect& caret);
    const glsl::SignatureHelp& help() const { return help_; }
    int overload() const { return overload_; }
    void cycle(int step);

private:
    void render();

    glsl::SignatureHelp help_;
    int overload_ = 0;
    QRect caret_;
};

// Puts a popup of the pane under the caret's rectangle, or over it where the pane ends.
void placeBeside(QWidget* popup, const QRect& caret);

}  // namespace tessory
