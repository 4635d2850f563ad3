// SPDX-License-Identifier: MIT
#include "app/error_list.h"

#include <QListWidget>

namespace tessory {

// The texts go in with one insertion, as a flooded log gives 100,000 lines.
void appendErrorEntries(QListWidget* list, const QList<DriverMessage>& messages) {
    QStringList texts;
    texts.reserve(messages.size());
    for (const DriverMessage& message : messages) {
        texts.append(message.shown);
    }
    const int first = list->count();
    list->addItems(texts);
    for (int i = 0; i < messages.size(); ++i) {
        list->item(first + i)->setData(Qt::UserRole, QVariant::fromValue(messages[i]));
    }
}

DriverMessage noteEntry(const QString& text) {
    DriverMessage message;
    message.shown = text;
    message.pane = std::nullopt;
    message.text = text;
    return message;
}

std::optional<DriverMessage> entryMessage(const QListWidgetItem* item) {
    const QVariant data = item->data(Qt::UserRole);
    if (!data.canConvert<DriverMessage>()) {
        return std::nullopt;
    }
    return data.value<DriverMessage>();
}

}  // namespace tessory
