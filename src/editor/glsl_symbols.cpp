// SPDX-License-Identifier: MIT
#include "editor/glsl_symbols.h"

#include "editor/glsl_parse_pass.h"
#include "texts/win1252.h"

#include <QSet>

#include <set>
#include <utility>

namespace tessory::glsl {

using frontend::PassResult;
using frontend::PassSource;
using frontend::SectionPlace;

FunctionSignature Symbol::signature() const {
    return {name, type, parameters};
}

const Aggregate* ParsedDocument::aggregate(const QString& typeName) const {
    const auto it = aggregates.constFind(typeName);
    if (it != aggregates.cend())
        return &*it;
    if (builtins) {
        const auto b = builtins->aggregates.constFind(typeName);
        if (b != builtins->aggregates.cend())
            return &*b;
    }
    return nullptr;
}

namespace {

constexpr int kMaxIncludeDepth = 16;

// The name an #include line gives, or nothing for any other line.
std::optional<QString> includedName(QStringView line) {
    line = line.trimmed();
    if (!line.startsWith(u'#'))
        return std::nullopt;
    line = line.mid(1).trimmed();
    if (!line.startsWith(u"include"))
        return std::nullopt;
    line = line.mid(7).trimmed();
    if (line.size() < 2)
        return std::nullopt;
    const QChar close = line[0] == u'"' ? u'"' : line[0] == u'<' ? u'>' : QChar();
    const qsizetype end = close.isNull() ? -1 : line.indexOf(close, 1);
    if (end < 0)
        return std::nullopt;
    return line.mid(1, end - 1).toString();
}

void expandInto(QList<SourceSection>& out, const SourceSection& section,
                const IncludeResolver& resolve, QStringList& path) {
    const QStringList lines = section.text.split(u'\n');
    SourceSection current{section.file, {}, section.firstLine};
    bool inComment = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const bool startsInComment = inComment;
        // Block comments carry over lines; an #include inside one is no directive.
        for (qsizetype c = 0; c < line.size(); ++c) {
            if (inComment) {
                if (line[c] == u'*' && c + 1 < line.size() && line[c + 1] == u'/') {
                    inComment = false;
                    ++c;
                }
            } else if (line[c] == u'/' && c + 1 < line.size()) {
                if (line[c + 1] == u'/')
                    break;
                if (line[c + 1] == u'*') {
                    inComment = true;
                    ++c;
                }
            }
        }
        std::optional<SourceSection> included;
        if (!startsInComment && path.size() < kMaxIncludeDepth) {
            if (const auto name = includedName(line); name && resolve) {
                included = resolve(*name, section.file);
                if (included && path.contains(included->file))
                    included.reset();
            }
        }
        if (!included) {
            current.text += line;
            if (i + 1 < lines.size())
                current.text += u'\n';
            continue;
        }
        if (!current.text.isEmpty())
            out << current;
        path << included->file;
        expandInto(out, *included, resolve, path);
        path.removeLast();
        current = {section.file, {}, section.firstLine + int(i) + 1};
    }
    if (!current.text.isEmpty() || out.isEmpty())
        out << current;
}

// The 8-bit text the front end reads. A NUL would end its strings early for some of its
// checks: a space keeps the columns.
std::string frontEndBytes(const QString& text) {
    QByteArray bytes = toWin1252Lossy(text);
    bytes.replace('\0', ' ');
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    return bytes.toStdString();
}

void blankLine(std::string& bytes, int line) {
    size_t start = 0;
    for (int l = 0; l < line && start != std::string::npos; ++l) {
        start = bytes.find('\n', start);
        if (start != std::string::npos)
            ++start;
    }
    if (start == std::string::npos)
        return;
    for (size_t i = start; i < bytes.size() && bytes[i] != '\n'; ++i)
        bytes[i] = ' ';
}

class Reparser {
public:
    Reparser(const QList<SourceSection>& sections, const ParseOptions& options)
        : sections_(sections), options_(options) {
        source_.sections = &sections_;
        for (const SourceSection& s : sections_) {
            source_.bytes.push_back(frontEndBytes(s.text));
            std::vector<qsizetype> starts{0};
            for (qsizetype at = s.text.indexOf(u'\n'); at >= 0; at = s.text.indexOf(u'\n', at + 1))
                starts.push_back(at + 1);
            source_.lineStarts.push_back(std::move(starts));
        }
    }

