// SPDX-License-Identifier: MIT
#pragma once

#include "editor/keyword_table.h"
#include "editor/line_scanner.h"
#include "editor/text_format.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>

#include <functional>
#include <vector>

class QTextBlock;

namespace tessory {

// 0x00BBGGRR as a QColor.
QColor toQColor(TColor color);

// The character format of one highlight: effect bits 1 bold, 2 italic, 4 underline. On a
// background other than white (the error mark) the text colour gives way to white where it would
// be hard to read.
QTextCharFormat highlightFormat(TColor color, qint32 effects, TColor background);

// The colour itself when it contrasts enough with the background (a contrast ratio of at least
// 3:1, as for large text), otherwise white.
TColor readableOn(TColor color, TColor background);

// Colours one pane's document line by line. The formats live in the blocks' layouts, as with
// QSyntaxHighlighter, so highlighting never becomes part of the text: it is not undone, does not
// mark the document modified and leaves caret, selection and scroll position where they are.
// Lines are the document's blocks; positions are the document's own (a line break is one
// character).
//
// Every text change (typing, paste, drop, undo, redo) re-highlights on white each line it touched,
// from within the document's change notification, so that Qt lays the lines out once for the edit
// and the highlight together. Changes made while `isLoading` returns true are not highlighted: a
// highlightAll follows the load.
//
// On demand (setOnDemand), highlightAll and large changes only mark their lines; the view brings
// the lines it is about to draw up to date with highlightLines (CodeEdit does), so opening a long
// file or changing a colour costs what is on screen. A line's formats depend on that line alone, so
// a line brought up to date late looks exactly as if the whole text had been highlighted at once.
class PaneHighlighter : public QObject {
    Q_OBJECT
public:
    using LoadingFlag = std::function<bool()>;

    // The highlighter is a child of the document. It draws nothing until it has formats.
    PaneHighlighter(QTextDocument* document, LoadingFlag isLoading);

    // The format of every category, comments included; lines take them at their next highlight.
    void setFormats(const CategoryFormats& formats);

    // Every line on white; nothing for an empty document. On demand, the lines are marked and the
    // views are asked to redraw, which highlights what they show.
    void highlightAll();

    // Off by default: every line is highlighted as soon as highlightAll or a change asks for it.
    void setOnDemand(bool onDemand);
    bool onDemand() const { return onDemand_; }

    // Brings the lines first..last (0-based, clamped to the text) up to date where highlightAll or
    // a large change left them marked; lines already up to date, the error mark included, stay.
    // True when a line's formats changed.
    bool highlightLines(int first, int last);

    // One line (0-based) on the given background; nothing for an index beyond the last line.
    void highlightLine(int lineIndex, TColor background);

    // Formats the characters from `start` up to, not including, `end`.
    void formatRange(int start, int end, qint32 effects, TColor color, TColor background);

private:
    void rehighlightChange(int position, int charsRemoved, int charsAdded);
    // Highlights the marked lines of first..last on white; with markDirty Qt lays out the changed
    // ones again. True when a line's formats changed.
    bool refresh(QTextBlock first, const QTextBlock& last, const TextFormat& comment,
                 bool markDirty = true);
    // False when the line already had these formats; it is then left alone.
    bool highlightBlock(const QTextBlock& block, const TextFormat& comment, TColor background);
    const QTextCharFormat& cachedFormat(TColor color, qint32 effects, TColor background);

    struct CachedFormat {
        TColor color;
        qint32 effects;
        TColor background;
        QTextCharFormat format;
    };

    QPointer<QTextDocument> document_;
    KeywordTable table_;
    TextFormat comment_;
    LoadingFlag isLoading_;
    bool highlighting_ = false;
    bool onDemand_ = false;
    // A line is up to date when its block's user state equals the generation; highlightAll moves
    // the generation on, which marks every line at once.
    int generation_ = 0;
    std::vector<FormatRange> lineRanges_;
    std::vector<CachedFormat> formats_;
};

}  // namespace tessory
