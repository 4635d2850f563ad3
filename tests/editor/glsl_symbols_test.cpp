// SPDX-License-Identifier: MIT
#include "editor/glsl_symbols.h"
#include "editor/glsl_completion.h"
#include "editor/glsl_hover.h"
#include "editor/glsl_navigation.h"
#include "editor/glsl_signature_help.h"
#include "glsl_test_support.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace tessory::glsl;
using namespace tessory::glsl::testing;

namespace {

const QString kEveryKind = QStringLiteral(
    "#version 430 core\n"
    "struct Material { vec3 albedo; float roughness; };\n"
    "uniform Material material;\n"
    "uniform Lights { vec4 positions[4]; int count; } lights;\n"
    "layout(std430, binding = 0) buffer Particles { vec4 data[]; };\n"
    "in vec3 normal;\n"
    "out vec4 colour;\n"
    "const float PI = 3.14159;\n"
    "float exposure = 1.0;\n"
    "vec3 shade(vec3 n, Material m);\n"
    "vec3 shade(vec3 n, Material m) {\n"
    "    return m.albedo * max(n.z, 0.0);\n"
    "}\n"
    "void main() {\n"
    "    colour = vec4(shade(normal, material) * exposure, 1.0);\n"
    "}\n");

const Symbol* find(const ParsedDocument& d, const QString& name, SymbolKind kind) {
    for (const Symbol& s : d.symbols) {
        if (s.name == name && s.kind == kind)
            return &s;
    }
    return nullptr;
}

TEST(Outline, EveryKindOfDeclarationInSourceOrder) {
    const auto doc = parse(kEveryKind, Stage::Fragment, u"every.frag"_qs);
    EXPECT_TRUE(doc->diagnostics.isEmpty()) << doc->diagnostics.value(0).message.toStdString();
    const QList<OutlineEntry> entries = outline(*doc);
    QStringList got;
    for (const OutlineEntry& e : entries)
        got << e.name + u':' + QString::number(int(e.kind)) + u'@' + QString::number(e.line);
    auto entry = [](const char* name, SymbolKind kind, int line) {
        return QString::fromLatin1(name) + u':' + QString::number(int(kind)) + u'@' +
               QString::number(line);
    };
    EXPECT_EQ(
        got,
        (QStringList{
            entry("Material", SymbolKind::Struct, 1), entry("material", SymbolKind::Uniform, 2),
            entry("Lights", SymbolKind::Block, 3), entry("Particles", SymbolKind::Block, 4),
            entry("normal", SymbolKind::Input, 5), entry("colour", SymbolKind::Output, 6),
            entry("PI", SymbolKind::Constant, 7), entry("exposure", SymbolKind::Global, 8),
            entry("shade", SymbolKind::Function, 9), entry("shade", SymbolKind::Function, 10),
            entry("main", SymbolKind::Function, 13)}));
    ASSERT_EQ(entries.size(), 11);
    EXPECT_EQ(entries[9].detail, u"vec3 shade(vec3 n, Material m)");
    EXPECT_EQ(entries[8].detail, u"vec3 shade(vec3 n, Material m);");
    EXPECT_EQ(entries[9].endLine, 12);
    EXPECT_EQ(entries[2].detail, u"uniform Lights { } lights");
    EXPECT_EQ(outlineEntryAt(entries, 11), 9);
    EXPECT_EQ(outlineEntryAt(entries, 14), 10);
    EXPECT_EQ(outlineEntryAt(entries, 6), 5);
    EXPECT_EQ(outlineEntryAt(entries, 0), -1);

    const Symbol* block = find(*doc, u"Lights"_qs, SymbolKind::Block);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->instance, u"lights");
    ASSERT_EQ(block->fields.size(), 2);
    EXPECT_EQ(block->fields[0].type.text(), u"vec4[4]");
    EXPECT_EQ(block->fields[1].line, 3);
    const Symbol* buffer = find(*doc, u"Particles"_qs, SymbolKind::Block);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->qualifier, u"buffer");
    EXPECT_EQ(buffer->fields.value(0).type.text(), u"vec4[]");
}

