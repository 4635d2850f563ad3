// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_caret.h"
#include "editor/glsl_completion.h"
#include "editor/glsl_symbols.h"

#include <QString>
#include <QStringList>

namespace tessory::glsl::testing {

// A text with a '|' where the caret is.
struct Marked {
    QString text;
    TextPosition caret;
};

inline Marked marked(QString text) {
    const qsizetype at = text.indexOf(u'|');
    const qsizetype lineStart = text.lastIndexOf(u'\n', at - 1) + 1;
    Marked m;
    m.caret = {int(text.first(at).count(u'\n')), int(at - lineStart)};
    m.text = text.remove(at, 1);
    return m;
}

inline std::shared_ptr<const ParsedDocument> parse(const QString& text, Stage stage,
                                                   const QString& file = QStringLiteral("a.glsl"),
                                                   Target target = Target::GlCompatibility) {
    return parseDocument(detectContext(QStringView(text), target, stage), file, text);
}

inline QStringList labels(const Completion& c) {
    QStringList l;
    for (const CompletionItem& i : c.items)
        l << i.label;
    return l;
}

// The completion at the '|' of a one-document program.
inline Completion completeAt(const QString& withCaret, Stage stage) {
    const Marked m = marked(withCaret);
    return complete({parse(m.text, stage)}, 0, m.text, m.caret);
}

}  // namespace tessory::glsl::testing
