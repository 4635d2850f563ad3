// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>
#include <QPointer>

class QKeyEvent;
class QMimeData;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;
class QWheelEvent;

namespace tessory {

class PaneHighlighter;

// One shader pane as a code editor: plain text, black on white whatever the desktop colours,
// unwrapped, with line numbers in a gutter, the caret's line softly lit, the bracket matching the
// one beside the caret lit, auto-indent, block indent and `//` comments, and zoom. Key presses and
// mouse button presses are announced before the editor acts on them; the insert/overwrite mode is
// left to the owner (setOverwriteMode). Nothing that comes in through the clipboard or a drop
// carries formatting.
class CodeEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CodeEdit(QWidget* parent = nullptr);
    ~CodeEdit() override;

    // The highlighter of this pane's document. It is switched to highlighting on demand: the pane
    // brings the lines it draws up to date. Null detaches it.
    void setHighlighter(PaneHighlighter* highlighter);

    // The line (0-based) that carries the error mark, or -1. The mark's own red is drawn by the
    // highlighter; the pane keeps its current-line light off that line so the red stays visible.
    void setMarkedLine(int line);
    int markedLine() const { return markedLine_; }

    // The compiler's messages as wavy underlines (DiagnosticMarks makes them); the gutter marks
    // each of their lines in the underline's colour, the red of an error over a warning's amber.
    void setDiagnostics(const QList<QTextEdit::ExtraSelection>& underlines);
    const QList<QTextEdit::ExtraSelection>& diagnostics() const { return diagnostics_; }
    QWidget* gutter() const;

    // Width in pixels of the line-number gutter: the digits of the line count in the pane's font.
    int gutterWidth() const;

    // Zoom in font points over the pane's font; 0 is the pane's font itself.
    int zoomStep() const { return zoomStep_; }
    void setZoomStep(int step);
    static constexpr int kMinZoomStep = -6;
    static constexpr int kMaxZoomStep = 30;

public slots:
    void zoomIn();
    void zoomOut();
    void resetZoom();

signals:
    // Every key press that reaches the pane, before it is handled.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every mouse button press in the text area, double clicks included, before it is handled.
    void mouseDown();
    // The zoom step changed, by key, wheel or call; the owner applies it to the other pane.
    void zoomStepChanged(int step);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    class Gutter;
    friend class Gutter;

    // True when the key was one of the pane's own commands and has been carried out.
    bool handleCommandKey(QKeyEvent* event);
    void paintGutter(QPaintEvent* event);
    void updateGutterWidth();
    void updateGutter(const QRect& rect, int dy);
    void updateExtraSelections();

    Gutter* gutter_;
    QPointer<PaneHighlighter> highlighter_;
    int markedLine_ = -1;
    QList<QTextEdit::ExtraSelection> diagnostics_;
    int zoomStep_ = 0;
    int gutterDigits_ = 0;
    int caretLine_ = -1;
    int wheelZoom_ = 0;
};

// The font of the panes: "Courier" 10 pt, or a fixed-pitch face where Courier is missing.
QFont shaderEditFont();

// The plain text a pane takes from clipboard or drop data: the text itself, or the text of
// HTML when there is no plain text. Every line break becomes "\n".
QString plainTextFromMimeData(const QMimeData* source);

}  // namespace tessory
