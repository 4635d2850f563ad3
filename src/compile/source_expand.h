// SPDX-License-Identifier: MIT
#pragma once

#include "compile/include_resolver.h"
#include "compile/shader_message.h"
#include "texts/engine_texts.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tessory {

// A macro given to every stage of a program: `#define NAME VALUE` (or without a value).
struct Define {
    QString name;
    std::optional<QString> value;

    friend bool operator==(const Define&, const Define&) = default;
};

// Why a define cannot be given to a driver (a name that is no identifier, a line break in the
// value), or an empty text.
QString defineProblem(const Define& define, const EngineTexts& texts);

// What the includes of a source may reach and what is put before it.
struct ExpandSettings {
    // Searched in order after the including file's own directory ("file") or alone (<file>).
    QStringList includeDirs;
    QList<Define> defines;
    // An include whose path leaves every search directory through ".." must stay under this
    // directory; empty for no such limit.
    QString root;
};

// One file as it went into the expanded text, every line ended by CR LF.
struct SourceUnit {
    QString path;
    QByteArray text;
    // The unit whose #include line brought this one in, and that line; -1 for the stage's own
    // file and for the defines put before it.
    int parent = -1;
    SourceLocation includedAt;
    bool defines = false;
};

// An include that could not be put in place, at its #include line.
struct IncludeProblem {
    SourceLocation at;
    QString text;
    // The unit holding the #include line.
    int unit = 0;
};

// A stage's source with every #include line replaced by the text of the file it names, the
// include extensions' #extension lines blanked (the text carries no #include any more), and the
// defines after its #version line. Nothing else changes: the driver does the preprocessing.
// Drivers number the lines of the whole text (Mesa prints source string 0 whatever a #line
// directive says), so the text carries no #line and `place` maps its lines back.
struct ExpandedSource {
    QByteArray text;
    QList<SourceUnit> units;
    // Problems that stop the stage from being compiled: at an #include that is always reached.
    QList<IncludeProblem> problems;
    // Problems of #include lines inside #if blocks, put in the text as #error lines that name
    // them by number ("#error TESSORY_INCLUDE_PROBLEM_3"), so that only those the driver's own
    // preprocessor reaches are reported.
    QList<IncludeProblem> deferred;

    struct Place {
        int unit = 0;
        qint64 line = 0;  // 1-based line of the unit
    };
    // The unit and line of a 1-based line of the text; nothing for a line outside it.
    std::optional<Place> place(qint64 line) const;
    // The location in the file of a line and driver column of the text (the column as the driver
    // counts it, mapped to the file's own characters), and the #include lines that led there,
    // innermost first.
    SourceLocation locate(qint64 line, std::optional<qint64> column,
                          QList<SourceLocation>* includedFrom) const;
    // The #include lines that brought the unit in, innermost first; empty for the stage's file.
    QList<SourceLocation> includeChain(int unit) const;

    struct Span {
        qint64 first;  // 1-based line of the text
        int unit;
        qint64 unitFirst;  // 1-based line of the unit
        qint64 count;
    };
    std::vector<Span> spans;
};

// The marker of deferred problem n in the driver's messages.
QString deferredMarker(int n);

// Expands the source of the file at `path`. Included paths are the including file's directory
// or the include directory joined with the name, as written; they are read through `resolver`.
ExpandedSource expandSource(const QString& path, QByteArrayView bytes,
                            const ExpandSettings& settings, const IncludeResolver& resolver,
                            const EngineTexts& texts);

// Deeper nesting than this is refused: a chain of includes that long is a mistake, and a cycle
// that #if guards away would otherwise only end there.
inline constexpr int kMaxIncludeDepth = 200;

}  // namespace tessory
