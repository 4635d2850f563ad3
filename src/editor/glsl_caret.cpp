// SPDX-License-Identifier: MIT
#include "editor/glsl_caret.h"

#include <algorithm>

namespace tessory::glsl {

qsizetype offsetOf(QStringView text, TextPosition position) {
    qsizetype start = 0;
    for (int line = 0; line < position.line; ++line) {
        const qsizetype next = text.indexOf(u'\n', start);
        if (next < 0)
            return text.size();
        start = next + 1;
    }
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0)
        end = text.size();
    return std::min(start + std::max(0, position.column), end);
}

bool isIdentifierStart(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isIdentifierPart(QChar c) {
    return isIdentifierStart(c) || (c >= u'0' && c <= u'9');
}

Span identifierAt(QStringView text, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    qsizetype start = offset;
    while (start > 0 && isIdentifierPart(text[start - 1]))
        --start;
    qsizetype end = offset;
    while (end < text.size() && isIdentifierPart(text[end]))
        ++end;
    if (start == end || !isIdentifierStart(text[start]))
        return {};
    return {start, end};
}

Lexed lexBefore(QStringView text, qsizetype offset, qsizetype window) {
    Lexed out;
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    qsizetype i = std::max<qsizetype>(0, offset - window);
    if (i > 0) {
        // From the start of a line, where no token is cut; on a line longer than the window,
        // from the end of the token the window starts in.
        const qsizetype lineEnd = text.indexOf(u'\n', i - 1);
        if (lineEnd >= 0 && lineEnd < offset) {
            i = lineEnd + 1;
        } else {
            while (i < offset && isIdentifierPart(text[i]))
                ++i;
        }
    }
    while (i < offset) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'/') {
            const qsizetype end = text.indexOf(u'\n', i);
            if (end < 0 || end >= offset) {
                out.inComment = true;
                return out;
            }
            i = end;
        } else if (c == u'/' && i + 1 < text.size() && text[i + 1] == u'*') {
            const qsizetype end = text.indexOf(u"*/", i + 2);
            if (end < 0 || end + 2 > offset) {
                out.inComment = true;
                return out;
            }
            i = end + 2;
        } else if (isIdentifierStart(c)) {
            const qsizetype start = i;
            while (i < offset && isIdentifierPart(text[i]))
                ++i;
            out.tokens.push_back({start, i, 0, true});
        } else if (c.isDigit() || (c == u'.' && i + 1 < offset && text[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < offset && (isIdentifierPart(text[i]) || text[i] == u'.'))
                ++i;
            out.tokens.push_back({start, i, 0, false});
        } else if (c.isSpace()) {
            ++i;
        } else {
            out.tokens.push_back({i, i + 1, c.unicode(), false});
            ++i;
        }
    }
    return out;
}

namespace {

// The index of the bracket that opens the one closing at `close`, or -1.
qsizetype opening(const std::vector<CodeToken>& tokens, qsizetype close) {
    const char16_t closer = tokens[size_t(close)].punctuation;
    const char16_t opener = closer == u')' ? u'(' : u'[';
    int depth = 0;
    for (qsizetype i = close; i >= 0; --i) {
        const char16_t p = tokens[size_t(i)].punctuation;
        if (p == closer)
            ++depth;
        if (p == opener && --depth == 0)
            return i;
    }
    return -1;
}

}  // namespace

std::optional<std::vector<Access>> accessChainBeforeDot(QStringView text, const Lexed& lexed) {
    const std::vector<CodeToken>& t = lexed.tokens;
    if (t.empty() || t.back().punctuation != u'.')
        return std::nullopt;
    std::vector<Access> reversed;
    qsizetype i = qsizetype(t.size()) - 2;
    while (i >= 0) {
        const CodeToken& token = t[size_t(i)];
        if (token.punctuation == u']') {
            i = opening(t, i);
            if (i < 0)
                return std::nullopt;
            reversed.push_back({Access::Index, {}});
            --i;
            continue;
        }
        if (token.punctuation == u')') {
            i = opening(t, i) - 1;
            if (i < 0 || !t[size_t(i)].identifier)
                return std::nullopt;
            reversed.push_back({Access::Call, text.sliced(t[size_t(i)].start,
                                                          t[size_t(i)].end - t[size_t(i)].start)
                                                  .toString()});
            --i;
            break;
        }
        if (!token.identifier)
            return std::nullopt;
        const QString name = text.sliced(token.start, token.end - token.start).toString();
        if (i > 0 && t[size_t(i - 1)].punctuation == u'.') {
            reversed.push_back({Access::Member, name});
            i -= 2;
            continue;
        }
        reversed.push_back({Access::Name, name});
        break;
    }
    if (reversed.empty() || reversed.back().kind == Access::Index ||
        reversed.back().kind == Access::Member)
        return std::nullopt;
    return std::vector<Access>(reversed.rbegin(), reversed.rend());
}

std::optional<CallSite> enclosingCall(QStringView text, const Lexed& lexed) {
    struct Open {
        char16_t bracket;
        size_t token;
        int commas;
    };
    std::vector<Open> open;
    const std::vector<CodeToken>& t = lexed.tokens;
    for (size_t i = 0; i < t.size(); ++i) {
        const char16_t p = t[i].punctuation;
        if (p == u'(' || p == u'[' || p == u'{') {
            open.push_back({p, i, 0});
        } else if (p == u')' || p == u']' || p == u'}') {
            const char16_t opener = p == u')' ? u'(' : p == u']' ? u'[' : u'{';
            while (!open.empty() && open.back().bracket != opener)
                open.pop_back();
            if (!open.empty())
                open.pop_back();
        } else if (p == u',' && !open.empty()) {
            ++open.back().commas;
        } else if (p == u';') {
            // No call goes on past the end of a statement.
            while (!open.empty() && open.back().bracket != u'{')
                open.pop_back();
        }
    }
    static const QStringList notCalls = {QStringLiteral("if"), QStringLiteral("for"),
                                         QStringLiteral("while"), QStringLiteral("switch"),
                                         QStringLiteral("return")};
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if (it->bracket == u'{')
            break;
        if (it->bracket != u'(' || it->token == 0 || !t[it->token - 1].identifier)
            continue;
        const CodeToken& name = t[it->token - 1];
        const QString n = text.sliced(name.start, name.end - name.start).toString();
        if (notCalls.contains(n))
            continue;
        return CallSite{n, it->commas, name.start};
    }
    return std::nullopt;
}

}  // namespace tessory::glsl
