// SPDX-License-Identifier: MIT
// The include expansion on files of any bytes: the input holds a stage's source and the files it
// may include (/fuzz/1.glsl, /fuzz/2.glsl, ... and /fuzz/inc/N.glsl for <N.glsl>), separated by
// NUL bytes. Whatever the includes do (cycles, depth, missing files), the expansion ends, and
// every line of its text maps back to a line of the file it came from, holding that line's text
// (or a blank or #error line in place of an #include or an include extension).
#include "compile/source_expand.h"
#include "texts/engine_texts.h"

#include "fuzz_check.h"

#include <QHash>
#include <QList>

#include <cstdint>

using namespace tessory;

namespace {

class MemoryFiles : public IncludeResolver {
public:
    QHash<QString, QByteArray> files;
    IncludeText read(const QString& path) const override {
        const auto found = files.constFind(path);
        if (found == files.cend()) {
            return {};
        }
        return {IncludeText::Status::Found, *found, {}};
    }
};

QList<QByteArrayView> linesOf(QByteArrayView text) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf("\r\n"); end >= 0; end = text.indexOf("\r\n", start)) {
        lines.append(text.sliced(start, end - start));
        start = end + 2;
    }
    lines.append(text.sliced(start));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    MemoryFiles resolver;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        resolver.files.insert(QStringLiteral("/fuzz/%1.glsl").arg(i), parts[i]);
        resolver.files.insert(QStringLiteral("/fuzz/inc/%1.glsl").arg(i), parts[i]);
    }
    static const EngineTexts texts = engineTexts(false);
    ExpandSettings settings;
    settings.includeDirs = {QStringLiteral("/fuzz/inc")};
    settings.root = QStringLiteral("/fuzz");
    if (parts[0].startsWith("D")) {
        settings.defines = {{QStringLiteral("FUZZ"), QStringLiteral("1")}};
    }
    const ExpandedSource expanded =
        expandSource(QStringLiteral("/fuzz/root.frag"), parts[0], settings, resolver, texts);
    const QList<QByteArrayView> lines = linesOf(expanded.text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<ExpandedSource::Place> place = expanded.place(i + 1);
        if (!place) {
            // Only the empty rest after the last line end has no place.
            FUZZ_CHECK(i + 1 == lines.size() && lines[i].isEmpty());
            continue;
        }
        FUZZ_CHECK(place->unit >= 0 && place->unit < expanded.units.size());
        const QList<QByteArrayView> own = linesOf(expanded.units[place->unit].text);
        FUZZ_CHECK(place->line >= 1 && place->line <= own.size());
        const QByteArrayView line = lines[i];
        FUZZ_CHECK(line == own[place->line - 1] || line.isEmpty() || line.startsWith("#error "));
        QList<SourceLocation> chain;
        const SourceLocation at = expanded.locate(i + 1, 1, &chain);
        FUZZ_CHECK(chain.size() <= kMaxIncludeDepth + 1);
        FUZZ_CHECK(!at.path.isEmpty());
    }
    for (const IncludeProblem& problem : expanded.problems + expanded.deferred) {
        FUZZ_CHECK(!problem.text.isEmpty() && problem.at.line && *problem.at.line >= 1);
    }
    return 0;
}
