// SPDX-License-Identifier: MIT
#pragma once

#include <QTextEdit>

class QKeyEvent;
class QMimeData;
class QMouseEvent;

namespace tessory {

// One shader pane: a rich-text editor whose text is plain source, black on white like the
// highlighter's plain text whatever the desktop colours are. Highlighting is applied from outside
// (PaneHighlighter); nothing that comes in through the clipboard or a drop carries formatting. Key
// presses and mouse button presses are announced before the editor acts on them. The
// insert/overwrite mode is left to the owner (setOverwriteMode).
class ShaderEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit ShaderEdit(QWidget* parent = nullptr);

signals:
    // Every key press that reaches the pane, before it is handled.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every mouse button press in the text area, double clicks included, before it is handled.
    void mouseDown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The font of the panes: "Courier" 10 pt, or a fixed-pitch face where Courier is missing.
QFont shaderEditFont();

// The plain text a pane takes from clipboard or drop data: the text itself, or the text of
// HTML when there is no plain text. Every line break becomes "\n".
QString plainTextFromMimeData(const QMimeData* source);

}  // namespace tessory
