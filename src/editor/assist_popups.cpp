// SPDX-License-Identifier: MIT
#include "editor/assist_popups.h"

#include <QScrollBar>

#include <algorithm>

namespace tessory {

void placeBeside(QWidget* popup, const QRect& caret) {
    const QWidget* pane = popup->parentWidget();
    const QSize size = popup->size();
    int y = caret.bottom() + 2;
    if (y + size.height() > pane->height() && caret.top() - size.height() - 2 >= 0) {
        y = caret.top() - size.height() - 2;
    }
    const int x = std::max(0, std::min(caret.left(), pane->width() - size.width()));
    popup->move(x, y);
    popup->raise();
    popup->show();
}

CompletionPopup::CompletionPopup(QWidget* pane) : QListWidget(pane) {
    setObjectName(QStringLiteral("CompletionPopup"));
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hide();
}

void CompletionPopup::propose(const glsl::Completion& completion, const QRect& caret) {
    completion_ = completion;
    setUpdatesEnabled(false);
    clear();
    int widest = 0;
    for (const glsl::CompletionItem& item : completion.items) {
        auto* row = new QListWidgetItem(item.label, this);
        row->setToolTip(item.detail);
        widest = std::max(widest, fontMetrics().horizontalAdvance(item.label));
    }
    setCurrentRow(0);
    setUpdatesEnabled(true);
    const int rows = std::min<int>(int(completion.items.size()), 10);
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height());
    resize(std::clamp(widest + 40 + verticalScrollBar()->sizeHint().width(), 160, 480),
           rows * rowHeight + 2 * frameWidth());
    placeBeside(this, caret);
}

QStringList CompletionPopup::labels() const {
    QStringList labels;
    for (const glsl::CompletionItem& item : completion_.items) {
        labels << item.label;
    }
    return labels;
}

QString CompletionPopup::currentLabel() const {
    const QListWidgetItem* item = currentItem();
    return item != nullptr ? item->text() : QString();
}

void CompletionPopup::moveCurrent(int rows) {
    if (count() > 0) {
        setCurrentRow(std::clamp(currentRow() + rows, 0, count() - 1));
    }
}

SignaturePopup::SignaturePopup(QWidget* pane) : QLabel(pane) {
    setObjectName(QStringLiteral("SignaturePopup"));
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::RichText);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0xE1));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setMargin(3);
    hide();
}

void SignaturePopup::propose(const glsl::SignatureHelp& help, const QRect& caret) {
    const bool same = help.function == help_.function && isVisible();
    help_ = help;
    caret_ = caret;
    if (!same || overload_ >= help.overloads.size() ||
        help.overloads[overload_].parameters.size() <= help.activeParameter) {
        overload_ = help.activeOverload;
    }
    render();
}

void SignaturePopup::cycle(int step) {
    const int n = int(help_.overloads.size());
    if (n > 0) {
        overload_ = ((overload_ + step) % n + n) % n;
        render();
    }
}

void SignaturePopup::render() {
    const glsl::FunctionSignature& f = help_.overloads[overload_];
    QStringList parameters;
    for (int i = 0; i < f.parameters.size(); ++i) {
        const QString p = glsl::FunctionSignature::parameterText(f.parameters[i]).toHtmlEscaped();
        parameters << (i == help_.activeParameter ? QStringLiteral("<b>%1</b>").arg(p) : p);
    }
    QString html = QStringLiteral("%1 %2(%3)")
                       .arg(f.returnType.text().toHtmlEscaped(), f.name.toHtmlEscaped(),
                            parameters.join(QStringLiteral(", ")));
    if (help_.overloads.size() > 1) {
        html = QStringLiteral("%1/%2&nbsp;&nbsp;").arg(overload_ + 1).arg(help_.overloads.size()) +
               html;
    }
    setText(html);
    adjustSize();
    // Over the caret's line, so that the completion list has the room under it.
    int y = caret_.top() - height() - 2;
    if (y < 0) {
        y = caret_.bottom() + 2;
    }
    move(std::max(0, std::min(caret_.left(), parentWidget()->width() - width())), y);
    raise();
    show();
}

}  // namespace tessory
