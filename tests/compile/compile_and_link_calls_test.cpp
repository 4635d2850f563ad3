// SPDX-License-Identifier: MIT
#include "compile/compile_and_link.h"

#include "compile/driver_messages.h"
#include "run_support.h"

#include "workspace/file_io.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessory;
using tessory::testing::shownEntries;

namespace {

// A driver that records every call by the role of the object it gets, and hands out the logs a
// test gives it. Handles are 1 program, 2 fragment, 3 vertex in creation order.
struct FakeDriver {
    std::vector<std::string> calls;
    std::map<GlHandle, QByteArray> logs;
    std::map<GlHandle, GlInt> reportedLength;  // overrides the log's own length + 1
    std::map<GlHandle, QByteArray> sources;
    std::set<GlHandle> live;
    GlHandle next = 1;
};
FakeDriver* fake = nullptr;

std::string role(GlHandle h) {
    static const char* names[] = {"none", "program", "fragment", "vertex"};
    return h < 4 ? names[h] : std::to_string(h);
}

GlHandle create(const std::string& call) {
    const GlHandle h = fake->next++;
    fake->live.insert(h);
    fake->calls.push_back(call + " " + role(h));
    return h;
}

ArbApi fakeApi() {
    ArbApi api;
    api.createProgramObjectARB = [] { return create("create"); };
    api.createShaderObjectARB = [](GlEnum type) {
        EXPECT_EQ(type, fake->next % 3 == 2 ? kGlFragmentShaderArb : kGlVertexShaderArb);
        return create("create");
    };
    api.shaderSourceARB = [](GlHandle s, GlSizei count, const char* const* strings,
                             const GlInt* lengths) {
        ASSERT_EQ(count, 1);
        fake->sources[s] = QByteArray(strings[0], lengths[0]);
        fake->calls.push_back("source " + role(s));
    };
    api.compileShaderARB = [](GlHandle s) { fake->calls.push_back("compile " + role(s)); };
    api.getObjectParameterivARB = [](GlHandle o, GlEnum name, GlInt* value) {
        EXPECT_EQ(name, kGlObjectInfoLogLengthArb);
        const auto it = fake->reportedLength.find(o);
        *value = it != fake->reportedLength.end() ? it->second : GlInt(fake->logs[o].size() + 1);
        fake->calls.push_back("length " + role(o));
    };
    api.getInfoLogARB = [](GlHandle o, GlSizei size, GlSizei* written, char* log) {
        const QByteArray& text = fake->logs[o];
        const GlSizei n = std::min<GlSizei>(size - 1, GlSizei(text.size()));
        std::memcpy(log, text.constData(), std::size_t(n));
        log[n] = '\0';
        *written = n;
        fake->calls.push_back("log " + role(o));
    };
    api.attachObjectARB = [](GlHandle p, GlHandle s) {
        fake->calls.push_back("attach " + role(p) + " " + role(s));
    };
    api.deleteObjectARB = [](GlHandle o) {
        fake->live.erase(o);
        fake->calls.push_back("delete " + role(o));
    };
    api.linkProgramARB = [](GlHandle p) { fake->calls.push_back("link " + role(p)); };
    return api;
}

class ShaderModCalls : public ::testing::Test {
protected:
    void SetUp() override { fake = &driver; }
    void TearDown() override { fake = nullptr; }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        return tessory::testing::writeTestFile(dir, name, bytes);
    }

    FakeDriver driver;
    ArbApi api = fakeApi();
    QTemporaryDir dir;
};

const std::vector<std::string> kCompileAndLink = {
    "create program",          "create fragment",       "create vertex",
    "source vertex",           "source fragment",       "compile fragment",
    "compile vertex",          "length vertex",         "length fragment",
    "attach program fragment", "attach program vertex", "delete fragment",
    "delete vertex",           "link program",          "length program"};

TEST_F(ShaderModCalls, EditorRunKeepsTheDriverOrderAndFreesEverything) {
    QStringList list{"Compiling Shader..."};
    {
        const CompileResult run = compileAndLink(api, "v\r\n", "f\r\n");
        list = shownEntries(run);
        EXPECT_EQ(driver.calls, kCompileAndLink);
        EXPECT_EQ(run.program.handle(), 1u);
        EXPECT_FALSE(run.hasLog());
        EXPECT_EQ(driver.sources[3], "v\r\n");
        EXPECT_EQ(driver.sources[2], "f\r\n");
    }
    EXPECT_EQ(driver.calls.back(), "delete program");
    EXPECT_TRUE(driver.live.empty());
    EXPECT_EQ(list, (QStringList{"VertexShader: OK", "FragmentShader: OK"}));
}

TEST_F(ShaderModCalls, EditorRunSkipsTheLinkLogAfterACompileLog) {
    driver.logs[3] = "0:1(1): warning: x\n";
    driver.logs[1] = "never read\n";
    const CompileResult run = compileAndLink(api, "", "");
    const QStringList list = shownEntries(run);
    auto expected = kCompileAndLink;
    expected.insert(expected.begin() + 8, "log vertex");
    expected.pop_back();
    EXPECT_EQ(driver.calls, expected);
    EXPECT_TRUE(run.hasLog());
    EXPECT_EQ(run.vertexLog, "0:1(1): warning: x\n");
    EXPECT_EQ(run.linkLog, "");
    EXPECT_EQ(driver.sources[3], "");
    EXPECT_EQ(list, (QStringList{"0:1(1): warning: x  [VertexShader]", "FragmentShader: OK"}));
}

