#include "editor/highlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace tessory {

namespace {

using LayoutRanges = QList<QTextLayout::FormatRange>;

// A block's layout takes a list of ranges; overlapping ranges would be merged by Qt in an order
// it does not document, so a new range cuts away what it covers and the list stays disjoint and
// sorted.
void overlay(LayoutRanges& ranges, int start, int length, const QTextCharFormat& format) {
    if (length <= 0) {
        return;
    }
    const int end = start + length;
    LayoutRanges result;
    result.reserve(ranges.size() + 2);
    for (const QTextLayout::FormatRange& r : std::as_const(ranges)) {
        const int rEnd = r.start + r.length;
        if (rEnd <= start || r.start >= end) {
            result.append(r);
            continue;
        }
        if (r.start < start) {
            result.append({r.start, start - r.start, r.format});
        }
        if (rEnd > end) {
            result.append({end, rEnd - end, r.format});
        }
    }
    const auto at = std::lower_bound(
        result.begin(), result.end(), start,
        [](const QTextLayout::FormatRange& r, int position) { return r.start < position; });
    result.insert(at, {start, length, format});
    ranges.swap(result);
}

}  // namespace

QColor toQColor(TColor color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

QTextCharFormat highlightFormat(TColor color, qint32 effects, TColor background) {
    QTextCharFormat format;
    format.setFontWeight((effects & EffectBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic((effects & EffectItalic) != 0);
    format.setFontUnderline((effects & EffectUnderline) != 0);
    format.setForeground(toQColor(color));
    format.setBackground(toQColor(background));
    return format;
}

PaneHighlighter::PaneHighlighter(QTextDocument* document, const KeywordTable& table,
                                 CommentFormatSource commentFormat)
    : QObject(document),
      document_(document),
      table_(table),
      commentFormat_(std::move(commentFormat)) {
    // A document without a layout never reports its changes.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &PaneHighlighter::recordChange);
}

void PaneHighlighter::ParseAll() {
    discardTouchedLines();
    if (!document_ || document_->isEmpty()) {
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    const TextFormat comment = commentFormat_();
    for (QTextBlock block = document_->begin(); block.isValid(); block = block.next()) {
        highlightBlock(block, comment, kWhite);
    }
    document_->markContentsDirty(0, document_->characterCount());
}

void PaneHighlighter::ParseTextRange(int lineIndex, TColor background) {
    if (!document_ || lineIndex < 0 || lineIndex >= document_->blockCount()) {
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    const QTextBlock block = document_->findBlockByNumber(lineIndex);
    highlightBlock(block, commentFormat_(), background);
    document_->markContentsDirty(block.position(), block.length());
}

void PaneHighlighter::SetTextAttrib2(int start, int end, qint32 effects, TColor color,
                                     TColor background) {
    if (!document_) {
        return;
    }
    // The last position of a document is its closing block separator, which holds no format.
    start = std::max(start, 0);
    end = std::min(end, document_->characterCount() - 1);
    if (start >= end) {
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    const QTextCharFormat& format = cachedFormat(color, effects, background);
    for (QTextBlock block = document_->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        const int from = std::max(start, block.position()) - block.position();
        const int to = std::min(end, block.position() + block.length() - 1) - block.position();
        if (to > from) {
            LayoutRanges ranges = block.layout()->formats();
            overlay(ranges, from, to - from, format);
            block.layout()->setFormats(ranges);
        }
    }
    document_->markContentsDirty(start, end - start);
}

void PaneHighlighter::rehighlightTouchedLines() {
    if (!document_ || touchedFirst_ < 0) {
        return;
    }
    const int first = std::min(touchedFirst_, document_->blockCount() - 1);
    const int last = std::min(touchedLast_, document_->blockCount() - 1);
    discardTouchedLines();
    QScopedValueRollback guard(highlighting_, true);
    const TextFormat comment = commentFormat_();
    const QTextBlock firstBlock = document_->findBlockByNumber(first);
    QTextBlock block = firstBlock;
    QTextBlock lastBlock = block;
    for (int n = first; n <= last && block.isValid(); ++n, block = block.next()) {
        highlightBlock(block, comment, kWhite);
        lastBlock = block;
    }
    const int from = firstBlock.position();
    document_->markContentsDirty(from, lastBlock.position() + lastBlock.length() - from);
}

void PaneHighlighter::discardTouchedLines() {
    touchedFirst_ = -1;
    touchedLast_ = -1;
}

void PaneHighlighter::recordChange(int position, int /*charsRemoved*/, int charsAdded) {
    if (highlighting_ || !document_) {
        return;
    }
    // After replacing the whole text Qt reports one character more than the document holds, so
    // the end falls back to the last line.
    const QTextBlock firstBlock = document_->findBlock(position);
    const QTextBlock lastBlock = document_->findBlock(position + charsAdded);
    const int first = firstBlock.isValid() ? firstBlock.blockNumber() : document_->blockCount() - 1;
    const int last = lastBlock.isValid() ? lastBlock.blockNumber() : document_->blockCount() - 1;
    if (touchedFirst_ < 0) {
        touchedFirst_ = first;
        touchedLast_ = last;
    } else {
        touchedFirst_ = std::min(touchedFirst_, first);
        touchedLast_ = std::max(touchedLast_, last);
    }
}

void PaneHighlighter::highlightBlock(const QTextBlock& block, const TextFormat& comment,
                                     TColor background) {
    lineRanges_.clear();
    const QString text = block.text();
    scanLine(text, table_, comment, background, lineRanges_);
    LayoutRanges ranges;
    ranges.reserve(static_cast<qsizetype>(lineRanges_.size()) * 2);
    for (const FormatRange& r : lineRanges_) {
        overlay(ranges, r.start, r.length, cachedFormat(r.color, r.effects, r.background));
    }
    block.layout()->setFormats(ranges);
}

const QTextCharFormat& PaneHighlighter::cachedFormat(TColor color, qint32 effects,
                                                     TColor background) {
    for (const CachedFormat& f : formats_) {
        if (f.color == color && f.effects == effects && f.background == background) {
            return f.format;
        }
    }
    // A handful of formats are in use at a time; the cache only grows when colours change.
    constexpr std::size_t kMaxCached = 64;
    if (formats_.size() >= kMaxCached) {
        formats_.clear();
    }
    formats_.push_back({color, effects, background, highlightFormat(color, effects, background)});
    return formats_.back().format;
}

}  // namespace tessory
