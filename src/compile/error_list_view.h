// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"

#include <QListWidget>

#include <optional>

namespace tessory {

// The error list: one entry per message, showing its text and carrying the message itself, so
// that a jump reads where to go instead of reading the text again. A double-click or Return on
// an entry activates its message.
class ErrorListView : public QListWidget {
    Q_OBJECT
public:
    explicit ErrorListView(QWidget* parent = nullptr);

    void showMessages(const QList<ShaderMessage>& messages);
    // One line that is no driver message ("Compiling Shader...") and leads nowhere, painted now.
    void showNote(const QString& text);
    // The message of a row; nothing for a row put there some other way.
    std::optional<ShaderMessage> message(int row) const;

signals:
    void messageActivated(const ShaderMessage& message);
};

// A message that is only a note: no pane, no line.
ShaderMessage noteMessage(const QString& text);

}  // namespace tessory
