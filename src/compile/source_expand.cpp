// SPDX-License-Identifier: MIT
#include "compile/source_expand.h"

#include "compile/driver_messages.h"
#include "compile/target.h"
#include "texts/text_lines.h"
#include "workspace/file_io.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace tessory {
namespace {

constexpr QByteArrayView kCrLf = "\r\n";

// Larger conversion buffers are not kept from one source to the next.
constexpr qsizetype kKeptBufferSize = qsizetype(1) << 20;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isIdentifierChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' ||
           (c >= u'0' && c <= u'9');
}

qsizetype skipBlanks(QByteArrayView line, qsizetype pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    return pos;
}

// Follows the block comments of the rest of a line, from pos, so that the next line knows
// whether it starts inside one. GLSL has no string literals to hide a comment's start.
void followComments(QByteArrayView line, qsizetype pos, bool& inComment) {
    while (pos < line.size()) {
        if (inComment) {
            const qsizetype end = line.indexOf("*/", pos);
            if (end < 0) {
                return;
            }
            inComment = false;
            pos = end + 2;
            continue;
        }
        const qsizetype slash = line.indexOf('/', pos);
        if (slash < 0 || slash + 1 >= line.size()) {
            return;
        }
        if (line[slash + 1] == '/') {
            return;
        }
        if (line[slash + 1] == '*') {
            inComment = true;
            pos = slash + 2;
        } else {
            pos = slash + 1;
        }
    }
}

enum class LineKind { Other, Include, IncludeExtension, Opens, Closes };

struct IncludeLine {
    QString name;
    bool angled = false;
    qint64 column = 1;  // of the name's first character
    bool wellFormed = false;
};

// What one line is to the expansion, and the comment state after it.
LineKind scanLine(QByteArrayView line, bool& inComment, IncludeLine& include) {
    qsizetype pos = 0;
    for (;;) {
        if (inComment) {
            const qsizetype end = line.indexOf("*/", pos);
            if (end < 0) {
                return LineKind::Other;
            }
            inComment = false;
            pos = end + 2;
        }
        pos = skipBlanks(line, pos);
        if (line.sliced(pos).startsWith("/*")) {
            inComment = true;
            pos += 2;
            continue;
        }
        break;
    }
    if (pos >= line.size() || line[pos] != '#') {
        followComments(line, pos, inComment);
        return LineKind::Other;
    }
    pos = skipBlanks(line, pos + 1);
    qsizetype end = pos;
    while (end < line.size() && isIdentifierChar(char16_t(uchar(line[end])))) {
        ++end;
    }
    const QByteArrayView word = line.sliced(pos, end - pos);
    LineKind kind = LineKind::Other;
    if (word == "include") {
        kind = LineKind::Include;
        const qsizetype open = skipBlanks(line, end);
        const char quote = open < line.size() ? line[open] : '\0';
        const char close = quote == '<' ? '>' : '"';
        const qsizetype closing = quote == '"' || quote == '<' ? line.indexOf(close, open + 1) : -1;
        if (closing > open + 1) {
            include.name = QString::fromUtf8(line.sliced(open + 1, closing - open - 1));
            include.angled = quote == '<';
            include.column = open + 2;
            include.wellFormed = true;
            end = closing + 1;
        }
    } else if (word == "extension") {
        const qsizetype name = skipBlanks(line, end);
        const QByteArrayView rest = line.sliced(name);
        if (rest.startsWith("GL_GOOGLE_include_directive") ||
            rest.startsWith("GL_ARB_shading_language_include")) {
            kind = LineKind::IncludeExtension;
        }
    } else if (word == "if" || word == "ifdef" || word == "ifndef") {
        kind = LineKind::Opens;
    } else if (word == "endif") {
        kind = LineKind::Closes;
    }
    followComments(line, end, inComment);
    return kind;
}

QString directoryOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : path.first(slash);
}

bool isUnder(const QString& absolutePath, const QString& absoluteDirectory) {
    return absoluteDirectory == u"/" || absolutePath == absoluteDirectory ||
           absolutePath.startsWith(absoluteDirectory + u'/');
}

