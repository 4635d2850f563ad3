// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_builtins.h"
#include "editor/glsl_context.h"
#include "editor/glsl_types.h"

#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tessory::glsl {

enum class SymbolKind {
    Function,
    Struct,
    Block,  // a uniform, buffer, in or out interface block
    Uniform,
    Input,
    Output,
    Global,  // a global variable, buffer or shared variable without a block
    Constant,
    Parameter,
    Local,
};

// A declaration of the user's program, from the front end's parse. Lines and columns count
// from 0, in `file`.
struct Symbol {
    QString name;
    SymbolKind kind = SymbolKind::Global;
    TypeRef type;         // a function's return type; a block's instance type
    QString qualifier;    // "uniform", "in", "out", "buffer", "shared", "const" or empty
    QString declaration;  // the declaring line, without its indent
    QString file;
    int line = 0;
    int column = 0;
    QString scope;  // the function a parameter or local belongs to
    // Where the block of a local ends, and where a function's body ends; -1 when unknown.
    int endLine = -1;
    int endColumn = -1;
    QList<Parameter> parameters;  // functions
    bool definition = false;      // a function with its body, not a prototype
    QString instance;             // blocks: the instance name, empty for a block without one
    QString block;                // a block's instance variable or member: the block's name
    QList<Field> fields;          // structs and blocks

    FunctionSignature signature() const;
};

struct Diagnostic {
    QString file;
    int line = 0;
    int column = 0;
    QString message;
    bool error = true;
};

// A part of a program's source: the document itself, or a file it includes, from `firstLine` of
// that file on. A program is the concatenation of its sections.
struct SourceSection {
    QString file;
    QString text;
    int firstLine = 0;
};

// Finds an included file by the name an #include line gives, from the file that includes it.
using IncludeResolver =
    std::function<std::optional<SourceSection>(const QString& name, const QString& from)>;

// The document's text with every #include line replaced by the file it names (nested ones too,
// at most 16 deep, each file once on a path), so that the symbols of included files carry their
// file. A line that names no file it can find stays, for the front end to report.
QList<SourceSection> expandIncludes(const QString& file, const QString& text,
                                    const IncludeResolver& resolve);

struct ParseOptions {
    // The line being typed, in the document's file: blanked first when the parse fails there
    // or after it.
    int editedLine = -1;
    // How many times a line may be blanked after a syntax error before the parse gives up.
    int maxRetries = 6;
    // 0 for no limit. A parse that runs out of it stops where it is: its result has the
    // symbols up to there and `complete` false.
    std::chrono::milliseconds budget{0};
    const std::atomic_bool* cancel = nullptr;
};

// One document of a program, parsed: an immutable value, so that a parse can run on a worker
// thread while queries use the last one.
struct ParsedDocument {
    QString file;
    LanguageContext context;
    std::shared_ptr<const Builtins> builtins;
    QList<Symbol> symbols;          // in the order of the source
    Aggregates aggregates;          // the document's structs and blocks by type name
    QStringList extensions;         // the #extension lines that enable or require one
    QList<Diagnostic> diagnostics;  // the front end's messages on the text as it was given
    QList<int> blankedLines;        // lines of `file` blanked to get past syntax errors
    bool complete = true;           // false when the budget or the cancel flag stopped the parse
    int attempts = 0;
    double milliseconds = 0;

    const Aggregate* aggregate(const QString& typeName) const;
};

// Parses a document with the front end of `context`. Never throws; a source the front end
// cannot read at all gives a document without symbols and with its messages. Safe to call on
// several threads at once: the front end's process-wide set-up runs once, each parse allocates
// from a pool of its own, which glslang keeps per thread, and the builtin tables it shares are
// only read.
std::shared_ptr<const ParsedDocument> parseDocument(const LanguageContext& context,
                                                    const QList<SourceSection>& sections,
                                                    const ParseOptions& options = {});
std::shared_ptr<const ParsedDocument> parseDocument(const LanguageContext& context,
                                                    const QString& file, const QString& text,
                                                    const ParseOptions& options = {});

// The documents of one program (a vertex and a fragment shader, say), each parsed in its own
// context, and the one a query is about.
using Program = QList<std::shared_ptr<const ParsedDocument>>;

}  // namespace tessory::glsl
