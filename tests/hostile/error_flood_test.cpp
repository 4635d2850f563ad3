// SPDX-License-Identifier: MIT
// A driver that floods the error list: 100,000 message lines, nearly all of them with line numbers
// far beyond 32 bits. The list fills in one go, and the jumps land only where a line really is.
#include "hostile/hostile_window.h"

#include "compile/compile_and_link.h"
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"
#include "compile/error_list_view.h"
#include "compile/info_log.h"

#include <QTabWidget>
#include <QTextBlock>
#include <QTextEdit>

#include <cstring>

using namespace tessory;
using namespace tessory::testing;

namespace {

constexpr int kFloodLines = 100000;

// Line numbers that wrap to 3 in 32 bits (2^32 + 3, and -(2^32 - 3)), that pass 64 bits, and that
// are negative: each in a form a driver writes. None leads to a line of a pane.
const QByteArray kHugeLines[] = {
    "0:4294967299(5): error: `x' undeclared",
    "(4294967299) : error C0000: syntax error",
    "0(18446744073709551619) : error C1008: undefined variable \"x\"",
    "ERROR: 0:4294967299: 'x' : undeclared identifier",
    "(-4294967293) : error: a line before the first",
    "0:99999999999999999999999999999999(1): error: far beyond any file",
};

// A log of kFloodLines - 1 lines with such numbers, each line ended by LF as drivers end them.
QByteArray floodLog() {
    QByteArray log;
    for (int i = 0; i < kFloodLines - 1; ++i) {
        log += kHugeLines[i % std::size(kHugeLines)];
        log += '\n';
    }
    return log;
}

// The one message that names a line the fragment pane has: its fourth.
const QByteArray kRealError = "0:4(1): error: `broken' undeclared\n";

// A driver that answers every compile with prepared info logs: the vertex shader's, the fragment
// shader's and the program's, each under its handle.
struct FloodDriver {
    static constexpr GlHandle kProgram = 1, kFragment = 2, kVertex = 3;
    static inline QByteArray logs[4];

    // No log for a handle the driver never gave out.
    static const QByteArray& logOf(GlHandle object) { return logs[object < 4 ? object : 0]; }

    static ArbApi api() {
        ArbApi gl;
        gl.createProgramObjectARB = [] { return kProgram; };
        gl.createShaderObjectARB = [](GlEnum type) {
            return type == kGlVertexShaderArb ? kVertex : kFragment;
        };
        gl.shaderSourceARB = [](GlHandle, GlSizei, const char* const*, const GlInt*) {};
        gl.compileShaderARB = [](GlHandle) {};
        gl.getObjectParameterivARB = [](GlHandle object, GlEnum, GlInt* value) {
            const QByteArray& log = logOf(object);
            *value = log.isEmpty() ? 0 : GlInt(log.size() + 1);
        };
        gl.getInfoLogARB = [](GlHandle object, GlSizei size, GlSizei* length, char* text) {
            const QByteArray& log = logOf(object);
            const GlSizei n = std::min<GlSizei>(size - 1, GlSizei(log.size()));
            std::memcpy(text, log.constData(), std::size_t(n));
            text[n] = '\0';
            *length = n;
        };
        gl.attachObjectARB = [](GlHandle, GlHandle) {};
        gl.deleteObjectARB = [](GlHandle) {};
        gl.linkProgramARB = [](GlHandle) {};
        return gl;
    }
};

TEST(ErrorFlood, TheLogFunctionsKeepEveryLineAndEveryNumberWhole) {
    const QByteArray log = floodLog() + kRealError;
    ErrorListReport report;
    timed("a 100,000-line compile log made into error-list entries",
          [&] { report = composeErrorList(log, {}, {}); });
    // One entry per line of the vertex log, and the fragment shader's OK line.
    ASSERT_EQ(report.entries.size(), kFloodLines + 1);
    EXPECT_TRUE(report.entries[kFloodLines - 1].startsWith("0:4(1): error"));
    EXPECT_EQ(report.entries.last(), "FragmentShader: OK");

    QList<ShaderMessage> messages;
    timed("a 100,000-line compile log read into driver messages",
          [&] { messages = runMessages(log, {}, {}); });
    ASSERT_EQ(messages.size(), kFloodLines);
    EXPECT_EQ(messages[0].line, 4294967299);
    EXPECT_EQ(messages[3].line, 4294967299);
    EXPECT_EQ(messages.last().line, 4);
    for (const ShaderMessage& message : messages.first(kFloodLines - 1)) {
        ASSERT_TRUE(!message.line || *message.line > 0xFFFFFFFFLL || *message.line < 0)
            << message.text.toStdString();
    }
}

class ErrorFloodWindow : public HostileWindow {
protected:
    void TearDown() override {
        for (QByteArray& log : FloodDriver::logs) {
            log.clear();
        }
    }
};

TEST_F(ErrorFloodWindow, FillsTheListInOneGoAndJumpsOnlyToTheLineThatExists) {
    writePair("a");
    MainWindow& w = start("a");
    FloodDriver::logs[FloodDriver::kVertex] = floodLog();
    FloodDriver::logs[FloodDriver::kFragment] = kRealError;
    const ArbApi gl = FloodDriver::api();

    QList<ShaderMessage> entries;
    timed("the editor run over 100,000 driver lines", [&] {
        const CompileResult run = compileAndLink(gl, QByteArray("vertex"), QByteArray("fragment"));
        EXPECT_TRUE(run.hasLog());
        entries = errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog);
    });
    ASSERT_EQ(entries.size(), kFloodLines);

    timed("filling the error list with 100,000 entries", [&] {
        errorListBox(w)->setUpdatesEnabled(false);
        errorListBox(w)->clear();
        errorListBox(w)->showMessages(entries);
        errorListBox(w)->setUpdatesEnabled(true);
        QCoreApplication::processEvents();
    });
    timed("the jump to the first error past 99,999 entries that lead nowhere",
          [&] { w.build().jumpToFirstError(); });
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_EQ(fragmentEdit(w)->textCursor().block().blockNumber(), 3);
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 3);

    // A double-click on any entry with a huge number leaves the caret and the mark alone.
    for (int row = 0; row < int(std::size(kHugeLines)); ++row) {
        errorListBox(w)->setCurrentRow(row);
        w.build().jumpToSelectedMessage();
        EXPECT_EQ(errorMarkPane(w), 1) << entries[row].shown.toStdString();
        EXPECT_EQ(errorMarkLine(w), 3) << entries[row].shown.toStdString();
        EXPECT_EQ(vertexEdit(w)->textCursor().position(), 0);
        EXPECT_EQ(fragmentEdit(w)->textCursor().block().blockNumber(), 3);
    }
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << shown();
}

}  // namespace