struct Frame {
    int unit = 0;
    qsizetype pos = 0;
    qint64 line = 1;
    int baseDepth = 0;  // #if blocks open around the #include that brought the unit in
    int depth = 0;      // #if blocks the unit itself has open
    bool inComment = false;
};

class Expander {
public:
    Expander(const ExpandSettings& settings, const IncludeResolver& resolver,
             const EngineTexts& texts)
        : settings_(settings), resolver_(resolver), texts_(texts) {}

    ExpandedSource run(const QString& path, QByteArrayView bytes) {
        // Kept from source to source on each thread: a fresh block a source, taken among the
        // many small ones the driver has just freed, costs twice as long as the conversion. The
        // result shares it until it goes, after the compile; one that a long source made large
        // is let go.
        thread_local QByteArray converted;
        if (converted.capacity() > kKeptBufferSize) {
            converted = QByteArray();
        }
        withCrLfLineEnds(bytes, converted);
        SourceUnit root;
        root.path = path;
        root.text = converted;
        result_.units.append(std::move(root));
        const QByteArray& text = result_.units[0].text;
        if (settings_.defines.isEmpty() && !text.contains("include")) {
            result_.text = text;
            result_.spans.push_back({1, 0, 1, text.count(kCrLf) + 1});
            return std::move(result_);
        }
        // Only a source that includes or is given defines needs the paths.
        for (const QString& directory : settings_.includeDirs) {
            absoluteDirs_.append(absoluteCleanPath(directory));
        }
        if (!settings_.root.isEmpty()) {
            root_ = absoluteCleanPath(settings_.root);
        }
        absolutePaths_.append(absoluteCleanPath(path));
        result_.text.reserve(text.size() + text.size() / 2);
        const qint64 definesLine = readGlslVersion(text).bodyLine + 1;
        bool definesPut = settings_.defines.isEmpty();
        stack_.push_back(Frame{});
        while (!stack_.empty()) {
            if (!definesPut && stack_.size() == 1 && stack_.back().line == definesLine) {
                putDefines();
                definesPut = true;
            }
            step();
        }
        return std::move(result_);
    }

private:
    void putLine(QByteArrayView line, int unit, qint64 unitLine) {
        result_.text.append(line).append(kCrLf);
        std::vector<ExpandedSource::Span>& spans = result_.spans;
        if (!spans.empty() && spans.back().unit == unit &&
            spans.back().unitFirst + spans.back().count == unitLine) {
            ++spans.back().count;
        } else {
            spans.push_back({emitted_ + 1, unit, unitLine, 1});
        }
        ++emitted_;
    }

    void putDefines() {
        SourceUnit unit;
        unit.path = result_.units[0].path;
        unit.defines = true;
        for (const Define& define : settings_.defines) {
            unit.text += "#define " + define.name.toUtf8();
            if (define.value) {
                unit.text += ' ' + define.value->toUtf8();
            }
            unit.text += kCrLf;
        }
        result_.units.append(unit);
        absolutePaths_.append(QString());
        const int index = int(result_.units.size() - 1);
        qint64 line = 1;
        for (const QByteArray& text : unit.text.chopped(2).split('\n')) {
            putLine(text.endsWith('\r') ? text.chopped(1) : text, index, line++);
        }
    }

    void step() {
        Frame& frame = stack_.back();
        const QByteArray& text = result_.units[frame.unit].text;
        if (frame.pos >= text.size()) {
            stack_.pop_back();
            return;
        }
        const qsizetype lineEnd = text.indexOf(kCrLf, frame.pos);
        const qsizetype end = lineEnd < 0 ? text.size() : lineEnd;
        const QByteArrayView line = QByteArrayView(text).sliced(frame.pos, end - frame.pos);
        frame.pos = lineEnd < 0 ? text.size() : lineEnd + 2;
        const qint64 lineNumber = frame.line++;
        const int unit = frame.unit;
        IncludeLine include;
        switch (scanLine(line, frame.inComment, include)) {
            case LineKind::Include:
                include_(include, unit, lineNumber, frame.baseDepth + frame.depth);
                return;
            case LineKind::IncludeExtension:
                putLine({}, unit, lineNumber);
                return;
            case LineKind::Opens:
                ++frame.depth;
                break;
            case LineKind::Closes:
                frame.depth = std::max(0, frame.depth - 1);
                break;
            case LineKind::Other:
                break;
        }
        putLine(line, unit, lineNumber);
    }

