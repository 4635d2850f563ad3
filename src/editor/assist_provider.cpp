// SPDX-License-Identifier: MIT
#include "editor/assist_provider.h"

#include "editor/glsl_caret.h"

namespace tessory {

bool CompletionProvider::openedBy(QStringView line) const {
    if (line.endsWith(u'.')) {
        const QStringView before = line.chopped(1).trimmed();
        if (before.isEmpty()) {
            return false;
        }
        const QChar last = before.back();
        if (last == u')' || last == u']') {
            return true;
        }
        // A name, not the digits of a number such as 1.
        qsizetype start = before.size();
        while (start > 0 && glsl::isIdentifierPart(before[start - 1])) {
            --start;
        }
        return start < before.size() && glsl::isIdentifierStart(before[start]);
    }
    qsizetype start = line.size();
    while (start > 0 && glsl::isIdentifierPart(line[start - 1])) {
        --start;
    }
    // Exactly two: from the third letter on the open list filters itself, and a list closed
    // with Escape stays closed for the rest of the name.
    return line.size() - start == 2 && glsl::isIdentifierStart(line[start]);
}

AssistProposal CompletionProvider::propose(const AssistRequest& r) const {
    glsl::Completion c = glsl::complete(r.program, r.document, r.text, r.caret, limit_);
    if (c.items.isEmpty()) {
        return {};
    }
    return c;
}

bool SignatureProvider::openedBy(QStringView line) const {
    return line.endsWith(u'(') || line.endsWith(u',');
}

AssistProposal SignatureProvider::propose(const AssistRequest& r) const {
    std::optional<glsl::SignatureHelp> help =
        glsl::signatureHelp(r.program, r.document, r.text, r.caret);
    if (!help || help->overloads.isEmpty()) {
        return {};
    }
    return *help;
}

}  // namespace tessory
