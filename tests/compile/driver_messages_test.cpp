#include "compile/driver_messages.h"

#include <gtest/gtest.h>

using namespace tessory;

namespace {

struct LineCase {
    const char* line;
    std::optional<qint64> number;
    MessageSeverity severity;
    const char* text;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.line;
}

class DriverLine : public testing::TestWithParam<LineCase> {};

TEST_P(DriverLine, GivesLineSeverityAndText) {
    const LineCase& c = GetParam();
    const DriverMessage message = parseDriverLine(QString::fromUtf8(c.line));
    EXPECT_EQ(message.line, c.number);
    EXPECT_EQ(message.severity, c.severity);
    EXPECT_EQ(message.text.toStdString(), c.text);
}

constexpr auto E = MessageSeverity::Error;
constexpr auto W = MessageSeverity::Warning;

INSTANTIATE_TEST_SUITE_P(
    DriverForms, DriverLine,
    testing::Values(
        // Mesa
        LineCase{"0:4(19): error: `undefinedThing' undeclared", 4, E,
                 "`undefinedThing' undeclared"},
        LineCase{"0:1(12): warning: extension `GL_foo' unsupported in vertex shader", 1, W,
                 "extension `GL_foo' unsupported in vertex shader"},
        LineCase{"error: linking with uncompiled/unspecialized shader", std::nullopt, E,
                 "linking with uncompiled/unspecialized shader"},
        LineCase{"warning: something odd", std::nullopt, W, "something odd"},
        // A line 0 is line 1, as in the editor.
        LineCase{"0:0(1): error: syntax error", 1, E, "syntax error"},
        // NVIDIA keeps its message code.
        LineCase{"0(7) : error C1008: undefined variable \"x\"", 7, E,
                 "C1008: undefined variable \"x\""},
        LineCase{"0(2) : warning C7022: unrecognized profile specifier", 2, W,
                 "C7022: unrecognized profile specifier"},
        // AMD and Intel: the word comes first, the location after it.
        LineCase{"ERROR: 0:4: 'undefinedThing' : undeclared identifier", 4, E,
                 "'undefinedThing' : undeclared identifier"},
        LineCase{"WARNING: 0:2: '' : #version directive missing", 2, W,
                 "'' : #version directive missing"},
        // What the editor's link-log cut leaves.
        LineCase{"(12) : error C5145: must write to gl_Position", 12, E,
                 "C5145: must write to gl_Position"},
        // No severity word: an error, the text after the location.
        LineCase{"0:3(1): preprocessor trouble", 3, E, "preprocessor trouble"},
        LineCase{"Vertex shader(s) linked, fragment shader(s) linked.", std::nullopt, E,
                 "Vertex shader(s) linked, fragment shader(s) linked."},
        // Words inside the text do not count.
        LineCase{"errors were found", std::nullopt, E, "errors were found"},
        LineCase{"linking error: x", std::nullopt, E, "linking error: x"},
        LineCase{"12 error: not a location", std::nullopt, E, "12 error: not a location"},
        LineCase{"  Error:  spaced out  ", std::nullopt, E, "spaced out"}));

TEST(CompileLog, OneMessagePerLineForItsFile) {
    const QList<DriverMessage> messages = compileLogMessages(
        "0:4(19): error: `a' undeclared\r\n\r\n0:5(3): warning: `b' unused\n", ErrorPane::Fragment);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].file, ErrorPane::Fragment);
    EXPECT_EQ(messages[0].log, InfoLogKind::FragmentCompile);
    EXPECT_EQ(messages[0].line, 4);
    EXPECT_EQ(messages[1].line, 5);
    EXPECT_EQ(messages[1].severity, MessageSeverity::Warning);
    EXPECT_EQ(messages[1].text, QStringLiteral("`b' unused"));
}

TEST(CompileLog, EmptyLogHasNoMessageButABlankOneHasOne) {
    EXPECT_TRUE(compileLogMessages("", ErrorPane::Vertex).isEmpty());
    const QList<DriverMessage> blank = compileLogMessages(" \n\n", ErrorPane::Vertex);
    ASSERT_EQ(blank.size(), 1);
    EXPECT_EQ(blank[0].severity, MessageSeverity::Error);
    EXPECT_FALSE(blank[0].text.isEmpty());
}

TEST(CompileLog, BytesAreWindows1252) {
    const QList<DriverMessage> messages =
        compileLogMessages("0:1(1): error: `gr\xfc\xdf' undeclared\n", ErrorPane::Vertex);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, QString::fromUtf8("`grüß' undeclared"));
}

// Mesa's shape, verbatim: each message ends with "\n." and the next follows the dot.
TEST(LinkLog, MesaMessagesGoToTheVertexFileWithoutLine) {
    const QByteArray log =
        "error: fragment shader varying v not written by vertex shader\n."
        "error: fragment shader varying v not written by vertex shader\n.";
    const QList<DriverMessage> messages = linkLogMessages(log);
    ASSERT_EQ(messages.size(), 2);
    for (const DriverMessage& m : messages) {
        EXPECT_EQ(m.file, ErrorPane::Vertex);
        EXPECT_EQ(m.log, InfoLogKind::Link);
        EXPECT_EQ(m.line, std::nullopt);
        EXPECT_EQ(m.text, QStringLiteral("fragment shader varying v not written by vertex shader"));
    }
}

TEST(LinkLog, UnmarkedLocationGivesNoLine) {
    const QList<DriverMessage> messages = linkLogMessages("0:3(1): error: clash");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].line, std::nullopt);
    EXPECT_EQ(messages[0].text, QStringLiteral("clash"));
}

TEST(LinkLog, HeadingsSendMessagesToTheirFileWithLines) {
    const QByteArray log =
        "Vertex info\n-----------\n0(4) : error C5145: must write to gl_Position\n\n"
        "Fragment info\n-------------\n0(9) : warning C7050: \"c\" might be used before\n";
    const QList<DriverMessage> messages = linkLogMessages(log);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].file, ErrorPane::Vertex);
    EXPECT_EQ(messages[0].line, 4);
    EXPECT_EQ(messages[1].file, ErrorPane::Fragment);
    EXPECT_EQ(messages[1].line, 9);
    EXPECT_EQ(messages[1].severity, MessageSeverity::Warning);
}

TEST(LinkLog, FragmentHeadingAloneStillMovesTheRest) {
    const QList<DriverMessage> messages =
        linkLogMessages("error: before\nFRAGMENT INFO\nerror: after\n");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].file, ErrorPane::Vertex);
    EXPECT_EQ(messages[1].file, ErrorPane::Fragment);
}

TEST(LinkLog, HeadingsWithoutMessagesAreStillReported) {
    const QList<DriverMessage> messages = linkLogMessages("Vertex info\n-----\n\n");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].log, InfoLogKind::Link);
}

TEST(RunMessages, VertexThenFragmentThenLink) {
    const QList<DriverMessage> messages =
        runMessages("0:1(1): error: v\n", "0:2(1): error: f\n", "error: l");
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0].log, InfoLogKind::VertexCompile);
    EXPECT_EQ(messages[1].log, InfoLogKind::FragmentCompile);
    EXPECT_EQ(messages[2].log, InfoLogKind::Link);
    EXPECT_TRUE(runMessages("", "", "").isEmpty());
}

}  // namespace
