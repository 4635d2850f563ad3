// SPDX-License-Identifier: MIT
#include "editor/glsl_parse_pass.h"

#include <glslang/MachineIndependent/ParseHelper.h>
#include <glslang/MachineIndependent/ScanContext.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/MachineIndependent/preprocessor/PpContext.h>
#include <glslang/Public/ResourceLimits.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

// The parser the front end's grammar generates.
int yyparse(glslang::TParseContext*);

namespace tessory::glsl::frontend {

using namespace glslang;

namespace {

class Watcher;

// The preprocessor, reading the sections through an input that shows every token it takes
// from them to the watcher.
class WatchedPp : public TPpContext {
public:
    using TPpContext::TPpContext;

    // What setInput does, with the watched input in place of the plain one.
    void start(TInputScanner& scanner, Watcher& watcher) {
        pushInput(new Input(this, scanner, watcher));
        errorOnVersion = false;
        versionSeen = false;
    }

private:
    class Input : public tInput {
    public:
        Input(TPpContext* pp, TInputScanner& scanner, Watcher& watcher)
            : tInput(pp), inner_(pp, scanner), watcher_(watcher) {}
        int scan(TPpToken* token) override;
        int getch() override { return inner_.getch(); }
        void ungetch() override { inner_.ungetch(); }

    private:
        tStringInput inner_;
        Watcher& watcher_;
    };
};

// The parser's context, with the parse itself started through the watched preprocessor and the
// messages kept instead of printed.
class WatchedContext : public TParseContext {
public:
    WatchedContext(Table& table, TIntermediate& intermediate, const Settings& s, TInfoSink& sink,
                   Watcher& watcher, QList<Diagnostic>& messages)
        : TParseContext(table, intermediate, false, s.version, s.profile, s.spv, s.language, sink,
                        false, s.messages),
          watcher_(watcher),
          messages_(messages) {}

    bool parseShaderStrings(TPpContext& pp, TInputScanner& input, bool) override {
        setScanner(&input);
        static_cast<WatchedPp&>(pp).start(input, watcher_);
        parserResult = yyparse(this);
        finish();
        return numErrors == 0;
    }

    // The mangled name of the function whose body is being read.
    const TString& caller() const { return currentCaller; }
    void stopInput() { currentScanner->setEndOfInput(); }
    bool inputEnded() const { return currentScanner->atEndOfInput(); }

    void error(const TSourceLoc& loc, const char* reason, const char* token, const char* format,
               ...) override;
    void warn(const TSourceLoc& loc, const char* reason, const char* token, const char* format,
              ...) override {
        va_list args;
        va_start(args, format);
        keep(loc, reason, token, format, args, false);
        va_end(args);
    }
    void ppError(const TSourceLoc& loc, const char* reason, const char* token, const char* format,
                 ...) override {
        va_list args;
        va_start(args, format);
        keep(loc, reason, token, format, args, true);
        va_end(args);
        ++numErrors;
    }
    void ppWarn(const TSourceLoc& loc, const char* reason, const char* token, const char* format,
                ...) override {
        va_list args;
        va_start(args, format);
        keep(loc, reason, token, format, args, false);
        va_end(args);
    }

    int parserResult = 0;

private:
    // The message as the front end would print it: "'token' : reason extra".
    void keep(const TSourceLoc& loc, const char* reason, const char* token, const char* format,
              va_list args, bool isError);

    Watcher& watcher_;
    QList<Diagnostic>& messages_;
};

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

SectionPlace sectionPlace(const TSourceLoc& loc) {
    return {loc.string, std::max(0, loc.line - 1), std::max(0, loc.column - 1)};
}

// Takes down each symbol the parser enters into its table, at the token after it did. The
// parser enters a declaration when it has read the token after its name (or the whole
// initializer), and leaves a scope's level when it has read the token after its closing brace,
// so between two tokens at most a few symbols are new and at most a few levels have gone.
class Watcher {
public:
    Watcher(Table& table, const PassSource& source, PassResult& out,
            std::chrono::steady_clock::time_point deadline, const std::atomic_bool* cancel)
        : table_(table), source_(source), out_(out), deadline_(deadline), cancel_(cancel) {
        ring_.resize(kRing);
    }

