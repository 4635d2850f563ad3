// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>

#include <optional>

namespace tessory {

enum class ErrorPane { None, Vertex, Fragment };

// The pane an error-list entry speaks of: "[VertexShader]" anywhere in it wins over
// "[FragmentShader]"; OK lines and other entries belong to none.
ErrorPane errorEntryPane(QStringView entry);

// The zero-based source line an error-list entry points at, or nothing when it is not navigable.
// Read are "(" number ")" at the entry's start, as the link-log cut leaves it, and the forms that
// drivers put before their messages (Mesa, NVIDIA, AMD and Intel; see the .cpp). A number 0 counts
// as line 1; a negative number gives an index below 0. Numbers too large for 64 bits saturate, so
// they point past any pane's last line instead of wrapping into it.
std::optional<qint64> errorLineIndex(QStringView entry);

// The zero-based column of an entry whose driver names one (Mesa's "0:4(23):" counts from 1), or
// nothing; read like the line, so both come from the same location.
std::optional<qint64> errorColumnIndex(QStringView entry);

}  // namespace tessory
