// SPDX-License-Identifier: MIT
// Sources read before compiling: within the limit, in report order, and what is read is what is
// compiled; anything that cannot be read is left to its compile, which reports it.
#include "check/workspace_check.h"
#include "compile/gl_contexts.h"
#include "driver.h"
#include "workspace/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tessory;
using tessory::testing::RealDriver;

namespace {

const PairExtensions kExtensions{QStringLiteral(".vert"), QStringLiteral(".frag")};
const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QByteArray kBrokenVertex = "void main()\n{\n    gl_Position = vec4(missing);\n}\n";

class ReadAhead : public RealDriver {
protected:
    QTemporaryDir dir;
    QString put(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    WorkspaceCheck plan() { return planWorkspace(dir.path() + u'/', kExtensions); }
    CompileApis apis() { return {engine, contexts}; }

    FileIncludeResolver files;
    CompileEngine engine{files};
    ThreadContexts contexts{&context()};
};

TEST_F(ReadAhead, ReadsPairsThenFilesUntilTheLimit) {
    put("a.vert", kVertex);
    put("a.frag", kFragment);
    put("b.vert", kVertex);
    put("b.frag", kFragment);
    put("c.comp", "void main() {}\n");
    WorkspaceCheck check = plan();
    ASSERT_EQ(check.pairs.size(), 2);
    ASSERT_EQ(check.files.size(), 1);

    // The pair that spends the bytes is read whole; nothing after it is.
    ReadAheadLimit limit;
    limit.bytes = 1;
    readAhead(check, limit);
    ASSERT_TRUE(check.pairs[0].sources.has_value());
    EXPECT_EQ(check.pairs[0].sources->vertex, kVertex);
    EXPECT_EQ(check.pairs[0].sources->fragment, kFragment);
    EXPECT_EQ(limit.bytes, 1 - kVertex.size() - kFragment.size());
    EXPECT_FALSE(check.pairs[1].sources.has_value());
    EXPECT_FALSE(check.files[0].source.has_value());

    // Stopped from outside (the driver is ready) after one more pair.
    int asked = 0;
    ReadAheadLimit oneMore;
    oneMore.goOn = [&asked] { return asked++ < 1; };
    readAhead(check, oneMore);
    EXPECT_TRUE(check.pairs[1].sources.has_value());
    EXPECT_FALSE(check.files[0].source.has_value());

    ReadAheadLimit rest;
    readAhead(check, rest);
    EXPECT_EQ(check.files[0].source, QByteArray("void main() {}\n"));
}

TEST_F(ReadAhead, WhatWasReadIsWhatIsCompiled) {
    const QString vertex = put("a.vert", kBrokenVertex);
    put("a.frag", kFragment);
    const QString lone = put("b.geom", "#version 150\nlayout(points) in;\nnot a shader\n");
    WorkspaceCheck check = plan();
    ReadAheadLimit limit;
    readAhead(check, limit);
    // Changed and removed after they were read: the run reports the files as they were.
    put("a.vert", kVertex);
    QFile::remove(lone);

    takeOutcome(check.pairs[0], compilePair(apis(), check.pairs[0]));
    ASSERT_FALSE(check.pairs[0].messages.isEmpty());
    EXPECT_EQ(check.pairs[0].messages[0].path, vertex);
    EXPECT_EQ(check.pairs[0].messages[0].line, 3);
    EXPECT_TRUE(check.pairs[0].messages[0].text.contains("missing"));
    EXPECT_FALSE(check.pairs[0].sources.has_value()) << "kept after it was compiled";

    takeOutcome(check.files[0], compileFile(apis(), check.files[0]));
    ASSERT_FALSE(check.files[0].messages.isEmpty());
    EXPECT_EQ(check.files[0].messages[0].line, 3);
    EXPECT_FALSE(check.files[0].source.has_value());
}

TEST_F(ReadAhead, WhatCannotBeReadIsReportedByItsCompile) {
    put("a.vert", kVertex);
    put("a.frag", kFragment);
    const QString lone = put("b.comp", "void main() {}\n");
    WorkspaceCheck check = plan();
    // Gone between the scan and the reading.
    ASSERT_TRUE(QFile::remove(dir.filePath("a.frag")));
    ASSERT_TRUE(QFile::remove(lone));

    ReadAheadLimit limit;
    readAhead(check, limit);
    EXPECT_FALSE(check.pairs[0].sources.has_value());
    EXPECT_FALSE(check.files[0].source.has_value());
    EXPECT_EQ(limit.bytes, kReadAheadBytes);

    const CompileOutcome pair = compilePair(apis(), check.pairs[0]);
    ASSERT_EQ(pair.messages.size(), 1);
    EXPECT_EQ(pair.messages[0].path, dir.filePath("a.frag"));
    const CompileOutcome file = compileFile(apis(), check.files[0]);
    ASSERT_EQ(file.messages.size(), 1);
    EXPECT_EQ(file.messages[0].path, lone);
}

}  // namespace