    void attach(WatchedContext& context) {
        context_ = &context;
        levels_.resize(table_.depth());
        levels_.back().level = table_.level(table_.depth() - 1);
    }

    void token(int kind, const TPpToken& token);
    void finish();
    // The parser enters a stand-in for an undeclared name, to report it only once: no symbol.
    void undeclared(const char* name, const TSourceLoc& loc) {
        undeclared_.insert({std::string(name), loc.string, loc.line, loc.column});
    }

    // Where a front end place is, in the user's files.
    void place(const TSourceLoc& loc, QString& file, int& line, int& column) const;
    const SectionPlace& lastToken() const { return last_; }
    const SectionPlace& previousToken() const { return previous_; }
    int openScopes() const { return std::max(0, table_.depth() - kGlobalLevel - 1); }

private:
    struct LevelState {
        const TSymbolTableLevel* level = nullptr;
        size_t size = 0;
        std::vector<qsizetype> locals;  // symbols of this level, to end with it
    };
    struct Identifier {
        std::string name;
        TSourceLoc loc;
    };
    static constexpr size_t kRing = 4096;

    void update();
    void closeLevels(int from);
    void collectNew(int index, bool parameters);
    void record(const TSymbol& symbol, int index, bool parameter);
    void beginFunction();
    void nameParameters();
    TSourceLoc declaredAt(const TString& name) const;
    qsizetype add(Symbol symbol, const TSourceLoc& loc);
    void recordVariable(const TVariable& v, int index, bool parameter);
    void recordAnonMember(const TAnonMember& m);
    Symbol blockSymbol(const TType& type, const QString& instance);
    SymbolKind globalKind(const TQualifier& q) const;

    Table& table_;
    const PassSource& source_;
    PassResult& out_;
    std::chrono::steady_clock::time_point deadline_;
    const std::atomic_bool* cancel_;
    WatchedContext* context_ = nullptr;

