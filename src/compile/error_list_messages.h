// SPDX-License-Identifier: MIT
#pragma once

#include "compile/shader_message.h"

#include <QByteArrayView>
#include <QList>
#include <QStringView>

#include <optional>

// The editor's reading of its error list: each entry as the list shows it, tag and all.
namespace tessory {

// The pane an error-list entry speaks of: "[VertexShader]" anywhere in it wins over
// "[FragmentShader]"; OK lines and other entries belong to none.
std::optional<PairSide> errorEntryPane(QStringView entry);

// An error-list entry read as the editor shows it: pane from its tag, location from its very
// start (blanks before a "(" make it lead nowhere), severity and text from the line without tag.
ShaderMessage errorListEntry(QStringView entry);

// The error list of an editor run (composeErrorList), one message per entry, in its order.
QList<ShaderMessage> errorListMessages(QByteArrayView vertexLog, QByteArrayView fragmentLog,
                                       QByteArrayView linkLog);

// The error list of a program the engine compiled: for each of its panes, in their order, the
// messages placed there ("file:line(column): error: text  [GeometryShader]", the file being the
// included one where the message is about one), or "GeometryShader: OK".
QList<ShaderMessage> programListMessages(const QList<ShaderMessage>& messages,
                                         const QList<PairSide>& panes);

}  // namespace tessory