TEST(Symbols, ParametersAndLocalsCarryTheirFunctionAndScope) {
    const auto doc = parse(kEveryKind, Stage::Fragment);
    const Symbol* n = find(*doc, u"n"_qs, SymbolKind::Parameter);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->scope, u"shade");
    EXPECT_EQ(n->type.name, u"vec3");
    EXPECT_EQ((std::pair{n->line, n->column}), (std::pair{10, 16}));
    EXPECT_EQ(n->endLine, 12);
    EXPECT_EQ(n->declaration, u"vec3 shade(vec3 n, Material m) {");

    const auto locals = parse(
        u"#version 330 core\nvoid main() {\n  float a = 1.0;\n"
        "  for (int i = 0; i < 3; ++i) { float inner = a; }\n"
        "  vec2 b;\n}\n"_qs,
        Stage::Fragment);
    const Symbol* inner = find(*locals, u"inner"_qs, SymbolKind::Local);
    const Symbol* b = find(*locals, u"b"_qs, SymbolKind::Local);
    ASSERT_TRUE(inner && b);
    EXPECT_EQ(inner->scope, u"main");
    EXPECT_EQ((std::pair{inner->line, inner->column}), (std::pair{3, 38}));
    EXPECT_EQ((std::pair{inner->endLine, inner->endColumn}), (std::pair{3, 49}));
    EXPECT_EQ((std::pair{b->endLine, b->endColumn}), (std::pair{5, 0}));
}

TEST(Symbols, AHalfTypedLineStillGivesTheRestOfTheFile) {
    const Marked m = marked(
        u"#version 330 core\n"
        "uniform vec3 tint;\n"
        "void main() {\n"
        "    vec3 base = tint;\n"
        "    float x = base.|\n"
        "}\n"
        "float later(float v) { return v * 2.0; }\n"
        "uniform float afterwards;\n"_qs);
    const auto doc = parse(m.text, Stage::Fragment);
    EXPECT_FALSE(doc->diagnostics.isEmpty());
    EXPECT_TRUE(doc->blankedLines.contains(4));
    for (const char* name : {"tint", "main", "base", "later", "v", "afterwards"})
        EXPECT_TRUE(std::any_of(doc->symbols.begin(), doc->symbols.end(), [&](const Symbol& s) {
            return s.name == QLatin1StringView(name);
        })) << name;
    const QStringList members = labels(complete({doc}, 0, m.text, m.caret));
    EXPECT_TRUE(members.contains(u"z") && !members.contains(u"w"));

    // A statement without its ';' is only noticed at the next line's first token.
    const auto missing = parse(
        u"#version 330 core\nvoid main() {\n    float y = 2.0\n"
        "    float z = 3.0;\n}\nvoid other() {}\n"_qs,
        Stage::Fragment);
    EXPECT_TRUE(missing->blankedLines.contains(2));
    EXPECT_TRUE(find(*missing, u"z"_qs, SymbolKind::Local));
    EXPECT_TRUE(find(*missing, u"other"_qs, SymbolKind::Function));

    // A body still being written at the end of the file keeps its locals.
    const auto open =
        parse(u"#version 330 core\nvoid main() {\n    float w = 1.0;\n    w +"_qs, Stage::Fragment);
    EXPECT_TRUE(find(*open, u"w"_qs, SymbolKind::Local));
}

TEST(Symbols, TheEditedLineGoesFirstAndACancelledParseSaysSo) {
    // Without the hint the error at "float" would blank line 4, which holds a declaration.
    const QString text = QStringLiteral(
        "#version 330 core\nvoid main() {\n    float a = 1.0;\n    a = a *\n    float b = a;\n}\n");
    const LanguageContext context =
        detectContext(QStringView(text), Target::GlCore, Stage::Fragment);
    const auto hinted = parseDocument(context, u"x"_qs, text, {.editedLine = 3});
    EXPECT_EQ(hinted->blankedLines, QList<int>{3});
    EXPECT_TRUE(find(*hinted, u"b"_qs, SymbolKind::Local));
    EXPECT_TRUE(hinted->complete);

    const std::atomic_bool cancelled = true;
    const auto stopped = parseDocument(context, u"x"_qs, kEveryKind, {.cancel = &cancelled});
    EXPECT_FALSE(stopped->complete);
    EXPECT_TRUE(stopped->symbols.isEmpty());
}