    SectionPlace last_, previous_, closing_;
    TSourceLoc lastLoc_{};
    unsigned long long tokens_ = 0;
    long long lastId_ = 0;
    std::vector<LevelState> levels_;
    std::vector<Identifier> ring_;
    size_t identifiers_ = 0;
    size_t windowStart_ = 0;
    std::unordered_map<std::string, TSourceLoc, TransparentHash, std::equal_to<>> lastSeen_;
    std::unordered_set<const TSymbol*> recorded_;
    std::unordered_set<const TVariable*> anonymousBlocks_;
    std::set<std::tuple<std::string, int, int, int>> undeclared_;
    std::unordered_map<std::string, qsizetype> functions_;  // the last symbol of each mangled name
    qsizetype function_ = -1;                               // the definition being read
    QString functionName_;
};

void WatchedContext::error(const TSourceLoc& loc, const char* reason, const char* token,
                           const char* format, ...) {
    va_list args;
    va_start(args, format);
    keep(loc, reason, token, format, args, true);
    va_end(args);
    ++numErrors;
    if (token && std::string_view(reason) == "undeclared identifier")
        watcher_.undeclared(token, loc);
}

int WatchedPp::Input::scan(TPpToken* token) {
    const int kind = inner_.scan(token);
    watcher_.token(kind, *token);
    return kind;
}

void WatchedContext::keep(const TSourceLoc& loc, const char* reason, const char* token,
                          const char* format, va_list args, bool isError) {
    // Enough to show; a 16 MB file of errors need not make a million messages.
    constexpr qsizetype kMaxMessages = 1000;
    if (messages_.size() >= kMaxMessages)
        return;
    char extra[512];
    std::vsnprintf(extra, sizeof extra, format, args);
    QString text;
    if (token && *token)
        text = u'\'' + QString::fromLatin1(token) + QStringLiteral("' : ");
    text += QString::fromLatin1(reason) + u' ' + QString::fromLatin1(extra);
    Diagnostic d;
    d.message = text.simplified();
    d.error = isError;
    watcher_.place(loc, d.file, d.line, d.column);
    messages_ << d;
}

void Watcher::place(const TSourceLoc& loc, QString& file, int& line, int& column) const {
    const QList<SourceSection>& sections = *source_.sections;
    const int s = std::clamp(loc.string, 0, int(sections.size()) - 1);
    file = sections[s].file;
    line = sections[s].firstLine + std::max(0, loc.line - 1);
    column = std::max(0, loc.column - 1);
}

void Watcher::token(int kind, const TPpToken& token) {
    if (kind == EndOfInput)
        return;
    // The preprocessor sees line ends as tokens, for its directives; the parser never does.
    if (kind != '\n') {
        previous_ = last_;
        last_ = sectionPlace(token.loc);
        lastLoc_ = token.loc;
    }
    // A scope ends once the parser has taken its closing brace: the last token before this one.
    closing_ = kind == '\n' ? last_ : previous_;
    if (kind == PpAtomIdentifier) {
        const std::string_view name(token.name);
        Identifier& slot = ring_[identifiers_ % kRing];
        slot.name.assign(name);
        slot.loc = token.loc;
        ++identifiers_;
        if (auto it = lastSeen_.find(name); it != lastSeen_.end())
            it->second = token.loc;
        else
            lastSeen_.emplace(std::string(name), token.loc);
    }
    if ((++tokens_ & 1023) == 0 &&
        (std::chrono::steady_clock::now() > deadline_ || (cancel_ && cancel_->load()))) {
        out_.interrupted = true;
        context_->stopInput();
    }
    constexpr long long kIdMask = (1LL << 56) - 1;
    const long long id = table_.getMaxSymbolId() & kIdMask;
    const int depth = table_.depth();
    if (id != lastId_ || depth != int(levels_.size()) ||
        table_.level(depth - 1) != levels_[depth - 1].level) {
        update();
        lastId_ = id;
        // The token just read may already be the name of the next declaration.
        windowStart_ = kind == PpAtomIdentifier ? identifiers_ - 1 : identifiers_;
    }
}

void Watcher::update() {
    const int depth = table_.depth();
    int kept = std::min<int>(depth, levels_.size());
    if (kept > kGlobalLevel + 1 && levels_[kept - 1].level != table_.level(kept - 1))
        --kept;
    closeLevels(kept);
    collectNew(kGlobalLevel, false);
    const bool bodyStarts = int(levels_.size()) <= kGlobalLevel + 1 && depth > kGlobalLevel + 1;
    while (int(levels_.size()) < depth) {
        LevelState state;
        state.level = table_.level(int(levels_.size()));
        levels_.push_back(state);
    }
    if (bodyStarts)
        beginFunction();
    for (int i = kGlobalLevel + 1; i < depth; ++i)
        collectNew(i, bodyStarts && i == kGlobalLevel + 1);
    if (bodyStarts)
        nameParameters();
}

void Watcher::closeLevels(int from) {
    while (int(levels_.size()) > from) {
        const int index = int(levels_.size()) - 1;
        QString file;
        int line = 0, column = 0;
        TSourceLoc end = lastLoc_;
        end.line = closing_.line + 1;
        end.column = closing_.column + 1;
        end.string = closing_.section;
        place(end, file, line, column);
        for (qsizetype i : levels_.back().locals) {
            out_.symbols[i].endLine = line;
            out_.symbols[i].endColumn = column;
        }
        if (index == kGlobalLevel + 1 && function_ >= 0) {
            out_.symbols[function_].endLine = line;
            out_.symbols[function_].endColumn = column;
            function_ = -1;
            functionName_.clear();
        }
        levels_.pop_back();
    }
}

void Watcher::finish() {
    closing_ = last_;
    closeLevels(kGlobalLevel + 1);
}

TSourceLoc Watcher::declaredAt(const TString& name) const {
    const std::string_view wanted(name.c_str(), name.size());
    const size_t first = std::max(windowStart_, identifiers_ > kRing ? identifiers_ - kRing : 0);
    for (size_t i = first; i < identifiers_; ++i) {
        const Identifier& id = ring_[i % kRing];
        if (id.name == wanted)
            return id.loc;
    }
    if (auto it = lastSeen_.find(wanted); it != lastSeen_.end())
        return it->second;
    return lastLoc_;
}

qsizetype Watcher::add(Symbol symbol, const TSourceLoc& loc) {
    place(loc, symbol.file, symbol.line, symbol.column);
    const int s = loc.string;
    const int line = loc.line - 1;
    symbol.declaration = source_.line(s, line).trimmed().toString();
    out_.symbols << symbol;
    return out_.symbols.size() - 1;
}

void Watcher::collectNew(int index, bool parameters) {
    LevelState& state = levels_[index];
    const LevelPeek::Entries& map = entries(*table_.level(index));
    if (map.size() == state.size)
        return;
    const size_t grown = map.size() > state.size ? map.size() - state.size : 0;
    size_t found = 0;
    auto take = [&](const TSymbol* symbol) {
        if (!recorded_.insert(symbol).second)
            return;
        ++found;
        record(*symbol, index, parameters);
    };
    // The new names are among the identifiers read since the last change: look them up
    // instead of walking a level of thousands of globals.
    const size_t first = std::max(windowStart_, identifiers_ > kRing ? identifiers_ - kRing : 0);
    for (size_t i = first; i < identifiers_; ++i) {
        const TString name(ring_[i % kRing].name.c_str());
        if (auto it = map.find(name); it != map.end())
            take(it->second);
        const TString mangled = name + '(';
        for (auto it = map.lower_bound(mangled);
             it != map.end() && it->first.compare(0, mangled.size(), mangled) == 0; ++it)
            take(it->second);
    }
    if (found < grown) {
        for (const auto& [key, symbol] : map)
            take(symbol);
    }
    state.size = map.size();
}

SymbolKind Watcher::globalKind(const TQualifier& q) const {
    if (q.storage == EvqUniform)
        return SymbolKind::Uniform;
    if (q.storage == EvqConst)
        return SymbolKind::Constant;
    if (q.isPipeInput())
        return SymbolKind::Input;
    if (q.isPipeOutput())
        return SymbolKind::Output;
    return SymbolKind::Global;
}

void Watcher::record(const TSymbol& symbol, int index, bool parameter) {
    if (const TFunction* f = symbol.getAsFunction()) {
        if (index != kGlobalLevel)
            return;
        Symbol s;
        s.kind = SymbolKind::Function;
        const FunctionSignature sig = signature(*f);
        s.name = sig.name;
        s.type = sig.returnType;
        s.parameters = sig.parameters;
        functions_[std::string(f->getMangledName().c_str())] = add(s, declaredAt(f->getName()));
    } else if (const TAnonMember* m = symbol.getAsAnonMember()) {
        recordAnonMember(*m);
    } else if (const TVariable* v = symbol.getAsVariable()) {
        recordVariable(*v, index, parameter);
    }
}

Symbol Watcher::blockSymbol(const TType& type, const QString& instance) {
    Symbol b;
    b.kind = SymbolKind::Block;
    b.name = text(type.getTypeName());
    b.qualifier = storageText(type.getQualifier());
    b.instance = instance;
    if (const auto it = out_.aggregates.constFind(b.name); it != out_.aggregates.cend())
        b.fields = it->fields;
    return b;
}

void Watcher::recordAnonMember(const TAnonMember& m) {
    const TVariable& container = m.getAnonContainer();
    const TType& type = container.getType();
    if (type.getTypeName().compare(0, 3, "gl_") == 0)
        return;
    auto placeField = [this](const TSourceLoc& loc, Field& f) {
        place(loc, f.file, f.line, f.column);
    };
    if (anonymousBlocks_.insert(&container).second) {
        collectAggregates(type, out_.aggregates, placeField);
        add(blockSymbol(type, {}), declaredAt(type.getTypeName()));
    }
    Symbol s;
    s.name = text(m.getName());
    s.type = typeRef(m.getType());
    s.qualifier = storageText(type.getQualifier());
    s.kind = globalKind(type.getQualifier());
    s.block = text(type.getTypeName());
    add(s, declaredAt(m.getName()));
}

void Watcher::recordVariable(const TVariable& v, int index, bool parameter) {
    const TType& type = v.getType();
    // A block's name, which the table holds only to keep it from other uses.
    if (type.getBasicType() == EbtBlock && !type.getStruct())
        return;
    // Builtins the parse copied up to resize or redeclare them; no user name starts with gl_.
    if (IsAnonymous(v.getName()) || v.getName().compare(0, 3, "gl_") == 0)
        return;
    auto placeField = [this](const TSourceLoc& loc, Field& f) {
        place(loc, f.file, f.line, f.column);
    };
    collectAggregates(type, out_.aggregates, placeField);
    const TSourceLoc at = declaredAt(v.getName());
    if (!undeclared_.empty() &&
        undeclared_.count({v.getName().c_str(), at.string, at.line, at.column}))
        return;
    const QString name = text(v.getName());
    Symbol s;
    s.name = name;
    s.type = typeRef(type);
    s.qualifier = storageText(type.getQualifier());
    if (v.isUserType()) {
        s.kind = SymbolKind::Struct;
        s.qualifier.clear();
        if (const auto it = out_.aggregates.constFind(s.type.name); it != out_.aggregates.cend())
            s.fields = it->fields;
    } else if (index == kGlobalLevel) {
        s.kind = globalKind(type.getQualifier());
        if (type.getBasicType() == EbtBlock) {
            add(blockSymbol(type, name), declaredAt(type.getTypeName()));
            s.block = s.type.name;
        }
    } else {
        s.kind = parameter ? SymbolKind::Parameter : SymbolKind::Local;
        s.scope = functionName_;
    }
    const qsizetype i = add(s, at);
    if (index > kGlobalLevel)
        levels_[index].locals.push_back(i);
}

void Watcher::nameParameters() {
    if (function_ < 0)
        return;
    std::vector<const Symbol*> found;
    for (qsizetype i : levels_[kGlobalLevel + 1].locals)
        found.push_back(&out_.symbols[i]);
    std::sort(found.begin(), found.end(), [](const Symbol* a, const Symbol* b) {
        return std::tie(a->line, a->column) < std::tie(b->line, b->column);
    });
    // The definition's own parameter names, which a prototype before it need not share; a
    // parameter without a name has no symbol.
    QList<Parameter>& parameters = out_.symbols[function_].parameters;
    if (found.size() != size_t(parameters.size()))
        return;
    for (qsizetype p = 0; p < parameters.size(); ++p)
        parameters[p].name = found[p]->name;
}

void Watcher::beginFunction() {
    function_ = -1;
    TSymbol* found = table_.find(context_->caller());
    const TFunction* f = found ? found->getAsFunction() : nullptr;
    if (!f)
        return;
    const TSourceLoc at = declaredAt(f->getName());
    const auto it = functions_.find(std::string(f->getMangledName().c_str()));
    QString file;
    int line = 0, column = 0;
    place(at, file, line, column);
    if (it != functions_.end()) {
        const Symbol& s = out_.symbols[it->second];
        if (s.file == file && s.line == line && s.column == column && !s.definition) {
            function_ = it->second;
        }
    }
    if (function_ < 0) {
        Symbol s;
        s.kind = SymbolKind::Function;
        const FunctionSignature sig = signature(*f);
        s.name = sig.name;
        s.type = sig.returnType;
        s.parameters = sig.parameters;
        function_ = add(s, at);
    }
    Symbol& s = out_.symbols[function_];
    s.definition = true;
    functionName_ = s.name;
}

}  // namespace

QStringView PassSource::line(int section, int line) const {
    if (section < 0 || section >= int(lineStarts.size()))
        return {};
    const std::vector<qsizetype>& starts = lineStarts[size_t(section)];
    if (line < 0 || line >= int(starts.size()))
        return {};
    const QString& text = (*sections)[section].text;
    const qsizetype start = starts[size_t(line)];
    const qsizetype end =
        size_t(line) + 1 < starts.size() ? starts[size_t(line) + 1] - 1 : text.size();
    return QStringView(text).sliced(start, end - start);
}

PassResult runPass(const BuiltinTable& builtins, const PassSource& source,
                   std::chrono::steady_clock::time_point deadline, const std::atomic_bool* cancel) {
    PassResult result;
    TPoolAllocator pool;
    PoolScope scope(pool);
    const Settings& s = builtins.settings;
    Table table;
    // The builtin levels are only read, as in every parse of the front end that adopts them.
    table.adoptLevels(const_cast<Table&>(builtins.table));
    TIntermediate intermediate(s.language, s.version, s.profile);
    intermediate.setSource(EShSourceGlsl);
    intermediate.setEntryPointName("main");
    intermediate.setSpv(s.spv);
    TInfoSink sink;
    Watcher watcher(table, source, result, deadline, cancel);
    WatchedContext context(table, intermediate, s, sink, watcher, result.diagnostics);
    TShader::ForbidIncluder includer;
    WatchedPp pp(context, "", includer);
    TScanContext scan(context);
    context.setScanContext(&scan);
    context.setPpContext(&pp);
    context.setLimits(*GetDefaultResources());
    context.initializeExtensionBehavior();
    context.setExtensionCallback([&result](int, const char* extension, const char* behavior) {
        if (std::string_view(behavior) != "disable")
            result.extensions << QString::fromLatin1(extension);
    });

    std::string preamble;
    context.getPreamble(preamble);
    // The grammar wants at least one declaration; the front end ends every shader with this
    // one, which declares nothing, so that an empty one parses.
    static const std::string kFinale = "\n int;";
    const size_t sections = source.bytes.size();
    const size_t count = sections + 2;
    std::vector<const char*> strings(count);
    std::vector<size_t> lengths(count);
    std::vector<const char*> names(count, nullptr);
    std::vector<std::string> fileNames(count);
    strings[0] = preamble.c_str();
    lengths[0] = preamble.size();
    for (size_t i = 1; i <= sections; ++i) {
        strings[i] = source.bytes[i - 1].data();
        lengths[i] = source.bytes[i - 1].size();
        fileNames[i] = (*source.sections)[qsizetype(i - 1)].file.toStdString();
        names[i] = fileNames[i].c_str();
    }
    strings[count - 1] = kFinale.c_str();
    lengths[count - 1] = kFinale.size();
    TInputScanner input(int(count), strings.data(), lengths.data(), names.data(), 1, 1);
    table.push();
    watcher.attach(context);
    context.parseShaderStrings(pp, input, false);
    result.stopped = context.parserResult != 0;
    result.atEnd = context.inputEnded() || watcher.lastToken().section >= int(sections);
    result.openScopes = watcher.openScopes();
    result.errorToken = watcher.lastToken();
    result.previousToken = watcher.previousToken();
    watcher.finish();
    return result;
}

}  // namespace tessory::glsl::frontend
