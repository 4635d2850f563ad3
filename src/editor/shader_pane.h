// SPDX-License-Identifier: MIT
#pragma once

#include "editor/shader_document.h"

#include <QObject>
#include <QString>

#include <optional>

namespace tessory {

class CodeEdit;

// One editor pane: a code edit widget showing a shader document, with what belongs to the view
// alone: its insert/overwrite state and the red error mark. A reload of the document keeps the
// caret on its line and the view where it was.
class ShaderPane : public QObject {
    Q_OBJECT
public:
    // The widget gets `objectName`; it is parented by whoever lays it out, and the pane lives as
    // long as the widget does. The document must outlive the widget.
    ShaderPane(ShaderDocument& document, const QString& objectName);

    CodeEdit* widget() const { return edit_; }
    ShaderDocument& document() const { return document_; }

    bool overwrite() const;
    void setOverwrite(bool overwrite);

    // Puts the caret on the line (0-based) at the column, clipped to the line, and draws the line
    // on red until clearMark or a new mark; false for a line the document does not have.
    bool markError(int line, int column);
    void clearMark();
    std::optional<int> markedLine() const;

private:
    void documentReplaced();

    ShaderDocument& document_;
    CodeEdit* edit_;
    bool reloading_ = false;
    int reloadLine_ = 0;
    int reloadScroll_ = 0;
};

}  // namespace tessory
