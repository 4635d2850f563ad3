// SPDX-License-Identifier: MIT
#include "editor/glsl_builtins.h"
#include "editor/glsl_completion.h"
#include "editor/glsl_docs.h"
#include "editor/glsl_hover.h"
#include "editor/glsl_navigation.h"
#include "editor/glsl_signature_help.h"
#include "glsl_test_support.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace tessory::glsl;
using namespace tessory::glsl::testing;

namespace {

const QString kDeclarations = QStringLiteral(
    "#version 330 core\n"
    "struct Light { vec3 position; vec3 colour; };\n"
    "uniform Light light;\n"
    "uniform float values[4];\n"
    "float helper(float a, vec3 b) { return a; }\n"
    "float helper(float a) { return a; }\n"
    "void main() {\n"
    "    vec3 base = light.position;\n");

std::optional<SignatureHelp> helpAt(const QString& line) {
    const Marked m = marked(kDeclarations + line);
    return signatureHelp({parse(m.text, Stage::Fragment)}, 0, m.text, m.caret);
}

TEST(SignatureHelp, TheCurrentArgumentPastNestedCallsAndBrackets) {
    const auto mix = helpAt(u"    mix(base, clamp(base, 0.0, 1.0), |"_qs);
    ASSERT_TRUE(mix);
    EXPECT_EQ(mix->function, u"mix");
    EXPECT_EQ(mix->activeParameter, 2);
    EXPECT_FALSE(mix->overloads.isEmpty());

    const auto clamp = helpAt(u"    mix(base, clamp(base, |"_qs);
    ASSERT_TRUE(clamp);
    EXPECT_EQ(clamp->function, u"clamp");
    EXPECT_EQ(clamp->activeParameter, 1);

    // The innermost call is a constructor of a type the front end gives no signatures for.
    EXPECT_FALSE(helpAt(u"    helper(values[min(1, 2)], vec3(1.0, 2.0, |"_qs));

    const auto outer = helpAt(u"    helper(values[min(1, 2)], |"_qs);
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->function, u"helper");
    EXPECT_EQ(outer->activeParameter, 1);
    ASSERT_EQ(outer->overloads.size(), 2);
    EXPECT_EQ(outer->overloads[outer->activeOverload].parameters.size(), 2);

    const auto constructor = helpAt(u"    Light l = Light(base, |"_qs);
    ASSERT_TRUE(constructor);
    ASSERT_EQ(constructor->overloads.size(), 1);
    EXPECT_EQ(constructor->overloads[0].text(), u"Light Light(vec3 position, vec3 colour)");

    EXPECT_FALSE(helpAt(u"    if (base.x > 0.0|"_qs));
    EXPECT_FALSE(helpAt(u"    helper(1.0);|"_qs));

    const auto start = std::chrono::steady_clock::now();
    const auto deep = helpAt(u"    helper("_qs + QString(10000, u'(') + QStringLiteral("1.0, |"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Parentheses that call nothing only group: the comma in them is not the call's.
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->function, u"helper");
    EXPECT_EQ(deep->activeParameter, 0);
}

TEST(SignatureHelp, TheFirstBuiltinOverloadWithRoomForTheArgument) {
    const auto texture = helpAt(u"    texture(sampler, uv, |"_qs);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->activeParameter, 2);
    ASSERT_LT(texture->activeOverload, texture->overloads.size());
    const FunctionSignature& shown = texture->overloads[texture->activeOverload];
    EXPECT_EQ(shown.parameters.size(), 3);
    for (qsizetype i = 0; i < texture->activeOverload; ++i)
        EXPECT_LE(texture->overloads[i].parameters.size(), 2);
}

TEST(Queries, InterfaceBlocksBetweenStages) {
    const QString vertex = QStringLiteral(
        "#version 330 core\nout VertexData { vec3 normal; vec2 uv; } vsOut;\nvoid main() {}\n");
    const QString fragment = QStringLiteral(
        "#version 330 core\nin VertexData { vec3 normal; vec2 uv; } fsIn;\nout vec4 colour;\n"
        "void main() { colour = vec4(fsIn.normal, 1.0); }\n");
    const Program program{parse(vertex, Stage::Vertex, u"s.vert"_qs),
                          parse(fragment, Stage::Fragment, u"s.frag"_qs)};
    const QString typed = fragment + QStringLiteral("void more() { fsIn. }\n");
    EXPECT_EQ(labels(complete(program, 1, typed, {4, 19})), (QStringList{u"uv"_qs, u"normal"_qs}));
    EXPECT_EQ(definition(program, 1, fragment, {3, 35}), (Location{u"s.frag"_qs, 1, 21}));
    const auto block = hover(program, 1, fragment, {3, 30}, false);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->declaration, u"in VertexData { vec3 normal; vec2 uv; } fsIn;");
    const QList<OutlineEntry> entries = outline(*program[0]);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].kind, SymbolKind::Block);
    EXPECT_EQ(entries[0].detail, u"out VertexData { } vsOut");
}

TEST(Hover, BuiltinsGiveSignaturesAndTheirLineInTheChosenLanguage) {
    const Marked m =
        marked(kDeclarations + QStringLiteral("    vec3 c = mi|x(base, base, 0.5);\n}\n"));
    const Program program{parse(m.text, Stage::Fragment)};
    const auto german = hover(program, 0, m.text, m.caret, true);
    ASSERT_TRUE(german);
    EXPECT_EQ(german->kind, Hover::Kind::BuiltinFunction);
    EXPECT_TRUE(german->signatures.contains(u"vec3 mix(vec3, vec3, float)"));
    EXPECT_EQ(german->documentation, builtinDoc(u"mix"_qs, true));
    EXPECT_NE(german->documentation, builtinDoc(u"mix"_qs, false));
    EXPECT_TRUE(german->text.contains(german->documentation));
    EXPECT_EQ(german->range.start, (TextPosition{m.caret.line, 13}));

    const Marked variable = marked(kDeclarations + QStringLiteral("    gl_Frag|Coord;\n}\n"));
    const auto v =
        hover({parse(variable.text, Stage::Fragment)}, 0, variable.text, variable.caret, false);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->signatures, QStringList{u"in vec4 gl_FragCoord"_qs});
}