TEST(Symbols, IncludedFilesGiveSymbolsInTheirOwnFile) {
    const QString main = QStringLiteral(
        "#version 330 core\n#include \"common.glsl\"\nvoid main() { colour = tint(); }\n");
    const IncludeResolver resolve = [](const QString& name,
                                       const QString& from) -> std::optional<SourceSection> {
        if (name != u"common.glsl" || from != u"shaders/main.frag")
            return std::nullopt;
        return SourceSection{u"shaders/common.glsl"_qs,
                             u"out vec4 colour;\nvec4 tint() { return vec4(1.0); }\n"_qs, 0};
    };
    const QList<SourceSection> sections = expandIncludes(u"shaders/main.frag"_qs, main, resolve);
    ASSERT_EQ(sections.size(), 3);
    const auto doc =
        parseDocument(detectContext(QStringView(main), Target::GlCore, Stage::Fragment), sections);
    EXPECT_TRUE(doc->diagnostics.isEmpty()) << doc->diagnostics.value(0).message.toStdString();
    const Symbol* tint = find(*doc, u"tint"_qs, SymbolKind::Function);
    const Symbol* entry = find(*doc, u"main"_qs, SymbolKind::Function);
    ASSERT_TRUE(tint && entry);
    EXPECT_EQ(tint->file, u"shaders/common.glsl");
    EXPECT_EQ(tint->line, 1);
    EXPECT_EQ(entry->file, u"shaders/main.frag");
    EXPECT_EQ(entry->line, 2);
    EXPECT_EQ(outline(*doc).size(), 1);  // the included file's declarations are its own

    const Marked use =
        marked(u"#version 330 core\n#include \"common.glsl\"\nvoid main() { ti|nt(); }\n"_qs);
    const auto target = definition({doc}, 0, use.text, use.caret);
    ASSERT_TRUE(target);
    EXPECT_EQ(*target, (Location{u"shaders/common.glsl"_qs, 1, 5}));
}

TEST(Symbols, ParsesOnWorkerThreadsGiveTheSameSymbols) {
    const LanguageContext context =
        detectContext(QStringView(kEveryKind), Target::GlCore, Stage::Fragment);
    auto summary = [&] {
        QStringList s;
        const auto doc = parseDocument(context, u"a"_qs, kEveryKind);
        for (const Symbol& symbol : doc->symbols)
            s << symbol.name + u'@' + QString::number(symbol.line) + u':' +
                     QString::number(symbol.column);
        return s;
    };
    const QStringList expected = summary();
    ASSERT_FALSE(expected.isEmpty());
    std::vector<QStringList> results(4);
    std::vector<std::thread> threads;
    for (QStringList& r : results)
        threads.emplace_back([&r, &summary] { r = summary(); });
    for (std::thread& t : threads)
        t.join();
    for (const QStringList& r : results)
        EXPECT_EQ(r, expected);
}

// Each bad input parses, and every query on it answers, without a crash and in bounded time.
void queryEverything(const QString& text, Stage stage, TextPosition at) {
    const auto doc = parseDocument(detectContext(QStringView(text), Target::GlCompatibility, stage),
                                   u"bad"_qs, text, {.budget = std::chrono::milliseconds(500)});
    const Program program{doc};
    complete(program, 0, text, at);
    signatureHelp(program, 0, text, at);
    hover(program, 0, text, at, false);
    definition(program, 0, text, at);
    outline(*doc);
}

TEST(BadInput, NeverACrashOrAHang) {
    const auto start = std::chrono::steady_clock::now();
    QString longLine = u"#version 330 core\nvoid main() { float x = 1.0"_qs;
    while (longLine.size() < 5000)
        longLine += u" + 1.0";
    longLine += u"; }\n";
    queryEverything(longLine, Stage::Fragment, {1, 4000});

    const QString nested = u"#version 330 core\nvoid main() { float y = "_qs +
                           QString(10000, u'(') + QStringLiteral("1.0") + QString(10000, u')') +
                           QStringLiteral("; mix(");
    queryEverything(nested, Stage::Fragment, {1, 10020});
    queryEverything(nested, Stage::Fragment, {1, 30000});

    queryEverything(u"#version 330 core\nuniform float a; /* never closed\nvoid main() {}\n"_qs,
                    Stage::Fragment, {2, 5});
    QString binary = u"#version 330 core\n"_qs;
    for (int i = 0; i < 256; ++i)
        binary += QChar(i);
    queryEverything(binary, Stage::Vertex, {1, 100});

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(BadInput, ABudgetStopsAParseOfSixteenMegabytesWithTheSymbolsUpToThere) {
    QString huge = u"#version 330 core\n"_qs;
    const QString function = u"float f%1(float v) { float w = v * 2.0; return w; }\n"_qs;
    for (int i = 0; huge.size() < 16 * 1024 * 1024; ++i)
        huge += function.arg(i);
    const auto start = std::chrono::steady_clock::now();
    const auto doc =
        parseDocument(detectContext(QStringView(huge), Target::GlCore, Stage::Fragment), u"huge"_qs,
                      huge, {.budget = std::chrono::milliseconds(300)});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(doc->complete);
    ASSERT_FALSE(doc->symbols.isEmpty());
    EXPECT_EQ(doc->symbols.front().name, u"f0");
}

}  // namespace
