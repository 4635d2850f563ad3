// SPDX-License-Identifier: MIT
#include "editor/glsl_caret.h"
#include "editor/glsl_symbols.h"
#include "editor/glsl_types.h"
#include "glsl_test_support.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace tessory::glsl;
using namespace tessory::glsl::testing;

namespace {

QString describe(const std::vector<Access>& steps) {
    QStringList parts;
    for (const Access& a : steps) {
        switch (a.kind) {
            case Access::Name:
                parts << a.name;
                break;
            case Access::Call:
                parts << a.name + QStringLiteral("()");
                break;
            case Access::Index:
                parts << QStringLiteral("[]");
                break;
            case Access::Member:
                parts << u'.' + a.name;
                break;
        }
    }
    return parts.join(QString());
}

std::optional<QString> chainAt(const QString& withCaret) {
    const Marked m = marked(withCaret);
    const Lexed lexed = lexBefore(m.text, offsetOf(m.text, m.caret));
    const auto chain = accessChainBeforeDot(m.text, lexed);
    if (!chain)
        return std::nullopt;
    return describe(*chain);
}

TEST(Caret, OffsetsOfPositionsAreClampedToTheirLine) {
    const QString text = QStringLiteral("ab\ncdef\n\ng");
    EXPECT_EQ(offsetOf(text, {0, 1}), 1);
    EXPECT_EQ(offsetOf(text, {1, 3}), 6);
    EXPECT_EQ(offsetOf(text, {1, 99}), 7);  // the end of "cdef"
    EXPECT_EQ(offsetOf(text, {2, 5}), 8);
    EXPECT_EQ(offsetOf(text, {9, 0}), text.size());
}

TEST(Caret, ExpressionsBeforeADot) {
    EXPECT_EQ(chainAt(u"x = lights[i + 1].colour.|"_qs), u"lights[].colour");
    EXPECT_EQ(chainAt(u"x = gl_in[0].|"_qs), u"gl_in[]");
    EXPECT_EQ(chainAt(u"x = lights[a[b[2]]].|"_qs), u"lights[]");
    EXPECT_EQ(chainAt(u"x = light( 1.0 ).|"_qs), u"light()");
    EXPECT_EQ(chainAt(u"x = /* a . comment */ v.|"_qs), u"v");
    EXPECT_FALSE(chainAt(u"x = (a + b).|"_qs));  // a parenthesised expression
    EXPECT_FALSE(chainAt(u"x = 1.|"_qs));        // a number
    EXPECT_FALSE(chainAt(u"x = ].|"_qs));
}

TEST(Caret, CommentsHideTheCaretFromEveryQuery) {
    const QString text = QStringLiteral("a; // b\nc /* d\ne */ f");
    EXPECT_TRUE(lexBefore(text, 6).inComment);
    EXPECT_FALSE(lexBefore(text, 9).inComment);
    EXPECT_TRUE(lexBefore(text, 14).inComment);
    const Lexed after = lexBefore(text, text.size());
    EXPECT_FALSE(after.inComment);
    QStringList tokens;
    for (const CodeToken& t : after.tokens)
        tokens << text.sliced(t.start, t.end - t.start);
    EXPECT_EQ(tokens, (QStringList{u"a"_qs, u";"_qs, u"c"_qs, u"f"_qs}));
}

TEST(Caret, AWindowStartsAtALineStartWithinItsSize) {
    const QString text = QString(100, u'x') + u'\n' + QString(10, u'y') + QStringLiteral(" z");
    const Lexed lexed = lexBefore(text, text.size(), 20);
    ASSERT_EQ(lexed.tokens.size(), 2u);
    EXPECT_EQ(text.sliced(lexed.tokens[0].start, 10), QString(10, u'y'));
}

TEST(Types, ElementsAndSwizzlesKeepTheComponentType) {
    TypeRef matrix;
    matrix.name = u"dmat3x2"_qs;
    matrix.scalar = u"double"_qs;
    matrix.columns = 3;
    matrix.rows = 2;
    matrix.arrayDims = {4, 0};
    EXPECT_EQ(matrix.text(), u"dmat3x2[4][]");
    const TypeRef column = matrix.element().element().element();
    EXPECT_EQ(column.name, u"dvec2");
    EXPECT_EQ(column.element().name, u"double");
    EXPECT_EQ(column.withComponents(4).name, u"dvec4");
    TypeRef bits;
    bits.scalar = u"uint16_t"_qs;
    EXPECT_EQ(bits.withComponents(3).name, u"u16vec3");
}

TEST(Includes, NestedOnceOnAPathAndNotInComments) {
    const QHash<QString, QString> files = {
        {u"a.glsl"_qs, u"float a;\n#include \"b.glsl\"\nfloat a2;"_qs},
        {u"b.glsl"_qs, u"float b;\n#include \"a.glsl\""_qs},  // back to a: left as it is
    };
    const IncludeResolver resolve = [&](const QString& name,
                                        const QString&) -> std::optional<SourceSection> {
        if (!files.contains(name))
            return std::nullopt;
        return SourceSection{name, files[name], 0};
    };
    const QList<SourceSection> sections =
        expandIncludes(u"main.frag"_qs,
                       u"#version 330 core\n#include \"a.glsl\"\n/*\n#include \"b.glsl\"\n*/\n"
                       "#include <missing.glsl>\nvoid main() {}"_qs,
                       resolve);
    QStringList got;
    for (const SourceSection& s : sections)
        got << s.file + u'@' + QString::number(s.firstLine) + u':' + s.text.trimmed();
    EXPECT_EQ(
        got,
        (QStringList{
            u"main.frag@0:#version 330 core"_qs,
            u"a.glsl@0:float a;"_qs,
            u"b.glsl@0:float b;\n#include \"a.glsl\""_qs,
            u"a.glsl@2:float a2;"_qs,
            u"main.frag@2:/*\n#include \"b.glsl\"\n*/\n#include <missing.glsl>\nvoid main() {}"_qs,
        }));
}

}  // namespace
