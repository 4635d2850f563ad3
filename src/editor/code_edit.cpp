// SPDX-License-Identifier: MIT
#include "editor/code_edit.h"

#include "editor/diagnostic_marks.h"
#include "editor/highlighter.h"
#include "editor/pane_layout.h"
#include "editor/text_commands.h"

#include <QHash>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QWheelEvent>

#include <algorithm>

namespace tessory {

QFont shaderEditFont() {
    QFont font(QStringLiteral("Courier"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QString plainTextFromMimeData(const QMimeData* source) {
    if (source == nullptr) {
        return {};
    }
    QString text;
    if (source->hasText()) {
        text = source->text();
    } else if (source->hasHtml()) {
        text = QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    }
    // A pane line is a document block; a soft line break would hide a line from the highlighter
    // and the line numbers of the compiler.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

namespace {

const QColor kCurrentLine(0xF0, 0xF5, 0xFF);
const QColor kMatchingBracket(0xC8, 0xEB, 0xC8);
const QColor kGutterBackground(0xF2, 0xF2, 0xF2);
const QColor kGutterNumber(0x90, 0x90, 0x90);

int digitsOf(int n) {
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

}  // namespace

class CodeEdit::Gutter : public QWidget {
public:
    explicit Gutter(CodeEdit* edit) : QWidget(edit), edit_(edit) {}
    QSize sizeHint() const override { return {edit_->gutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { edit_->paintGutter(event); }

private:
    CodeEdit* edit_;
};

CodeEdit::CodeEdit(QWidget* parent) : QPlainTextEdit(parent), gutter_(new Gutter(this)) {
    document()->setDocumentLayout(new PaneLayout(document()));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(shaderEditFont());
    // The highlighter draws every character black on white; the rest of the pane matches it.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &CodeEdit::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, this, &CodeEdit::updateGutter);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &CodeEdit::updateExtraSelections);
    updateGutterWidth();
    updateExtraSelections();
}

CodeEdit::~CodeEdit() = default;

void CodeEdit::setHighlighter(PaneHighlighter* highlighter) {
    highlighter_ = highlighter;
    if (highlighter != nullptr) {
        highlighter->setOnDemand(true);
    }
    viewport()->update();
}

void CodeEdit::setMarkedLine(int line) {
    if (markedLine_ != line) {
        markedLine_ = line;
        updateExtraSelections();
    }
}

void CodeEdit::setDiagnostics(const QList<QTextEdit::ExtraSelection>& underlines) {
    diagnostics_ = underlines;
    updateExtraSelections();
    gutter_->update();
}

QWidget* CodeEdit::gutter() const {
    return gutter_;
}

int CodeEdit::gutterWidth() const {
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('9'));
    // Half a digit of room on either side of the numbers.
    return (digitsOf(blockCount()) + 1) * digit;
}

void CodeEdit::setZoomStep(int step) {
    step = std::clamp(step, kMinZoomStep, kMaxZoomStep);
    if (step == zoomStep_) {
        return;
    }
    zoomStep_ = step;
    QFont zoomed = shaderEditFont();
    zoomed.setPointSize(zoomed.pointSize() + step);
    setFont(zoomed);
    emit zoomStepChanged(step);
}

void CodeEdit::zoomIn() {
    setZoomStep(zoomStep_ + 1);
}

void CodeEdit::zoomOut() {
    setZoomStep(zoomStep_ - 1);
}

void CodeEdit::resetZoom() {
    setZoomStep(0);
}

void CodeEdit::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    if (handleCommandKey(event)) {
        event->accept();
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CodeEdit::handleCommandKey(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (ctrl &&
        (key == Qt::Key_Plus || key == Qt::Key_Equal || event->matches(QKeySequence::ZoomIn))) {
        zoomIn();
        return true;
    }
    if (ctrl && (key == Qt::Key_Minus || event->matches(QKeySequence::ZoomOut))) {
        zoomOut();
        return true;
    }
    if (ctrl && key == Qt::Key_0) {
        resetZoom();
        return true;
    }
    if (isReadOnly()) {
        return false;
    }
    QTextCursor cursor = textCursor();
    const bool block = cursor.hasSelection() && document()->findBlock(cursor.selectionStart()) !=
                                                    document()->findBlock(cursor.selectionEnd());
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !ctrl) {
        // Shift+Return too: a soft line break would hide a line from the line numbers.
        insertIndentedLineBreak(cursor);
    } else if (key == Qt::Key_Tab && modifiers == Qt::NoModifier && block) {
        indentLines(cursor);
    } else if (key == Qt::Key_Backtab) {
        unindentLines(cursor);
    } else if (ctrl && key == Qt::Key_Slash) {
        toggleLineComments(cursor);
    } else {
        return false;
    }
    setTextCursor(cursor);
    return true;
}

void CodeEdit::mousePressEvent(QMouseEvent* event) {
    emit mouseDown();
    QPlainTextEdit::mousePressEvent(event);
}

void CodeEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    emit mouseDown();
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void CodeEdit::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        // A touchpad sends many small steps; one zoom step per notch of a wheel (120).
        wheelZoom_ += event->angleDelta().y();
        while (wheelZoom_ >= 120) {
            wheelZoom_ -= 120;
            zoomIn();
        }
        while (wheelZoom_ <= -120) {
            wheelZoom_ += 120;
            zoomOut();
        }
        event->accept();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}

void CodeEdit::paintEvent(QPaintEvent* event) {
    if (highlighter_) {
        // Lines are one text line each (no wrap), so the lines on screen follow from the height.
        const int first = firstVisibleBlock().blockNumber();
        const int lines = viewport()->height() / std::max(1, fontMetrics().lineSpacing()) + 2;
        bool changed = false;
        {
            // This paint draws the new formats already; the layout's call for a second one
            // would paint the whole pane again.
            const QSignalBlocker quiet(document()->documentLayout());
            changed = highlighter_->highlightLines(first, first + lines);
        }
        if (changed && !event->rect().contains(viewport()->rect())) {
            viewport()->update();
        }
    }
    QPlainTextEdit::paintEvent(event);
}

void CodeEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), gutterWidth(), area.height());
}

void CodeEdit::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        gutterDigits_ = 0;
        updateGutterWidth();
    }
}

bool CodeEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source != nullptr && (source->hasText() || source->hasHtml());
}

