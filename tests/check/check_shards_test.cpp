// SPDX-License-Identifier: MIT
// A run split over the machines of a CI matrix: each checks its share, and the shares' reports
// merge into the report of the whole run.
#include "check/check_shards.h"
#include "checker_process.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace tessory::testing {
namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QByteArray kFragmentError = "void main()\n{\n    gl_FragColor = vec4(missingF);\n}\n";

class CheckShards : public CheckerProcess {
protected:
    void SetUp() override {
        // Enough programs that every one of four shares gets some: clean and broken ones, lone
        // files, files of their own, two WorkSpaces and a file argument.
        for (int i = 0; i < 12; ++i) {
            const QString name = QStringLiteral("ws/p%1").arg(i);
            put(name + ".vert", kVertex);
            put(name + ".frag", i % 3 == 0 ? kFragmentError : kFragment);
        }
        put("ws/lone.frag", kFragment);
        put("ws/other.vert", kVertex);
        put("ws/effect.comp", "#version 430\nlayout(local_size_x = 1) in;\nvoid main() { y; }\n");
        put("more/q.vert", kVertex);
        put("more/q.frag", kFragmentError);
        put("single.frag", kFragmentError);
    }

    QStringList arguments(const QString& format) const {
        return {"--format=" + format, "-j", "2", path("ws"), path("more"), path("single.frag")};
    }

    // The whole run's report, and the merge of the N shards' reports, given in reverse order.
    std::pair<QString, CheckerRun> wholeAndMerged(const QString& format, int shards) {
        const QString whole = run(arguments(format)).out;
        QStringList reports;
        for (int k = shards; k >= 1; --k) {
            const QString report = path(QStringLiteral("shard-%1.%2").arg(k).arg(format));
            const CheckerRun part =
                run(arguments(format) << "--shard" << QStringLiteral("%1/%2").arg(k).arg(shards));
            EXPECT_NE(part.exitCode, 2) << part.err.toStdString();
            put(report.mid(root().size()), part.out.toUtf8());
            reports << report;
        }
        return {whole, run(QStringList{"--merge"} + reports)};
    }
};

TEST_F(CheckShards, MergedJsonOfFourShardsIsTheWholeReport) {
    const auto [whole, merged] = wholeAndMerged("json", 4);
    EXPECT_EQ(merged.exitCode, 1) << merged.err.toStdString();
    EXPECT_EQ(merged.out, whole);
    EXPECT_TRUE(QJsonDocument::fromJson(whole.toUtf8())["summary"]["pairsChecked"].toInt() > 0);
}

TEST_F(CheckShards, MergedSarifOfThreeShardsIsTheWholeLog) {
    const auto [whole, merged] = wholeAndMerged("sarif", 3);
    EXPECT_EQ(merged.exitCode, 1) << merged.err.toStdString();
    EXPECT_EQ(merged.out, whole);
}

TEST_F(CheckShards, EachProgramIsCheckedByExactlyOneShard) {
    int pairs = 0;
    for (int k = 1; k <= 4; ++k) {
        const CheckerRun part =
            run(arguments("json") << "--shard" << QStringLiteral("%1/4").arg(k));
        pairs += QJsonDocument::fromJson(part.out.toUtf8())["summary"]["pairsChecked"].toInt();
    }
    EXPECT_EQ(pairs, 13);
}

TEST_F(CheckShards, ReportsThatDoNotMergeAreRefused) {
    const CheckerRun part = run(arguments("json") << "--shard"
                                                  << "1/2");
    put("a.json", part.out.toUtf8());
    put("b.json", part.out.toUtf8());
    put("c.sarif", run(arguments("sarif") << "--shard"
                                          << "2/2")
                       .out.toUtf8());
    put("d.txt", "pairs checked: 3\n");
    EXPECT_EQ(run({"--merge", path("a.json"), path("b.json")}).exitCode, 2);
    put("e.sarif", run(arguments("sarif") << "--shard"
                                          << "1/2")
                       .out.toUtf8());
    EXPECT_EQ(run({"--merge", path("e.sarif"), path("e.sarif")}).exitCode, 2);
    EXPECT_EQ(run({"--merge", path("a.json"), path("c.sarif")}).exitCode, 2);
    EXPECT_EQ(run({"--merge", path("d.txt")}).exitCode, 2);
    EXPECT_EQ(run({"--merge", path("none.json")}).exitCode, 2);
}

TEST_F(CheckShards, ShardsOutsideOneToNAreUsageErrors) {
    for (const char* shard : {"0/4", "5/4", "1/0", "-1/4", "1/", "a/b", "2"}) {
        const CheckerRun bad = run({"--shard", shard, path("ws")});
        EXPECT_EQ(bad.exitCode, 2) << shard;
        EXPECT_TRUE(bad.err.contains("--shard")) << bad.err.toStdString();
    }
}

TEST(ShardOfAPath, EveryPathHasOneShareThatOtherFilesDoNotMove) {
    for (const int count : {1, 2, 4, 7}) {
        for (int i = 0; i < 200; ++i) {
            const QString file = QStringLiteral("shaders/f%1.frag").arg(i);
            int shares = 0;
            for (int k = 1; k <= count; ++k) {
                shares += inShard(file, k, count) ? 1 : 0;
            }
            EXPECT_EQ(shares, 1) << file.toStdString();
        }
    }
    // Spread: no share of four is empty or holds most of 200 files.
    for (int k = 1; k <= 4; ++k) {
        int held = 0;
        for (int i = 0; i < 200; ++i) {
            held += inShard(QStringLiteral("shaders/f%1.frag").arg(i), k, 4) ? 1 : 0;
        }
        EXPECT_GT(held, 20);
        EXPECT_LT(held, 100);
    }
}

}  // namespace
}  // namespace tessory::testing