    // Where the named file is; an empty path with the problem added when it cannot be used.
    void include_(const IncludeLine& include, int unit, qint64 line, int depth) {
        const SourceLocation at{result_.units[unit].path, line, include.column};
        const auto problem = [&](const QString& text) {
            IncludeProblem found{at, text, unit};
            if (depth > 0) {
                putLine(("#error " + deferredMarker(int(result_.deferred.size()))).toUtf8(), unit,
                        line);
                result_.deferred.append(found);
            } else {
                putLine({}, unit, line);
                result_.problems.append(found);
            }
        };
        if (!include.wellFormed) {
            problem(texts_.includeSyntax);
            return;
        }
        if (stack_.size() > std::size_t(kMaxIncludeDepth)) {
            problem(texts_.includeTooDeep.arg(include.name).arg(kMaxIncludeDepth));
            return;
        }
        const QString& includingPath = result_.units[unit].path;
        QStringList directories;
        QStringList absoluteDirectories;
        if (!include.angled) {
            directories.append(directoryOf(includingPath));
            absoluteDirectories.append(directoryOf(absolutePaths_[unit]));
        }
        directories.append(settings_.includeDirs);
        absoluteDirectories.append(absoluteDirs_);
        const bool absolute = include.name.startsWith(u'/');
        if (absolute) {
            directories = {QString()};
            absoluteDirectories = {QString()};
        }
        QString escaped;
        for (qsizetype i = 0; i < directories.size(); ++i) {
            const QString shown =
                QDir::cleanPath(absolute ? include.name : directories[i] + u'/' + include.name);
            const QString full =
                absolute ? QDir::cleanPath(include.name)
                         : QDir::cleanPath(absoluteDirectories[i] + u'/' + include.name);
            // An absolute name is outside every search directory from the start.
            if ((absolute || !isUnder(full, absoluteDirectories[i])) && !root_.isEmpty() &&
                !isUnder(full, root_) && !underIncludeDirectory(full)) {
                escaped = escaped.isEmpty() ? shown : escaped;
                continue;
            }
            const IncludeText read = resolver_.read(full);
            if (read.status == IncludeText::Status::Missing) {
                continue;
            }
            if (read.status == IncludeText::Status::Unusable) {
                problem(texts_.includeUnusable.arg(include.name, shown, read.cause));
                return;
            }
            if (const qsizetype cycle = cycleStart(full); cycle >= 0) {
                problem(texts_.includeCycle.arg(include.name, cycleChain(cycle, shown)));
                return;
            }
            enter(shown, full, read.bytes, at, unit, depth);
            return;
        }
        if (!escaped.isEmpty()) {
            problem(texts_.includeEscapes.arg(include.name, escaped, settings_.root));
            return;
        }
        problem(texts_.includeMissing.arg(include.name, directories.isEmpty()
                                                            ? texts_.noIncludeDirectories
                                                            : directories.join(u", ")));
    }

    bool underIncludeDirectory(const QString& full) const {
        return std::any_of(absoluteDirs_.begin(), absoluteDirs_.end(),
                           [&](const QString& directory) { return isUnder(full, directory); });
    }

    // The frame of the stack whose file is `full`, or -1.
    qsizetype cycleStart(const QString& full) const {
        for (std::size_t i = 0; i < stack_.size(); ++i) {
            if (absolutePaths_[stack_[i].unit] == full) {
                return qsizetype(i);
            }
        }
        return -1;
    }

