// SPDX-License-Identifier: MIT
#pragma once

// The seams between this library and the glslang front end. Only the library's own sources
// include this header: it brings glslang's internal headers, which are built without RTTI.

#include "editor/glsl_context.h"
#include "editor/glsl_types.h"

#include <glslang/Include/PoolAlloc.h>
#include <glslang/MachineIndependent/SymbolTable.h>
#include <glslang/MachineIndependent/Versions.h>
#include <glslang/Public/ShaderLang.h>

#include <QStringList>

#include <functional>

namespace tessory::glsl::frontend {

// The front end's process-wide set-up (its keyword map and thread-local pool index), once.
void ensureProcess();

// Routes the front end's allocations of this thread to `pool` while the scope lasts. Every
// glslang object of a parse lives in such a pool, one per thread at a time, which is what makes
// parses on several threads safe.
class PoolScope {
public:
    explicit PoolScope(glslang::TPoolAllocator& pool);
    ~PoolScope();
    PoolScope(const PoolScope&) = delete;
    PoolScope& operator=(const PoolScope&) = delete;

private:
    glslang::TPoolAllocator* previous_;
};

struct Settings {
    int version = 110;
    EProfile profile = ENoProfile;
    EShLanguage language = EShLangFragment;
    glslang::SpvVersion spv;
    EShMessages messages = EShMsgDefault;
};
Settings settingsFor(const LanguageContext& context);

// A symbol table the library made itself, which it may therefore look into.
class Table : public glslang::TSymbolTable {
public:
    int depth() const { return static_cast<int>(table.size()); }
    const glslang::TSymbolTableLevel* level(int index) const { return table[index]; }
};

// The first level of a user's globals, after the three of builtins.
inline constexpr int kGlobalLevel = 3;

// The builtins of one context as the front end declares them: its common, stage and
// resource-dependent declarations parsed into the first three levels of a table. Built once per
// context and then only read, also by parses on other threads.
struct BuiltinTable {
    LanguageContext context;
    Settings settings;
    glslang::TPoolAllocator pool;
    Table table;
    double buildMilliseconds = 0;
};
const BuiltinTable& builtinTable(const LanguageContext& context);

// The named entries of a level: variables under their names, functions under mangled names. A
// level keeps them to itself; a class derived from it may name them, and the pointer to the
// member it gives reads them in any level.
struct LevelPeek : glslang::TSymbolTableLevel {
    using Entries = tLevel;
    static const Entries& of(const glslang::TSymbolTableLevel& level) {
        return level.*(&LevelPeek::level);
    }
};
inline const LevelPeek::Entries& entries(const glslang::TSymbolTableLevel& level) {
    return LevelPeek::of(level);
}

QString text(const glslang::TString& s);

TypeRef typeRef(const glslang::TType& type);
// "uniform", "in", "out", "buffer", "shared", "const" or empty.
QString storageText(const glslang::TQualifier& qualifier);
FunctionSignature signature(const glslang::TFunction& function);

// The struct and block types a type uses, its own and its members', by name. `place` gives the
// file, line and column of a member's source location; builtin types leave them unknown.
using PlaceOf = std::function<void(const glslang::TSourceLoc&, Field&)>;
void collectAggregates(const glslang::TType& type, Aggregates& into, const PlaceOf& place = {});

// Which of `candidates` the front end's scanner takes as keywords in the table's context, and
// which of those are type names.
struct KeywordProbe {
    QStringList keywords;
    QStringList types;
};
KeywordProbe probeKeywords(const BuiltinTable& table, const QStringList& candidates);

}  // namespace tessory::glsl::frontend