void CodeEdit::insertFromMimeData(const QMimeData* source) {
    const QString text = plainTextFromMimeData(source);
    if (text.isEmpty()) {
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CodeEdit::updateGutterWidth() {
    // The margin only moves when the number of digits does, not with every line added.
    const int digits = digitsOf(blockCount());
    if (digits == gutterDigits_) {
        return;
    }
    gutterDigits_ = digits;
    const int width = gutterWidth();
    setViewportMargins(width, 0, 0, 0);
    const QRect area = contentsRect();
    gutter_->setGeometry(area.left(), area.top(), width, area.height());
}

void CodeEdit::updateGutter(const QRect& rect, int dy) {
    if (dy != 0) {
        gutter_->scroll(0, dy);
    } else {
        gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    }
}

void CodeEdit::paintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    painter.fillRect(event->rect(), kGutterBackground);
    const int current = textCursor().blockNumber();
    QFont emphasised = font();
    emphasised.setBold(true);
    const QFontMetrics plainMetrics = fontMetrics();
    const QFontMetrics boldMetrics(emphasised);
    // Half a digit of room on the right; numbers are drawn at their baseline, which is cheaper
    // than having Qt align them in a rectangle.
    const int right = gutter_->width() - plainMetrics.horizontalAdvance(QLatin1Char('9')) / 2;
    painter.setPen(kGutterNumber);
    QHash<int, QColor> marks;
    for (const QTextEdit::ExtraSelection& d : diagnostics_) {
        QColor& colour = marks[d.cursor.blockNumber()];
        if (!colour.isValid() || colour != kErrorMarkColour) {
            colour = d.format.underlineColor();
        }
    }
    const int markWidth = std::max(2, plainMetrics.horizontalAdvance(QLatin1Char('9')) / 3);
    QTextBlock block = firstVisibleBlock();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    while (block.isValid() && top <= event->rect().bottom()) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible() && top + height >= event->rect().top()) {
            if (const auto mark = marks.constFind(block.blockNumber()); mark != marks.cend()) {
                painter.fillRect(QRectF(0, top, markWidth, height), *mark);
            }
            const QString number = QString::number(block.blockNumber() + 1);
            const int baseline = int(top) + plainMetrics.ascent();
            if (block.blockNumber() == current) {
                painter.setFont(emphasised);
                painter.setPen(Qt::black);
                painter.drawText(right - boldMetrics.horizontalAdvance(number), baseline, number);
                painter.setFont(font());
                painter.setPen(kGutterNumber);
            } else {
                painter.drawText(right - plainMetrics.horizontalAdvance(number), baseline, number);
            }
        }
        top += height;
        block = block.next();
    }
}

void CodeEdit::updateExtraSelections() {
    QList<QTextEdit::ExtraSelection> selections;
    const QTextCursor caret = textCursor();
    if (caret.blockNumber() != markedLine_) {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(kCurrentLine);
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = caret;
        line.cursor.clearSelection();
        selections.append(line);
    }
    // The mark's red runs the width of the pane, so that a line of one brace is as plain to see
    // as a long one.
    if (const QTextBlock marked = document()->findBlockByNumber(markedLine_); marked.isValid()) {
        QTextEdit::ExtraSelection line;
        line.format.setBackground(QColor(Qt::red));
        line.format.setProperty(QTextFormat::FullWidthSelection, true);
        line.cursor = QTextCursor(marked);
        selections.append(line);
    }
    selections.append(diagnostics_);
    if (const auto pair = matchingBrackets(document(), caret.position())) {
        for (const int position : {pair->open, pair->close}) {
            QTextEdit::ExtraSelection bracket;
            bracket.format.setBackground(kMatchingBracket);
            bracket.cursor = QTextCursor(document());
            bracket.cursor.setPosition(position);
            bracket.cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
            selections.append(bracket);
        }
    }
    setExtraSelections(selections);
    // The current line's number is emphasised: only the old and the new one change.
    const int line = caret.blockNumber();
    if (line != caretLine_) {
        for (const int changed : {caretLine_, line}) {
            const QTextBlock block = document()->findBlockByNumber(changed);
            if (block.isValid() && block.isVisible()) {
                const QRect rect =
                    blockBoundingGeometry(block).translated(contentOffset()).toAlignedRect();
                gutter_->update(0, rect.top(), gutter_->width(), rect.height());
            }
        }
        caretLine_ = line;
    }
}

}  // namespace tessory
