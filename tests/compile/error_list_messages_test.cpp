// SPDX-License-Identifier: MIT
// The editor's error list read once into messages: each entry's text as the list shows it, and
// where its jump goes, from logs in the forms of Mesa, NVIDIA, AMD and Intel.
#include "compile/driver_messages.h"

#include "support/qt_printers.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace tessory;

namespace {

// "shown | pane:line:column severity: text (log)", the pane "none" for OK lines.
QString describe(const DriverMessage& m) {
    static const char* const panes[] = {"none", "vertex", "fragment"};
    static const char* const logs[] = {"vertex compile", "fragment compile", "link"};
    QString location = QLatin1String(panes[int(m.pane)]);
    if (m.line) {
        location += u':' + QString::number(*m.line);
    }
    if (m.column) {
        location += u':' + QString::number(*m.column);
    }
    const bool warning = m.severity == MessageSeverity::Warning;
    return QStringLiteral("%1 | %2 %3: %4 (%5)\n")
        .arg(m.shown, location, QLatin1String(warning ? "warning" : "error"), m.text,
             QLatin1String(logs[int(m.log)]));
}

struct ListCase {
    const char* name;
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    const char* entries;  // described, one a line, UTF-8
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorListMessages : public testing::TestWithParam<ListCase> {};

TEST_P(ErrorListMessages, ReadEachEntryOnceWithItsPaneLineAndColumn) {
    const ListCase& c = GetParam();
    QString described;
    for (const DriverMessage& m : errorListMessages(c.vertexLog, c.fragmentLog, c.linkLog)) {
        described += describe(m);
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
    const DriverMessage m = errorListEntry(u"(-3) : error x  [FragmentShader]");
    EXPECT_EQ(m.pane, ErrorPane::Fragment);
    EXPECT_EQ(m.lineIndex(), -4);
    EXPECT_EQ(m.text, QStringLiteral("(-3) : error x"));
    // Blanks before the "(" make an entry lead nowhere, while the checker reads past them.
    EXPECT_EQ(errorListEntry(u" (12) : error x  [VertexShader]").lineIndex(), std::nullopt);
    EXPECT_EQ(parseDriverLine(u" (12) : error x").line, 12);
}

}  // namespace