TEST(Hover, UserSymbolsMembersAndSwizzles) {
    const QString text = kDeclarations + QStringLiteral("    base = light.colour.xyz + base;\n}\n");
    const Program program{parse(text, Stage::Fragment)};
    const int line = 8;
    const auto swizzle = hover(program, 0, text, {line, 25}, false);
    ASSERT_TRUE(swizzle);
    EXPECT_EQ(swizzle->kind, Hover::Kind::Swizzle);
    EXPECT_EQ(swizzle->signatures, QStringList{u"vec3 xyz"_qs});
    const auto member = hover(program, 0, text, {line, 19}, false);
    ASSERT_TRUE(member);
    EXPECT_EQ(member->kind, Hover::Kind::Member);
    EXPECT_TRUE(member->text.contains(u"vec3 colour"));
    EXPECT_TRUE(member->text.contains(u"Member of Light"));
    EXPECT_EQ(member->line, 1);
    const auto local = hover(program, 0, text, {line, 31}, true);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->kind, Hover::Kind::UserSymbol);
    EXPECT_EQ(local->declaration, u"vec3 base = light.position;");
    EXPECT_TRUE(local->text.contains(u"Deklariert in a.glsl, Zeile 8"));
}

TEST(Hover, EveryBuiltinFunctionHasALineInBothLanguages) {
    QStringList missing;
    for (const auto& [version, profile] :
         {std::pair{460, Profile::Compatibility}, std::pair{320, Profile::Es}}) {
        for (Stage stage : {Stage::Vertex, Stage::Fragment, Stage::Compute}) {
            const auto builtins = builtinsFor({version, profile, Target::GlCompatibility, stage});
            ASSERT_GT(builtins->functionNames.size(), 200);
            for (const QString& name : builtins->functionNames) {
                if (builtinDoc(name, false).isEmpty() || builtinDoc(name, true).isEmpty())
                    missing << name;
            }
        }
    }
    missing.removeDuplicates();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}

TEST(Definition, PrefersTheDocumentThenTheProgramAndFollowsScopesAndMembers) {
    const QString vertex = QStringLiteral(
        "#version 330 core\nuniform float time;\nuniform float scale;\nvoid main() {}\n");
    const Marked fragment = marked(
        u"#version 330 core\n"
        "struct Light { vec3 position; };\n"
        "uniform float scale;\n"
        "uniform Light light;\n"
        "void main() {\n"
        "    float x = ti|me * scale + light.position.x;\n"
        "    { float scale = 2.0; x *= scale; }\n"
        "}\n"_qs);
    const Program program{parse(vertex, Stage::Vertex, u"p.vert"_qs),
                          parse(fragment.text, Stage::Fragment, u"p.frag"_qs)};
    auto at = [&](int line, int column) {
        return definition(program, 1, fragment.text, {line, column});
    };
    EXPECT_EQ(at(5, 15), (Location{u"p.vert"_qs, 1, 14}));  // only the other stage has it
    EXPECT_EQ(at(5, 22), (Location{u"p.frag"_qs, 2, 14}));  // both have it: this one's
    EXPECT_EQ(at(6, 30), (Location{u"p.frag"_qs, 6, 12}));  // the local in scope
    EXPECT_EQ(at(5, 37), (Location{u"p.frag"_qs, 1, 20}));  // a member of a struct
    EXPECT_FALSE(at(5, 5));                                 // a type keyword

    const QString functions = QStringLiteral(
        "#version 330 core\nfloat f(float v);\nvoid main() { f(1.0); }\n"
        "float f(float v) { return v; }\n");
    const Program one{parse(functions, Stage::Fragment)};
    EXPECT_EQ(definition(one, 0, functions, {2, 14}), (Location{u"a.glsl"_qs, 3, 6}));
    EXPECT_EQ(definition(one, 0, functions, {3, 27}), (Location{u"a.glsl"_qs, 3, 14}));
    EXPECT_FALSE(definition(one, 0, u"// f(1.0)"_qs, {0, 3}));
}

}  // namespace

TEST(Include, TheNameOfAnIncludeLineAndNothingForOtherLines) {
    const auto name = [](const char* line) {
        const auto found = tessory::glsl::includeNameOf(QString::fromLatin1(line));
        return found ? found->name : QStringLiteral("<none>");
    };
    EXPECT_EQ(name("#include \"common.glsl\""), QStringLiteral("common.glsl"));
    EXPECT_EQ(name("  #  include <lib/noise.glsl> // noise"), QStringLiteral("lib/noise.glsl"));
    EXPECT_EQ(name("#include \"half>"), QStringLiteral("<none>"));
    EXPECT_EQ(name("#include \"\""), QStringLiteral("<none>"));
    EXPECT_EQ(name("// #include \"common.glsl\""), QStringLiteral("<none>"));
    EXPECT_EQ(name("#includes \"x\""), QStringLiteral("<none>"));
    const auto at = tessory::glsl::includeNameOf(QStringLiteral("#include \"ab\""));
    ASSERT_TRUE(at);
    EXPECT_EQ(at->start, 10);
    EXPECT_EQ(at->end, 12);
}
