// SPDX-License-Identifier: MIT
#include "compile/error_list_view.h"

namespace tessory {

ErrorListView::ErrorListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox_Err"));
    setUniformItemSizes(true);
    // Activation is a double-click or Return/Enter, so the keyboard jumps as the mouse does.
    connect(this, &QListWidget::itemActivated, this, [this] {
        const QListWidgetItem* selected = currentItem();
        if (selected == nullptr || !selected->isSelected()) {
            return;
        }
        if (const std::optional<ShaderMessage> activated = message(row(selected))) {
            emit messageActivated(*activated);
        }
    });
}

// The texts go in with one insertion, as a flooded log gives 100,000 lines.
void ErrorListView::showMessages(const QList<ShaderMessage>& messages) {
    setUpdatesEnabled(false);
    clear();
    QStringList texts;
    texts.reserve(messages.size());
    for (const ShaderMessage& m : messages) {
        texts.append(m.shown);
    }
    addItems(texts);
    for (int i = 0; i < messages.size(); ++i) {
        item(i)->setData(Qt::UserRole, QVariant::fromValue(messages[i]));
    }
    setUpdatesEnabled(true);
}

void ErrorListView::showNote(const QString& text) {
    showMessages({noteMessage(text)});
    // Painted now, as the driver blocks the interface until it returns. Only the list is painted:
    // letting the whole event loop run here cost a fifth of the time of compiling a small pair.
    repaint();
}

std::optional<ShaderMessage> ErrorListView::message(int row) const {
    const QListWidgetItem* entry = item(row);
    const QVariant data = entry != nullptr ? entry->data(Qt::UserRole) : QVariant();
    if (!data.canConvert<ShaderMessage>()) {
        return std::nullopt;
    }
    return data.value<ShaderMessage>();
}

ShaderMessage noteMessage(const QString& text) {
    ShaderMessage message;
    message.shown = text;
    message.pane = std::nullopt;
    message.text = text;
    return message;
}

}  // namespace tessory
