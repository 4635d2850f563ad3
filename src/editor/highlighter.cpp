// SPDX-License-Identifier: MIT
#include "editor/highlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessory {

namespace {

using LayoutRanges = QList<QTextLayout::FormatRange>;

// A block's layout takes a list of ranges; overlapping ranges would be merged by Qt in an order
// it does not document, so a new range cuts away what it covers and the list stays disjoint and
// sorted.
void overlay(LayoutRanges& ranges, int start, int length, const QTextCharFormat& format) {
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

namespace {

double relativeLuminance(TColor color) {
    const auto channel = [](unsigned value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color & 0xFF) + 0.7152 * channel((color >> 8) & 0xFF) +
           0.0722 * channel((color >> 16) & 0xFF);
}

}  // namespace

TColor readableOn(TColor color, TColor background) {
    const double a = relativeLuminance(color);
    const double b = relativeLuminance(background);
    const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    return contrast >= 3.0 ? color : kWhite;
}

QTextCharFormat highlightFormat(TColor color, qint32 effects, TColor background) {
    // The user picks the category colours for the white page; only the mark can hide them.
    if (background != kWhite) {
        color = readableOn(color, background);
    }
    QTextCharFormat format;
    format.setFontWeight((effects & EffectBold) ? QFont::Bold : QFont::Normal);
    format.setFontItalic((effects & EffectItalic) != 0);
    format.setFontUnderline((effects & EffectUnderline) != 0);
    format.setForeground(toQColor(color));
    format.setBackground(toQColor(background));
    return format;
}

PaneHighlighter::PaneHighlighter(QTextDocument* document, LoadingFlag isLoading)
    : QObject(document), document_(document), isLoading_(std::move(isLoading)) {
    // A document without a layout never reports its changes.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &PaneHighlighter::rehighlightChange);
}

void PaneHighlighter::setFormats(const CategoryFormats& formats) {
    fillKeywordTable(table_, formats);
    comment_ = formats[int(Category::Comment)];
}

void PaneHighlighter::highlightAll() {
    if (!document_ || document_->isEmpty()) {
        return;
    }
    generation_ = generation_ == std::numeric_limits<int>::max() ? 0 : generation_ + 1;
    if (onDemand_) {
        // The views redraw, and drawing brings the lines they show up to date.
        emit document_->documentLayout()->update();
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    refresh(document_->begin(), document_->lastBlock(), comment_);
}

void PaneHighlighter::setOnDemand(bool onDemand) {
    onDemand_ = onDemand;
}

bool PaneHighlighter::highlightLines(int first, int last) {
    if (!document_) {
        return false;
    }
    first = std::max(first, 0);
    last = std::min(last, document_->blockCount() - 1);
    if (first > last) {
        return false;
    }
    QScopedValueRollback guard(highlighting_, true);
    const QTextBlock firstBlock = document_->findBlockByNumber(first);
    const QTextBlock lastBlock = last == first ? firstBlock : document_->findBlockByNumber(last);
    return refresh(firstBlock, lastBlock, comment_);
}

bool PaneHighlighter::refresh(QTextBlock first, const QTextBlock& last, const TextFormat& comment,
                              bool markDirty) {
    // Qt lays out again everything between the first and the last line whose formats changed;
    // after a cancelled options dialog that is nothing.
    int from = -1;
    int to = -1;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (block.userState() != generation_) {
            block.setUserState(generation_);
            if (highlightBlock(block, comment, kWhite)) {
                from = from < 0 ? block.position() : from;
                to = block.position() + block.length();
            }
        }
        if (block == last) {
            break;
        }
    }
    if (markDirty && from >= 0) {
        document_->markContentsDirty(from, to - from);
    }
    return from >= 0;
}

void PaneHighlighter::highlightLine(int lineIndex, TColor background) {
    if (!document_ || lineIndex < 0 || lineIndex >= document_->blockCount()) {
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    QTextBlock block = document_->findBlockByNumber(lineIndex);
    block.setUserState(generation_);
    if (highlightBlock(block, comment_, background)) {
        document_->markContentsDirty(block.position(), block.length());
    }
}

void PaneHighlighter::formatRange(int start, int end, qint32 effects, TColor color,
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
    const QTextCharFormat format = cachedFormat(color, effects, background);
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

void PaneHighlighter::rehighlightChange(int position, int /*charsRemoved*/, int charsAdded) {
    // Setting layout formats reports no change of its own, but the guard keeps it that way.
    if (highlighting_ || !document_ || (isLoading_ && isLoading_())) {
        return;
    }
    QScopedValueRollback guard(highlighting_, true);
    // After replacing the whole text Qt reports one character more than the document holds, so
    // an end past the text falls back to the last line.
    QTextBlock first = document_->findBlock(position);
    QTextBlock last = document_->findBlock(position + charsAdded);
    if (!first.isValid()) {
        first = document_->lastBlock();
    }
    if (!last.isValid()) {
        last = document_->lastBlock();
    }
    // Every touched line is highlighted again on white, a marked one too. On demand, a change of
    // many lines (a paste, an undo) leaves them to the view, which draws only a few of them.
    constexpr int kEagerLines = 64;
    const bool many = onDemand_ && last.blockNumber() - first.blockNumber() >= kEagerLines;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        block.setUserState(-1);
        if (block == last) {
            break;
        }
    }
    if (!many) {
        refresh(first, last, comment_, !onDemand_);
    }
    if (onDemand_) {
        // Qt lays out the lines of the change itself, right after this notification; widening
        // its range would have the plain-text layout drop and redraw every line on screen.
        return;
    }
    // Inside the change notification this only widens the range Qt lays out for the edit.
    document_->markContentsDirty(first.position(),
                                 last.position() + last.length() - first.position());
}

bool PaneHighlighter::highlightBlock(const QTextBlock& block, const TextFormat& comment,
                                     TColor background) {
    lineRanges_.clear();
    const QString text = block.text();
    scanLine(text, table_, comment, background, lineRanges_);
    LayoutRanges ranges;
    ranges.reserve(static_cast<qsizetype>(lineRanges_.size()) * 2);
    // The first range resets the whole line; the others are disjoint and in order, so the reset
    // fills the gaps between them.
    const FormatRange& reset = lineRanges_.front();
    const QTextCharFormat plain = cachedFormat(reset.color, reset.effects, reset.background);
    int covered = 0;
    for (std::size_t i = 1; i < lineRanges_.size(); ++i) {
        const FormatRange& r = lineRanges_[i];
        if (r.start > covered) {
            ranges.append({covered, r.start - covered, plain});
        }
        ranges.append({r.start, r.length, cachedFormat(r.color, r.effects, r.background)});
        covered = r.start + r.length;
    }
    if (reset.length > covered) {
        ranges.append({covered, reset.length - covered, plain});
    }
    if (ranges == block.layout()->formats()) {
        return false;
    }
    block.layout()->setFormats(ranges);
    return true;
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
