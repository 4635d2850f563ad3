// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"

#include <QList>
#include <QString>

#include <optional>

class QListWidget;
class QListWidgetItem;

namespace tessory {

// The error list's entries show each message's text and carry the message itself as item data,
// so that a jump reads where to go instead of reading the text again.
void appendErrorEntries(QListWidget* list, const QList<DriverMessage>& messages);

// A line of the list that is no driver message ("Compiling Shader...") and leads nowhere.
DriverMessage noteEntry(const QString& text);

// The message an entry carries; nothing for an entry put there some other way.
std::optional<DriverMessage> entryMessage(const QListWidgetItem* item);

}  // namespace tessory