TEST_F(ShaderModCalls, ShortLogLengthsMeanNoLog) {
    driver.logs[2] = "x";
    driver.reportedLength[2] = 1;
    driver.logs[3] = "y";
    driver.reportedLength[3] = -5;
    const CompileResult run = compileAndLink(api, "", "");
    const QStringList list = shownEntries(run);
    EXPECT_FALSE(run.hasLog());
    EXPECT_EQ(list, (QStringList{"VertexShader: OK", "FragmentShader: OK"}));
}

TEST_F(ShaderModCalls, LogEndsAtItsFirstNul) {
    driver.logs[1] = QByteArray("ab\0cd", 5);
    const CompileResult run = compileAndLink(api, "", "");
    const QStringList list = shownEntries(run);
    EXPECT_EQ(run.linkLog, "ab");
    EXPECT_EQ(list, (QStringList{"a  [VertexShader]", "FragmentShader: OK"}));
}

TEST_F(ShaderModCalls, EntriesAreDecodedAsWindows1252) {
    driver.logs[2] = "\x80 \xE9\n";
    const CompileResult run = compileAndLink(api, "", "");
    const QStringList list = shownEntries(run);
    EXPECT_EQ(list.last(), QString::fromUtf8("€ é  [FragmentShader]"));
}

TEST_F(ShaderModCalls, FileRunAlwaysReadsTheLinkLog) {
    const QString vertex = writeFile("a.vert", "line1\nline2");
    const QString fragment = writeFile("a.frag", QByteArray("f\r\n\0ignored", 11));
    driver.logs[3] = "0:1(1): error: x\n";
    driver.logs[1] = "error: linking with uncompiled/unspecialized shader";
    {
        const CompileResult run = compileAndLinkFiles(api, vertex, fragment);
        auto expected = kCompileAndLink;
        expected.insert(expected.begin() + 8, "log vertex");
        expected.push_back("log program");
        EXPECT_EQ(driver.calls, expected);
        EXPECT_TRUE(run.hasLog());
        EXPECT_EQ(run.linkLog, "error: linking with uncompiled/unspecialized shader");
        EXPECT_EQ(driver.sources[3], "line1\r\nline2\r\n");
        EXPECT_EQ(driver.sources[2], "f\r\n");
    }
    EXPECT_TRUE(driver.live.empty());
}

TEST_F(ShaderModCalls, UnreadableFileThrowsAndLeavesNoObject) {
    const QString vertex = writeFile("a.vert", "v");
    const QString missing = dir.filePath("missing.frag");
    try {
        const CompileResult run = compileAndLinkFiles(api, vertex, missing);
        FAIL() << "no FileError";
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), missing);
    }
    EXPECT_TRUE(driver.calls.empty());  // both files are read before anything is made
    EXPECT_THROW(compileAndLinkFiles(api, dir.filePath("missing.vert"), writeFile("a.frag", "f")),
                 FileError);
    EXPECT_TRUE(driver.live.empty());
}

std::ptrdiff_t deletions(const FakeDriver& d, GlHandle object) {
    return std::count(d.calls.begin(), d.calls.end(), "delete " + role(object));
}

TEST_F(ShaderModCalls, TheProgramIsDeletedOnceWhereverItMoves) {
    {
        CompileResult run = compileAndLink(api, "", "");
        ProgramObject moved(std::move(run.program));
        ProgramObject target;
        target = std::move(moved);
        EXPECT_EQ(target.handle(), 1u);
        EXPECT_EQ(moved.handle(), 0u);
        EXPECT_EQ(deletions(driver, 1), 0);
        CompileResult result = std::move(run);
        EXPECT_EQ(deletions(driver, 1), 0);
    }
    EXPECT_EQ(deletions(driver, 1), 1);
    EXPECT_EQ(driver.calls.back(), "delete program");
    EXPECT_TRUE(driver.live.empty());
}

TEST_F(ShaderModCalls, AProgramMovedOverAnotherDeletesTheOtherAtOnce) {
    CompileResult first = compileAndLink(api, "", "");
    CompileResult second = compileAndLink(api, "", "");
    first.program = std::move(second.program);
    EXPECT_EQ(deletions(driver, 1), 1);
    EXPECT_EQ(first.program.handle(), 4u);
    EXPECT_EQ(driver.live, (std::set<GlHandle>{4}));
    first = CompileResult();
    EXPECT_EQ(deletions(driver, 4), 1);
    EXPECT_TRUE(driver.live.empty());
}

TEST_F(ShaderModCalls, AFileRunsProgramGoesWithItsResult) {
    const QString vertex = writeFile("a.vert", "v");
    const QString fragment = writeFile("a.frag", "f");
    { const CompileResult run = compileAndLinkFiles(api, vertex, fragment); }
    EXPECT_EQ(deletions(driver, 1), 1);
    EXPECT_TRUE(driver.live.empty());
}

}  // namespace
