// SPDX-License-Identifier: MIT
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"

#include "support/qt_printers.h"

#include <QStringList>

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
    const ShaderMessage message = parseDriverLine(QString::fromUtf8(c.line));
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

// Every field of a message in one line: "pane:line:column severity: text (log)".
QString describe(const ShaderMessage& m) {
    static const char* const panes[] = {"vertex", "fragment"};
    static const char* const logs[] = {"vertex compile", "fragment compile", "link"};
    QString location = QLatin1String(m.pane ? panes[int(*m.pane)] : "none");
    if (m.line) {
        location += u':' + QString::number(*m.line);
    }
    if (m.column) {
        location += u':' + QString::number(*m.column);
    }
    const bool warning = m.severity == MessageSeverity::Warning;
    return QStringLiteral("%1 %2: %3 (%4)")
        .arg(location, QLatin1String(warning ? "warning" : "error"), m.text,
             QLatin1String(logs[int(m.origin)]));
}

struct RunCase {
    const char* name;
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    const char* messages;  // described, one a line, UTF-8
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class RunMessages : public testing::TestWithParam<RunCase> {};

TEST_P(RunMessages, GivesEveryMessageWithItsFileLineAndLog) {
    const RunCase& c = GetParam();
    QStringList described;
    for (const ShaderMessage& m : runMessages(c.vertexLog, c.fragmentLog, c.linkLog)) {
        described.append(describe(m) + u'\n');
    }
    EXPECT_EQ(described.join(QString()), QString::fromUtf8(c.messages));
}

INSTANTIATE_TEST_SUITE_P(
    Logs, RunMessages,
    testing::Values(
        RunCase{"NoLogs", "", "", "", ""},
        RunCase{"VertexThenFragmentThenLink", "0:1(1): error: v\n", "0:2(1): error: f\n",
                "error: l",
                "vertex:1:1 error: v (vertex compile)\n"
                "fragment:2:1 error: f (fragment compile)\n"
                "vertex error: l (link)\n"},
        RunCase{"OneMessagePerLineBlankLinesSkipped", "",
                "0:4(19): error: `a' undeclared\r\n\r\n0:5(3): warning: `b' unused\n", "",
                "fragment:4:19 error: `a' undeclared (fragment compile)\n"
                "fragment:5:3 warning: `b' unused (fragment compile)\n"},
        // A log that is there must never go unreported, even when it holds only blanks.
        RunCase{"BlankCompileLog", " \n\n", "", "",
                "vertex error: the driver wrote an info log without a message (vertex compile)\n"},
        RunCase{"BytesAreWindows1252", "0:1(1): error: `gr\xfc\xdf' undeclared\n", "", "",
                "vertex:1:1 error: `grüß' undeclared (vertex compile)\n"},
        // Mesa's shape, verbatim: each message ends with "\n." and the next follows the dot.
        RunCase{"MesaLinkLogGoesToTheVertexFileWithoutLine", "", "",
                "error: fragment shader varying v not written by vertex shader\n."
                "error: fragment shader varying v not written by vertex shader\n.",
                "vertex error: fragment shader varying v not written by vertex shader (link)\n"
                "vertex error: fragment shader varying v not written by vertex shader (link)\n"},
        RunCase{"UnmarkedLinkLocationGivesNoLine", "", "", "0:3(1): error: clash",
                "vertex error: clash (link)\n"},
        RunCase{"HeadingsSendLinkMessagesToTheirFileWithLines", "", "",
                "Vertex info\n-----------\n0(4) : error C5145: must write to gl_Position\n\n"
                "Fragment info\n-------------\n0(9) : warning C7050: \"c\" might be used before\n",
                "vertex:4 error: C5145: must write to gl_Position (link)\n"
                "fragment:9 warning: C7050: \"c\" might be used before (link)\n"},
        RunCase{"FragmentHeadingAloneStillMovesTheRest", "", "",
                "error: before\nFRAGMENT INFO\nerror: after\n",
                "vertex error: before (link)\nfragment error: after (link)\n"},
        RunCase{"HeadingsWithoutMessagesAreStillReported", "", "", "Vertex info\n-----\n\n",
                "vertex error: the driver wrote an info log without a message (link)\n"},
        // Recorded from Mesa 22.3 (llvmpipe): both shaders of a pair fail to compile.
        RunCase{"MesaRunTogetherLinkMessagesAreTwo", "", "",
                "error: linking with uncompiled/unspecialized shadererror: linking with "
                "uncompiled/unspecialized shader",
                "vertex error: linking with uncompiled/unspecialized shader (link)\n"
                "vertex error: linking with uncompiled/unspecialized shader (link)\n"},
        RunCase{"RunTogetherWarningAfterAnErrorInACompileLog", "",
                "0:2(7): error: `x' undeclaredwarning: `y' unused\n", "",
                "fragment:2:7 error: `x' undeclared (fragment compile)\n"
                "fragment warning: `y' unused (fragment compile)\n"},
        // Only Mesa's location holds a column; NVIDIA's and AMD's have none.
        RunCase{"ColumnsOnlyFromMesasLocation", "0(7) : error C1008: x\nERROR: 0:4: 'y' : z\n",
                "0:12(345): warning: w\n", "",
                "vertex:7 error: C1008: x (vertex compile)\n"
                "vertex:4 error: 'y' : z (vertex compile)\n"
                "fragment:12:345 warning: w (fragment compile)\n"}));

// Mesa's columns count in its preprocessed text, where each run of blanks and comments is one
// space; recorded from Mesa 22.3 on "missingP" in these lines.
TEST(SourceColumn, CountsEachRunOfBlanksAndCommentsAsTheSpaceMesaSaw) {
    const struct {
        QByteArrayView line;
        qint64 driver;
        qint64 source;
    } cases[] = {
        {"    float f = missingP;", 12, 15},
        {"\t\tfloat f = missingP;", 12, 13},
        {"    float  f =   missingP;", 12, 18},
        {"float f = /* c */ missingP;", 11, 19},
        {"float f = /* c */missingP;", 11, 18},
        {"float f = 1.0 +missingP; // x", 16, 16},
        // Beyond the line, or in a comment that began on an earlier line: the driver's column.
        {"x", 9, 9},
        {"", 3, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sourceColumn(c.line, c.driver), c.source) << c.line.toByteArray().constData();
    }
}

// The editor's error list read once into messages: each entry's text as the list shows it, and
// where its jump goes, from logs in the forms of Mesa, NVIDIA, AMD and Intel.
struct ListCase {
    const char* name;
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    const char* entries;  // "shown | " and described, one a line, UTF-8
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorListMessages : public testing::TestWithParam<ListCase> {};

TEST_P(ErrorListMessages, ReadEachEntryOnceWithItsPaneLineAndColumn) {
    const ListCase& c = GetParam();
    QString described;
    for (const ShaderMessage& m : errorListMessages(c.vertexLog, c.fragmentLog, c.linkLog)) {
        described += m.shown + QStringLiteral(" | ") + describe(m) + u'\n';
    }
    EXPECT_EQ(described, QString::fromUtf8(c.entries));
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, ErrorListMessages,
    testing::Values(
        ListCase{"CleanRun", "", "", "",
                 "VertexShader: OK | none error: VertexShader: OK (vertex compile)\n"
                 "FragmentShader: OK | none error: FragmentShader: OK (vertex compile)\n"},
        // Mesa 22.3 (llvmpipe), with the driver's column.
        ListCase{"Mesa", "0:3(23): error: `undefinedThing' undeclared\n",
                 "0:1(10): warning: extension `GL_x' unsupported in fragment shader\n", "",
                 "0:3(23): error: `undefinedThing' undeclared  [VertexShader] | vertex:3:23 "
                 "error: `undefinedThing' undeclared (vertex compile)\n"
                 "0:1(10): warning: extension `GL_x' unsupported in fragment shader  "
                 "[FragmentShader] | fragment:1:10 warning: extension `GL_x' unsupported in "
                 "fragment shader (fragment compile)\n"},
        ListCase{"NVIDIA", "",
                 "0(12) : error C1008: undefined variable \"x\"\n"
                 "0(14) : warning C7011: implicit cast from \"int\" to \"float\"\n",
                 "",
                 "VertexShader: OK | none error: VertexShader: OK (vertex compile)\n"
                 "0(12) : error C1008: undefined variable \"x\"  [FragmentShader] | fragment:12 "
                 "error: C1008: undefined variable \"x\" (fragment compile)\n"
                 "0(14) : warning C7011: implicit cast from \"int\" to \"float\"  "
                 "[FragmentShader] | fragment:14 warning: C7011: implicit cast from \"int\" to "
                 "\"float\" (fragment compile)\n"},
        // AMD and Intel on Windows: the severity word first, then the location, and a summary
        // line that names no line.
        ListCase{"AmdAndIntel",
                 "ERROR: 0:4: 'undefinedThing' : undeclared identifier\n"
                 "ERROR: 1 compilation errors.  No code generated.\n",
                 "WARNING: 0:2: '' : #version directive missing\n", "",
                 "ERROR: 0:4: 'undefinedThing' : undeclared identifier  [VertexShader] | "
                 "vertex:4 error: 'undefinedThing' : undeclared identifier (vertex compile)\n"
                 "ERROR: 1 compilation errors.  No code generated.  [VertexShader] | vertex "
                 "error: 1 compilation errors.  No code generated. (vertex compile)\n"
                 "WARNING: 0:2: '' : #version directive missing  [FragmentShader] | "
                 "fragment:2 warning: '' : #version directive missing (fragment compile)\n"},
        // NVIDIA's link log: the headings divide it, and the cut at the first "(" leaves
        // "(4) : ..." that still leads to its line.
        ListCase{"NvidiaLinkLog", "", "",
                 "Vertex info\n-----------\n0(4) : error C5145: must write to gl_Position\n\n"
                 "Fragment info\n-------------\n0(9) : error C7050: \"c\" might be used\n\n",
                 "(4) : error C5145: must write to gl_Position  [VertexShader] | vertex:4 error: "
                 "C5145: must write to gl_Position (link)\n"
                 "(9) : error C7050: \"c\" might be used  [FragmentShader] | fragment:9 error: "
                 "C7050: \"c\" might be used (link)\n"},
        // Mesa's link log, verbatim: no location, all on the vertex side.
        ListCase{"MesaLinkLog", "", "",
                 "error: fragment shader varying v not written by vertex shader\n.",
                 "error: fragment shader varying v not written by vertex shader  "
                 "[VertexShader] | vertex error: fragment shader varying v not written by "
                 "vertex shader (link)\n"
                 "FragmentShader: OK | none error: FragmentShader: OK (link)\n"},
        // A line 0 is the first line; a column 0 places nothing; a line before the first keeps
        // its number, below 1, so that the jump still shows its pane.
        ListCase{"EdgeNumbers", "0:0(0): error: a\n", "", "",
                 "0:0(0): error: a  [VertexShader] | vertex:1 error: a (vertex compile)\n"
                 "FragmentShader: OK | none error: FragmentShader: OK (vertex compile)\n"}));

TEST(ErrorListEntry, ALineBeforeTheFirstLeadsBelowIndexZero) {
    const ShaderMessage m = errorListEntry(u"(-3) : error x  [FragmentShader]");
    EXPECT_EQ(m.pane, PairSide::Fragment);
    EXPECT_EQ(m.lineIndex(), -4);
    EXPECT_EQ(m.text, QStringLiteral("(-3) : error x"));
    // Blanks before the "(" make an entry lead nowhere, while the checker reads past them.
    EXPECT_EQ(errorListEntry(u" (12) : error x  [VertexShader]").lineIndex(), std::nullopt);
    EXPECT_EQ(parseDriverLine(u" (12) : error x").line, 12);
}

}  // namespace