    // Blanks the line most likely to hold what stopped the parse; false when there is none
    // left to try.
    bool getPast(const PassResult& r) {
        if (r.atEnd && r.openScopes > 0 && !closed_) {
            // A body still being written at the end of the file: close its scopes instead.
            closed_ = true;
            source_.bytes.back() += std::string(size_t(r.openScopes), '}') + '\n';
            return true;
        }
        const SectionPlace edited{0, options_.editedLine - sections_[0].firstLine, 0};
        const bool firstOnLine = r.previousToken.section != r.errorToken.section ||
                                 r.previousToken.line != r.errorToken.line;
        SectionPlace candidates[] = {edited, firstOnLine ? r.previousToken : r.errorToken,
                                     r.errorToken, r.previousToken};
        for (const SectionPlace& p : candidates) {
            if (p.section < 0 || p.section >= int(source_.bytes.size()) || p.line < 0)
                continue;
            if (!blanked_.insert({p.section, p.line}).second)
                continue;
            blankLine(source_.bytes[size_t(p.section)], p.line);
            if (p.section == 0 || sections_[p.section].file == sections_[0].file)
                blankedLines_ << sections_[p.section].firstLine + p.line;
            return true;
        }
        return false;
    }

    const PassSource& source() const { return source_; }
    const QList<int>& blankedLines() const { return blankedLines_; }

private:
    QList<SourceSection> sections_;
    const ParseOptions& options_;
    PassSource source_;
    std::set<std::pair<int, int>> blanked_;
    QList<int> blankedLines_;
    bool closed_ = false;
};

}  // namespace

QList<SourceSection> expandIncludes(const QString& file, const QString& text,
                                    const IncludeResolver& resolve) {
    QList<SourceSection> out;
    QStringList path{file};
    expandInto(out, {file, text, 0}, resolve, path);
    return out;
}

std::shared_ptr<const ParsedDocument> parseDocument(const LanguageContext& context,
                                                    const QList<SourceSection>& sections,
                                                    const ParseOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    auto doc = std::make_shared<ParsedDocument>();
    doc->context = context;
    doc->builtins = builtinsFor(context);
    QList<SourceSection> parts = sections;
    if (parts.isEmpty())
        parts << SourceSection{};
    doc->file = parts[0].file;
    const auto deadline = options.budget.count() > 0 ? start + options.budget
                                                     : std::chrono::steady_clock::time_point::max();
    const frontend::BuiltinTable& table = frontend::builtinTable(context);
    Reparser reparser(parts, options);
    PassResult result;
    for (int attempt = 0; attempt <= options.maxRetries; ++attempt) {
        // A parse that a syntax error stops early checks neither while it runs. The first one
        // always runs: out of time, it still gives the symbols of its first tokens.
        if ((attempt > 0 && std::chrono::steady_clock::now() > deadline) ||
            (options.cancel && options.cancel->load())) {
            result.interrupted = true;
            break;
        }
        result = frontend::runPass(table, reparser.source(), deadline, options.cancel);
        ++doc->attempts;
        if (attempt == 0)
            doc->diagnostics = result.diagnostics;
        if (result.interrupted || !result.stopped || !reparser.getPast(result))
            break;
    }
    doc->symbols = std::move(result.symbols);
    doc->aggregates = std::move(result.aggregates);
    doc->extensions = result.extensions;
    doc->extensions.removeDuplicates();
    doc->blankedLines = reparser.blankedLines();
    doc->complete = !result.interrupted;
    doc->milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return doc;
}

std::shared_ptr<const ParsedDocument> parseDocument(const LanguageContext& context,
                                                    const QString& file, const QString& text,
                                                    const ParseOptions& options) {
    return parseDocument(context, {SourceSection{file, text, 0}}, options);
}

}  // namespace tessory::glsl
