// SPDX-License-Identifier: MIT
#pragma once

#include "editor/highlighter.h"
#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QObject>
#include <QString>

class QTextDocument;

namespace tessory {

// The text of one shader file as the editor holds it, apart from any widget that shows it: the
// highlighted document, the line end its file uses and what the file was when it was last read
// or written.
class ShaderDocument : public QObject {
    Q_OBJECT
public:
    explicit ShaderDocument(QObject* parent = nullptr);

    QTextDocument* textDocument() const { return document_; }
    PaneHighlighter* highlighter() const { return highlighter_; }

    // The lines joined with "\n", whatever line breaks the document holds.
    QString text() const;
    // The text as the driver is given it: Windows-1252 bytes, each line ended by CR LF.
    QByteArray source() const;
    int lineCount() const;
    QString lineText(int line) const;

    // A file's text, highlighted, unmodified, with the file's line end kept for saving.
    void load(const ShaderText& text, const FileStamp& stamp);
    // The same after another program changed the file: views keep their caret's line.
    void reload(const ShaderText& text, const FileStamp& stamp);
    // Text kept from an earlier run put in place of the file's, as an edit the user can undo:
    // modified, with the line end it had, against the file as loaded.
    void recoverText(const ShaderText& text);
    // Empty, unmodified, no file behind it.
    void clear();
    bool isModified() const;
    void setModified(bool modified);

    LineEnd lineEnd() const { return lineEnd_; }
    void setLineEnd(LineEnd lineEnd) { lineEnd_ = lineEnd; }
    const FileStamp& stamp() const { return stamp_; }
    void setStamp(const FileStamp& stamp);

    // The highlight formats of every category; every line takes them on white.
    void setFormats(const CategoryFormats& formats);

signals:
    // The document shows another file, or the same file as read or written anew.
    void stampChanged();
    // The text was replaced as a whole (a load, a reload, a clear): a mark on one of its lines
    // is gone.
    void replaced();
    // Every line was drawn anew in other formats, a mark's red with them.
    void restyled();
    void aboutToReload();
    void reloaded();

private:
    QTextDocument* document_;
    PaneHighlighter* highlighter_;
    LineEnd lineEnd_ = LineEnd::Lf;
    FileStamp stamp_;
    bool loading_ = false;
};

}  // namespace tessory
