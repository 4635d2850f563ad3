// SPDX-License-Identifier: MIT
// The SARIF and GitHub reports, --severity and --quiet.
#include "checker_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using tessory::testing::CheckerProcess;
using tessory::testing::CheckerRun;

namespace {

const QByteArray kVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
const QByteArray kVertexError = "void main()\n{\n    gl_Position = vec4(missingV);\n}\n";
const QByteArray kVertexWarning =
    "#extension GL_tessory_nothing : warn\nvoid main()\n{\n    gl_Position = ftransform();\n}\n";

class CheckFormats : public CheckerProcess {
protected:
    // A pair with an error, a link message, a lone file and a file whose name needs escaping.
    void fill() const {
        put("ws/bad.vert", kVertexError);
        put("ws/bad.frag", kFragment);
        put("ws/lone.frag", kFragment);
        put("ws/a,b:c.comp", "#version 430\nlayout(local_size_x = 1) in;\nvoid main() { x; }\n");
    }
};

// The members the SARIF 2.1.0 schema requires, and those code scanning reads.
TEST_F(CheckFormats, SarifHasTheSchemasRequiredMembers) {
    fill();
    const CheckerRun r = run({"--format=sarif", path("ws")});  // an absolute path
    EXPECT_EQ(r.exitCode, 1);
    QJsonParseError error;
    const QJsonObject log = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(log["version"].toString(), "2.1.0");
    EXPECT_TRUE(log["$schema"].toString().contains("sarif-2.1.0"));
    ASSERT_EQ(log["runs"].toArray().size(), 1);
    const QJsonObject runObject = log["runs"][0].toObject();
    const QJsonObject driver = runObject["tool"]["driver"].toObject();
    EXPECT_EQ(driver["name"].toString(), "glsl-tessory-check");
    EXPECT_FALSE(driver["version"].toString().isEmpty());
    QStringList ruleIds;
    for (const QJsonValue& rule : driver["rules"].toArray()) {
        ruleIds.append(rule["id"].toString());
        EXPECT_FALSE(rule["shortDescription"]["text"].toString().isEmpty());
    }
    EXPECT_EQ(ruleIds,
              (QStringList{"compile", "link", "workspace", "file", "timeout", "include", "spirv"}));

    QStringList described;
    for (const QJsonValue& value : runObject["results"].toArray()) {
        const QJsonObject result = value.toObject();
        EXPECT_FALSE(result["message"]["text"].toString().isEmpty());
        EXPECT_EQ(ruleIds.at(result["ruleIndex"].toInt()), result["ruleId"].toString());
        EXPECT_TRUE(result["level"] == "error" || result["level"] == "warning");
        const QJsonObject location = result["locations"][0]["physicalLocation"].toObject();
        EXPECT_EQ(location["artifactLocation"]["uriBaseId"].toString(), "%SRCROOT%");
        QString line =
            result["ruleId"].toString() + u' ' + location["artifactLocation"]["uri"].toString();
        if (location.contains("region")) {
            EXPECT_GE(location["region"]["startLine"].toInt(), 1);
            line += QStringLiteral(" %1:%2")
                        .arg(location["region"]["startLine"].toInt())
                        .arg(location["region"]["startColumn"].toInt());
        }
        described.append(line);
    }
    EXPECT_EQ(described, (QStringList{"workspace ws/lone.frag", "compile ws/bad.vert 3:24",
                                      "compile ws/bad.vert 3:19", "link ws/bad.vert",
                                      "compile ws/a%2Cb%3Ac.comp 3:15"}));
    EXPECT_TRUE(
        runObject["originalUriBaseIds"]["%SRCROOT%"]["uri"].toString().startsWith("file:///"));
}

TEST_F(CheckFormats, GithubAnnotationsOneAMessageThenTheSummary) {
    fill();
    const CheckerRun r = run({"--format=github", "ws"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.outLines(),
        (QStringList{
            "::error file=ws/lone.frag::Vertex-/ Fragment Shader Pair not found: no file lone.vert "
            "beside it",
            "::error file=ws/bad.vert,line=3,col=24::`missingV' undeclared",
            "::error file=ws/bad.vert,line=3,col=19::cannot construct `vec4' from a non-numeric "
            "data type",
            "::error file=ws/bad.vert::linking with uncompiled/unspecialized shader",
            "::error file=ws/a%2Cb%3Ac.comp,line=3,col=15::`x' undeclared",
            "pairs checked: 1, pairs with messages: 1, files checked: 2, files with messages: 1, "
            "WorkSpace problems: 1"}));
    EXPECT_EQ(run({"--format=github", "--quiet", "ws"}).outLines().size(), 5);
}

TEST_F(CheckFormats, SeverityErrorLetsWarningsPassButPrintsThem) {
    put("ws/warn.vert", kVertexWarning);
    put("ws/warn.frag", kFragment);
    const char* warning =
        "::warning file=ws/warn.vert,line=1,col=12::extension `GL_tessory_nothing' unsupported in "
        "vertex shader";
    const CheckerRun strict = run({"--format=github", "ws"});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.outLines().first(), warning);
    const CheckerRun lenient = run({"--format=github", "--severity=error", "ws"});
    EXPECT_EQ(lenient.exitCode, 0);
    EXPECT_EQ(lenient.outLines().first(), warning);
    // Problems of the WorkSpace are errors whatever the severity.
    put("ws/lone.vert", kVertex);
    EXPECT_EQ(run({"--severity=error", "ws"}).exitCode, 1);
}

TEST_F(CheckFormats, QuietPrintsOnlyTheMessages) {
    put("ws/a.vert", kVertex);
    put("ws/a.frag", kFragment);
    const CheckerRun clean = run({"--quiet", "ws"});
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_EQ(clean.out, QString());
    put("ws/b.vert", kVertexError);
    put("ws/b.frag", kFragment);
    const CheckerRun found = run({"-q", "ws"});
    EXPECT_EQ(found.exitCode, 1);
    EXPECT_EQ(found.outLines().size(), 3);
    EXPECT_FALSE(found.out.contains("pairs checked"));
}

}  // namespace
