// SPDX-License-Identifier: MIT
#pragma once

// One run of the front end's parser over a program's sections, watched so that every symbol the
// parser enters into its table is taken down with its place, before scopes end and take their
// locals away. Internal to the library.

#include "editor/glsl_frontend.h"
#include "editor/glsl_symbols.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace tessory::glsl::frontend {

// The sections as the front end reads them (8-bit text, each ending with a line break) and
// what turns its places back into files, lines and declaring lines.
struct PassSource {
    std::vector<std::string> bytes;
    const QList<SourceSection>* sections = nullptr;
    std::vector<std::vector<qsizetype>> lineStarts;  // in each section's text, to quote lines
    // The text of a line of a section, or nothing.
    QStringView line(int section, int line) const;
};

// A place in the sections: section index and 0-based line and column; section -1 when unknown.
struct SectionPlace {
    int section = -1;
    int line = 0;
    int column = 0;
};

struct PassResult {
    QList<Symbol> symbols;
    Aggregates aggregates;
    QStringList extensions;
    QList<Diagnostic> diagnostics;
    bool stopped = false;      // a syntax error (or a parser stack overflow) ended the parse
    bool interrupted = false;  // the deadline or the cancel flag ended it
    bool atEnd = false;        // it stopped at the end of the input
    int openScopes = 0;        // the scopes still open where it stopped
    SectionPlace errorToken;   // the token the parser could not take
    SectionPlace previousToken;
};

PassResult runPass(const BuiltinTable& builtins, const PassSource& source,
                   std::chrono::steady_clock::time_point deadline, const std::atomic_bool* cancel);

}  // namespace tessory::glsl::frontend
