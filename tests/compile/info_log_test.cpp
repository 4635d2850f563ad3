// SPDX-License-Identifier: MIT
#include "compile/info_log.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

using namespace tessory;

namespace {

struct LogCase {
    const char* name;
    QByteArray vertexLog;
    QByteArray fragmentLog;
    QByteArray linkLog;
    bool hasLog;
    QByteArray entries;  // one a line
};

void PrintTo(const LogCase& c, std::ostream* os) {
    *os << c.name;
}

// Logs as drivers write them: Mesa's recorded from llvmpipe, the marker form from drivers that
// head each part of a link log with "Vertex info" and "Fragment info".
const QByteArray kMesaTwoLines =
    "0:3(2): error: `x' undeclared\n"
    "0:3(2): error: value of type int cannot be assigned to variable of type error\n";
const QByteArray kMesaVarying =
    "error: fragment shader varying neverWritten not written by vertex shader\n."
    "error: fragment shader varying neverWritten not written by vertex shader\n.";
const QByteArray kMarkedLinkLog =
    "Vertex info\n-----------\n0(12) : error C1008: undefined variable \"x\"\n"
    "0(13) : error C1008: undefined variable \"y\"\n\n"
    "Fragment info\n-------------\n0(3) : error C0000: syntax error\n";

class ComposeErrorList : public testing::TestWithParam<LogCase> {};

TEST_P(ComposeErrorList, GivesTheEntriesInOrder) {
    const LogCase& c = GetParam();
    const ErrorListReport report = composeErrorList(c.vertexLog, c.fragmentLog, c.linkLog);
    EXPECT_EQ(report.hasLog, c.hasLog);
    QByteArray entries;
    for (const QByteArray& entry : report.entries) {
        entries += entry + '\n';
    }
    EXPECT_EQ(entries, c.entries);
}

INSTANTIATE_TEST_SUITE_P(
    CompileLogs, ComposeErrorList,
    testing::Values(
        LogCase{"NoLogAtAll", "", "", "", false, "VertexShader: OK\nFragmentShader: OK\n"},
        LogCase{"TwoLinesLf", kMesaTwoLines, "", "", true,
                "0:3(2): error: `x' undeclared  [VertexShader]\n"
                "0:3(2): error: value of type int cannot be assigned to variable of type error"
                "  [VertexShader]\n"
                "FragmentShader: OK\n"},
        LogCase{"TwoLinesCrLf", "", "first\r\nsecond\r\n", "", true,
                "VertexShader: OK\nfirst  [FragmentShader]\n  [FragmentShader]\n"
                "second  [FragmentShader]\n  [FragmentShader]\n"},
        LogCase{"OneCharacter", "x", "", "", true, "  [VertexShader]\nFragmentShader: OK\n"},
        LogCase{"LastCharacterDropped", "abc", "", "", true,
                "ab  [VertexShader]\nFragmentShader: OK\n"},
        LogCase{"CrOnItsOwn", "a\rb\n", "", "", true,
                "a  [VertexShader]\nb  [VertexShader]\nFragmentShader: OK\n"},
        LogCase{"VertexAlwaysFirst", "v\n", "f\n", "", true,
                "v  [VertexShader]\nf  [FragmentShader]\n"},
        LogCase{"LinkLogIgnoredAfterCompileLog", "", "f\n", kMarkedLinkLog, true,
                "VertexShader: OK\nf  [FragmentShader]\n"}));

INSTANTIATE_TEST_SUITE_P(
    LinkLogs, ComposeErrorList,
    testing::Values(
        LogCase{"MesaWithoutMarkers", "", "", kMesaVarying, true,
                "error: fragment shader varying neverWritten not written by vertex shader"
                "  [VertexShader]\n"
                ".error: fragment shader varying neverWritten not written by vertex shader"
                "  [VertexShader]\n"
                "FragmentShader: OK\n"},
        LogCase{"NoMarkerLosesLastCharacter", "", "", "link failed", true,
                "link faile  [VertexShader]\nFragmentShader: OK\n"},
        LogCase{"NoMarkerCutAtParenthesis", "", "", "error (see below)\nmore\n", true,
                "(see below)  [VertexShader]\nmore  [VertexShader]\nFragmentShader: OK\n"},
        LogCase{"Markers", "", "", kMarkedLinkLog, true,
                "(12) : error C1008: undefined variable \"x\"  [VertexShader]\n"
                "0(13) : error C1008: undefined variable \"y\"  [VertexShader]\n"
                "(3) : error C0000: syntax error  [FragmentShader]\n"},
        LogCase{"MarkersInAnyCase", "", "", "VERTEX INFO\n0(1) : a\nfRaGmEnT iNfO\n0(2) : b\n",
                true, "(1) : a  [VertexShader]\n(2) : b  [FragmentShader]\n"},
        // The fragment part is n - p1 - p2 + 1 long: a vertex marker at position 3 costs the
        // fragment part two more bytes at its end ("ef" besides the final line end).
        LogCase{"VertexMarkerLater", "", "",
                "X\nvertex info\n0(1) : a\nfragment info\n0(2) : bcdef\n", true,
                "(1) : a  [VertexShader]\n(2) : bcd  [FragmentShader]\n"},
        // Fragment marker first: the vertex part is empty, the fragment part is cut short.
        LogCase{"FragmentMarkerFirst", "", "", "fragment info\n(1) f\nvertex info\n(2) v\n", true,
                "VertexShader: OK\n(1)  [FragmentShader]\n"},
        LogCase{"OnlyFragmentMarker", "", "", "fragment info\n0(7) : f\n", true,
                "VertexShader: OK\n(7) : f  [FragmentShader]\n"},
        LogCase{"BothPartsEmptyAfterTrimming", "", "", " \t\n\r ", true,
                "VertexShader: OK\nFragmentShader: OK\n"}));

TEST(SplitLogInto, AppendsToWhatIsThere) {
    QList<QByteArray> target{"kept"};
    splitLogInto("a\n\nb", "!", target);
    EXPECT_EQ(target, (QList<QByteArray>{"kept", "a!", "!", "b!"}));
    splitLogInto("", "!", target);
    EXPECT_EQ(target.last(), "!");
}

TEST(SplitRunTogether, CutsBeforeASeverityWordThatFollowsALetter) {
    const struct {
        QByteArray line;
        QList<QByteArrayView> parts;
    } cases[] = {
        {"error: a shadererror: b shaderwarning: c",
         {"error: a shader", "error: b shader", "warning: c"}},
        // A word after a blank, a colon or inside a longer word is running text.
        {"0:1(2): error: syntax error: x", {"0:1(2): error: syntax error: x"}},
        {"linking error:x and terror: y", {"linking error:x and t", "error: y"}},
        {"shader.error: z", {"shader.error: z"}},
        {"", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitRunTogether(c.line), c.parts) << c.line.constData();
    }
}

// The editor's error list gets the same messages as the checker.
TEST(ComposeErrorList, MesaRunTogetherLinkMessagesAreTwoEntries) {
    const ErrorListReport report = composeErrorList(
        "", "", "error: linking with uncompiled/unspecialized shadererror: linking with x\n");
    EXPECT_EQ(report.entries,
              (QList<QByteArray>{"error: linking with uncompiled/unspecialized shader  "
                                 "[VertexShader]",
                                 "error: linking with x  [VertexShader]", "FragmentShader: OK"}));
}

TEST(TrimControls, RemovesEveryByteUpToSpaceAtBothEnds) {
    EXPECT_EQ(trimControls(QByteArray("\x01 \t a b \r\n\x20\0", 12)), "a b");
    EXPECT_EQ(trimControls("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(trimControls(" \n "), "");
}

TEST(DivideLinkLog, KeepsTheMarkerLinesUntilTheCut) {
    const LinkLogParts parts = divideLinkLog(kMarkedLinkLog);
    EXPECT_EQ(parts.vertex,
              "Vertex info\n-----------\n0(12) : error C1008: undefined variable \"x\"\n"
              "0(13) : error C1008: undefined variable \"y\"");
    EXPECT_EQ(parts.fragment, "Fragment info\n-------------\n0(3) : error C0000: syntax error");
}

TEST(DivideLinkLog, LowersOnlyAsciiLetters) {
    // 0xC9 is É in Windows-1252; "VÉRTEX INFO" is no marker, so everything is the vertex part.
    const LinkLogParts parts = divideLinkLog("V\xC9RTEX INFO x\n");
    EXPECT_EQ(parts.vertex, "V\xC9RTEX INFO x");
    EXPECT_EQ(parts.fragment, "");
}

}  // namespace