    QString cycleChain(qsizetype from, const QString& again) const {
        QStringList chain;
        for (std::size_t i = std::size_t(from); i < stack_.size(); ++i) {
            chain.append(result_.units[stack_[i].unit].path);
        }
        chain.append(again);
        return chain.join(QStringLiteral(" -> "));
    }

    void enter(const QString& shown, const QString& full, const QByteArray& bytes,
               const SourceLocation& at, int parent, int depth) {
        SourceUnit unit;
        unit.path = shown;
        unit.text = withCrLfLineEnds(bytes);
        unit.parent = parent;
        unit.includedAt = at;
        result_.units.append(std::move(unit));
        absolutePaths_.append(full);
        Frame frame;
        frame.unit = int(result_.units.size() - 1);
        frame.baseDepth = depth;
        stack_.push_back(frame);
    }

    const ExpandSettings& settings_;
    const IncludeResolver& resolver_;
    const EngineTexts& texts_;
    QStringList absoluteDirs_;
    QString root_;
    ExpandedSource result_;
    QStringList absolutePaths_;  // by unit
    std::vector<Frame> stack_;
    qint64 emitted_ = 0;
};

}  // namespace

QString defineProblem(const Define& define, const EngineTexts& texts) {
    // A name, or a function-like macro's name with its parameters: F(a, b).
    static const QRegularExpression macro(QStringLiteral(
        "\\A[A-Za-z_]\\w*(?:\\(\\s*(?:[A-Za-z_]\\w*\\s*(?:,\\s*[A-Za-z_]\\w*\\s*)*)?\\))?\\z"));
    if (!macro.match(define.name).hasMatch()) {
        return texts.defineName.arg(define.name);
    }
    if (define.value && (define.value->contains(u'\n') || define.value->contains(u'\r'))) {
        return texts.defineLineBreak.arg(define.name);
    }
    return {};
}

QString deferredMarker(int n) {
    return QStringLiteral("TESSORY_INCLUDE_PROBLEM_%1").arg(n);
}

std::optional<ExpandedSource::Place> ExpandedSource::place(qint64 line) const {
    const auto after = std::upper_bound(spans.begin(), spans.end(), line,
                                        [](qint64 l, const Span& span) { return l < span.first; });
    if (after == spans.begin()) {
        return std::nullopt;
    }
    const Span& span = *(after - 1);
    if (line >= span.first + span.count) {
        return std::nullopt;
    }
    return Place{span.unit, span.unitFirst + (line - span.first)};
}

SourceLocation ExpandedSource::locate(qint64 line, std::optional<qint64> column,
                                      QList<SourceLocation>* includedFrom) const {
    const std::optional<Place> found = place(line);
    if (!found) {
        return {units.value(0).path, std::nullopt, std::nullopt};
    }
    const SourceUnit& unit = units[found->unit];
    if (unit.defines) {
        return {unit.path, std::nullopt, std::nullopt};
    }
    SourceLocation at{unit.path, found->line, std::nullopt};
    if (column) {
        qsizetype start = 0;
        for (qint64 l = 1; l < found->line && start >= 0; ++l) {
            start = unit.text.indexOf(kCrLf, start);
            start = start < 0 ? -1 : start + 2;
        }
        if (start >= 0) {
            const qsizetype end = unit.text.indexOf(kCrLf, start);
            const QByteArrayView text =
                QByteArrayView(unit.text).sliced(start, (end < 0 ? unit.text.size() : end) - start);
            at.column = sourceColumn(text, *column);
        }
    }
    if (includedFrom) {
        *includedFrom = includeChain(found->unit);
    }
    return at;
}

QList<SourceLocation> ExpandedSource::includeChain(int unit) const {
    QList<SourceLocation> chain;
    for (; unit >= 0 && units[unit].parent >= 0; unit = units[unit].parent) {
        chain.append(units[unit].includedAt);
    }
    return chain;
}

ExpandedSource expandSource(const QString& path, QByteArrayView bytes,
                            const ExpandSettings& settings, const IncludeResolver& resolver,
                            const EngineTexts& texts) {
    return Expander(settings, resolver, texts).run(path, bytes);
}

}  // namespace tessory
