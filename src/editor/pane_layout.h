// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextDocumentLayout>

#include <algorithm>

namespace tessory {

// Qt lays out again the lines of the removed and the added characters together, counted from the
// change's start in the new text, and new formats on a line count as the whole line removed and
// added. One retyped or recoloured line would so reach into the next one, and the layout would
// drop every line and redraw the whole pane. The lines that changed are those of the new text.
class PaneLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override {
        // A removal alone still names the line it happened in.
        QPlainTextDocumentLayout::documentChanged(
            from, charsAdded > 0 ? 0 : std::min(charsRemoved, 1), charsAdded);
    }
};

}  // namespace tessory
