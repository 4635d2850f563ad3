// SPDX-License-Identifier: MIT
#pragma once

// What a pane's assist proposes at the caret, apart from the popups that show it: a provider
// says which typed text opens its proposal by itself and computes the proposal on the program's
// last parse. The pane asks its providers in turn; each popup shows one kind of proposal.

#include "editor/glsl_completion.h"
#include "editor/glsl_signature_help.h"

#include <QStringView>

#include <optional>
#include <variant>

namespace tessory {

struct AssistRequest {
    const glsl::Program& program;
    int document = 0;
    // The document's text, or as much of it as the queries read (see assistWindow).
    const QString& text;
    glsl::TextPosition caret;
};

using AssistProposal = std::variant<std::monostate, glsl::Completion, glsl::SignatureHelp>;

class AssistProvider {
public:
    virtual ~AssistProvider() = default;
    // Whether `lineBeforeCaret`, which the user just typed the end of, opens a proposal.
    virtual bool openedBy(QStringView lineBeforeCaret) const = 0;
    virtual AssistProposal propose(const AssistRequest& request) const = 0;
};

// Names after two letters of one, members and swizzles after a '.' that follows a name, an
// index or a call (not a number's).
class CompletionProvider final : public AssistProvider {
public:
    explicit CompletionProvider(int limit = 200) : limit_(limit) {}
    bool openedBy(QStringView lineBeforeCaret) const override;
    AssistProposal propose(const AssistRequest& request) const override;

private:
    int limit_;
};

// The overloads of a call, after its '(' and each ','.
class SignatureProvider final : public AssistProvider {
public:
    bool openedBy(QStringView lineBeforeCaret) const override;
    AssistProposal propose(const AssistRequest& request) const override;
};

// The lines a query at `caretLine` reads, with every earlier line left empty so that lines and
// columns stay the document's: the caret's line whole and at least `before` characters of the
// lines above it. `lineText` gives a line of the document.
template <typename LineText>
QString assistWindow(int caretLine, LineText lineText, qsizetype before = 20000) {
    QStringList lines;
    qsizetype size = 0;
    int first = caretLine;
    for (; first >= 0 && size < before; --first) {
        lines.prepend(lineText(first));
        size += lines.front().size() + 1;
    }
    return QString(first + 1, u'\n') + lines.join(u'\n');
}

}  // namespace tessory
