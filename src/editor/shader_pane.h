// SPDX-License-Identifier: MIT
#pragma once

#include "editor/highlighter.h"
#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QObject>
#include <QString>

#include <optional>

namespace tessory {

class CodeEdit;

// One editor pane with everything that belongs to it: the edit widget, its highlighter, the line
// end its file uses, its insert/overwrite state, the red error mark and what its file was when it
// was last read or written. The window holds one for each shader of the pair.
class ShaderPane : public QObject {
    Q_OBJECT
public:
    // The widget gets `objectName`; it is parented by whoever lays it out, and the pane lives as
    // long as the widget does.
    explicit ShaderPane(const QString& objectName);

    CodeEdit* widget() const { return edit_; }

    // The pane's lines joined with "\n", whatever line breaks the document holds.
    QString text() const;
    // The text as the driver is given it: Windows-1252 bytes, each line ended by CR LF.
    QByteArray source() const;
    int lineCount() const;
    QString lineText(int line) const;

    // Shows a file's text, highlighted, unmodified, with the file's line end kept for saving.
    void load(const ShaderText& text, const FileStamp& stamp);
    // The file's text after another program changed it: as load, with the caret kept on its line
    // (or the last line) and the view where it was.
    void reload(const ShaderText& text, const FileStamp& stamp);
    // Empty, unmodified, no file behind it.
    void clear();
    bool isModified() const;
    void setModified(bool modified);

    LineEnd lineEnd() const { return lineEnd_; }
    void setLineEnd(LineEnd lineEnd) { lineEnd_ = lineEnd; }
    // The file the pane shows, as it was when the pane last read or wrote it.
    const FileStamp& stamp() const { return stamp_; }
    void setStamp(const FileStamp& stamp);

    bool overwrite() const;
    void setOverwrite(bool overwrite);

    // Puts the caret on the line (0-based) at the column, clipped to the line, and draws the line
    // on red until clearMark or a new mark; false for a line the pane does not have.
    bool markError(int line, int column);
    void clearMark();
    std::optional<int> markedLine() const;

    // The highlight formats of every category; every line takes them on white, and the mark goes.
    void setFormats(const CategoryFormats& formats);

signals:
    // The pane shows another file, or the same file as read or written anew.
    void stampChanged();

private:
    CodeEdit* edit_;
    PaneHighlighter* highlighter_;
    LineEnd lineEnd_ = LineEnd::Lf;
    FileStamp stamp_;
    bool loading_ = false;
};

}  // namespace tessory
