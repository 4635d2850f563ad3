// SPDX-License-Identifier: MIT
// The language server as an editor meets it: the real program on the machine's real driver,
// spoken to over its standard input and output.
#include "lsp_client.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessory::testing {
namespace {

const QByteArray kVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
out vec3 normal;
void main() {
    normal = position;
    gl_Position = vec4(position, 1.0);
}
)";

// Line 5, column 31 holds the undeclared name.
const QString kBrokenFragment = QStringLiteral(R"(#version 330 core
in vec3 normal;
out vec4 color;
void main() {
    color = vec4(normal, 1.0) + ripple;
}
)");

const QString kFixedFragment = QStringLiteral(R"(#version 330 core
in vec3 normal;
uniform float ripple;
out vec4 color;
void main() {
    color = vec4(normal, 1.0) + ripple;
    color.a = max(color.a, 0.5);
}
)");

class LspExchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        workspace_ = dir_.path() + QStringLiteral("/shaders");
        QDir().mkpath(workspace_);
        write(QStringLiteral("water.vert"), kVertex);
        write(QStringLiteral("water.frag"), kBrokenFragment.toUtf8());
        client_ = std::make_unique<LspClient>(workspace_);
    }

    void write(const QString& name, const QByteArray& bytes) {
        QFile file(workspace_ + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString uri(const QString& name) const { return fileUri(workspace_ + u'/' + name); }

    void initialize() {
        client_->request(1, "initialize",
                         {{"processId", QJsonValue::Null},
                          {"rootUri", fileUri(workspace_)},
                          {"capabilities", QJsonObject()}});
        const QJsonObject answer = client_->response(1);
        ASSERT_TRUE(answer["result"]["capabilities"]["hoverProvider"].toBool()) << text(answer);
        client_->notify("initialized");
    }
    void open(const QString& name, const QString& text, int version = 1) {
        client_->notify("textDocument/didOpen",
                        {{"textDocument", QJsonObject{{"uri", uri(name)},
                                                      {"languageId", "glsl"},
                                                      {"version", version},
                                                      {"text", text}}}});
    }
    QJsonObject at(const QString& name, int line, int character) const {
        return {{"textDocument", QJsonObject{{"uri", uri(name)}}},
                {"position", QJsonObject{{"line", line}, {"character", character}}}};
    }

    QTemporaryDir dir_;
    QString workspace_;
    std::unique_ptr<LspClient> client_;
};

TEST_F(LspExchange, DiagnosticsOfAPairComeOnTheRightFileAndGoWhenFixed) {
    initialize();
    open(QStringLiteral("water.frag"), kBrokenFragment);
    const std::optional<QJsonArray> broken = client_->diagnostics(uri("water.frag"));
    ASSERT_TRUE(broken);
    ASSERT_FALSE(broken->isEmpty());
    const QJsonObject first = broken->first().toObject();
    EXPECT_EQ(first["severity"].toInt(), 1);
    EXPECT_TRUE(first["message"].toString().contains("ripple")) << text(first);
    EXPECT_EQ(first["range"]["start"]["line"].toInt(), 4);
    EXPECT_EQ(first["range"]["start"]["character"].toInt(), 32);
    // Its partner was compiled and linked with it, and gets diagnostics of its own.
    ASSERT_TRUE(client_->diagnostics(uri("water.vert")));

    client_->notify("textDocument/didChange",
                    {{"textDocument", QJsonObject{{"uri", uri("water.frag")}, {"version", 2}}},
                     {"contentChanges", QJsonArray{QJsonObject{{"text", kFixedFragment}}}}});
    const std::optional<QJsonArray> fixed = client_->diagnostics(uri("water.frag"));
    ASSERT_TRUE(fixed);
    EXPECT_TRUE(fixed->isEmpty()) << QJsonDocument(*fixed).toJson().toStdString();
    const std::optional<QJsonArray> partner = client_->diagnostics(uri("water.vert"));
    ASSERT_TRUE(partner);
    EXPECT_TRUE(partner->isEmpty());
}

TEST_F(LspExchange, ChangesInQuickSuccessionAreCheckedOnce) {
    initialize();
    open(QStringLiteral("water.frag"), kBrokenFragment);
    ASSERT_TRUE(client_->diagnostics(uri("water.frag")));
    for (int version = 2; version <= 6; ++version) {
        client_->notify(
            "textDocument/didChange",
            {{"textDocument", QJsonObject{{"uri", uri("water.frag")}, {"version", version}}},
             {"contentChanges", QJsonArray{QJsonObject{{"text", kFixedFragment}}}}});
    }
    const QJsonObject published = client_->take([&](const QJsonObject& m) {
        return m["method"] == "textDocument/publishDiagnostics" &&
               m["params"]["uri"] == uri("water.frag");
    });
    EXPECT_EQ(published["params"]["version"].toInt(), 6);
    EXPECT_FALSE(client_->diagnostics(uri("water.frag"), 1500));
}

TEST_F(LspExchange, CompletionHoverSignatureDefinitionAndSymbolsAnswer) {
    initialize();
    open(QStringLiteral("water.frag"), kFixedFragment);
    // "    color = vec4(norm" with the caret after "norm".
    client_->request(2, "textDocument/completion", at(QStringLiteral("water.frag"), 5, 21));
    const QJsonArray items = client_->response(2)["result"]["items"].toArray();
    QStringList labels;
    for (const QJsonValue& item : items) {
        labels << item["label"].toString();
    }
    EXPECT_TRUE(labels.contains("normal")) << labels.join(' ').toStdString();
    EXPECT_TRUE(labels.value(0).startsWith("norm"));

    client_->request(3, "textDocument/hover", at(QStringLiteral("water.frag"), 5, 34));
    const QJsonObject hover = client_->response(3)["result"].toObject();
    EXPECT_TRUE(hover["contents"]["value"].toString().contains("ripple")) << text(hover);

    client_->request(4, "textDocument/signatureHelp", at(QStringLiteral("water.frag"), 6, 18));
    const QJsonObject help = client_->response(4)["result"].toObject();
    ASSERT_FALSE(help["signatures"].toArray().isEmpty()) << text(help);
    EXPECT_TRUE(help["signatures"][0]["label"].toString().contains("max("));
    EXPECT_EQ(help["activeParameter"].toInt(), 0);

    client_->request(5, "textDocument/definition", at(QStringLiteral("water.frag"), 5, 34));
    const QJsonObject definition = client_->response(5)["result"].toObject();
    EXPECT_EQ(definition["uri"].toString(), uri("water.frag"));
    EXPECT_EQ(definition["range"]["start"]["line"].toInt(), 2);

    client_->request(6, "textDocument/documentSymbol",
                     {{"textDocument", QJsonObject{{"uri", uri("water.frag")}}}});
    QStringList names;
    for (const QJsonValue& symbol : client_->response(6)["result"].toArray()) {
        names << symbol["name"].toString();
    }
    EXPECT_EQ(names, (QStringList{"normal", "ripple", "color", "main"}));

    client_->request(7, "shutdown");
    EXPECT_TRUE(client_->response(7).contains("result"));
    client_->notify("exit");
    EXPECT_EQ(client_->waitForExit(), 0);
}

TEST_F(LspExchange, RequestsOutOfTurnAndUnknownMethodsGetErrors) {
    client_->request(1, "textDocument/hover", at(QStringLiteral("water.frag"), 0, 0));
    EXPECT_EQ(client_->response(1)["error"]["code"].toInt(), -32002);
    initialize();
    client_->request(2, "textDocument/frobnicate");
    EXPECT_EQ(client_->response(2)["error"]["code"].toInt(), -32601);
    client_->request(3, "shutdown");
    client_->response(3);
    client_->request(4, "textDocument/hover", at(QStringLiteral("water.frag"), 0, 0));
    EXPECT_EQ(client_->response(4)["error"]["code"].toInt(), -32600);
}

TEST_F(LspExchange, BrokenFramingIsAnsweredAndTheServerGoesOn) {
    initialize();
    client_->sendRaw("Content-Length: 9\r\n\r\nnot json!");
    EXPECT_FALSE(
        client_->take([](const QJsonObject& m) { return m["error"]["code"].toInt() == -32700; })
            .isEmpty());
    // Far too long, and beyond what a 32-bit length holds: skipped as it comes, never gathered.
    client_->sendRaw("Content-Length: 2147483648\r\n\r\n");
    client_->sendRaw(QByteArray(1 << 20, ' '));
    EXPECT_FALSE(client_->logs().isEmpty());
    client_->closeInput();
    EXPECT_EQ(client_->waitForExit(), 1);
}

TEST_F(LspExchange, AShortLengthAndANegativeOneCostOnlyTheirMessages) {
    initialize();
    client_->sendRaw(
        "Content-Length: 3\r\n\r\n{\"jsonrpc\":\"2.0\",\"id\":8,\"method\":\"shutdown\"}");
    client_->sendRaw("Content-Length: -5\r\n\r\n");
    EXPECT_FALSE(client_->logs().isEmpty());
    client_->closeInput();
    EXPECT_EQ(client_->waitForExit(), 1);
}

TEST_F(LspExchange, DocumentsOutsideTheFoldersOrNotFilesAreNotRead) {
    initialize();
    const QString outside = dir_.path() + QStringLiteral("/secret.frag");
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kBrokenFragment.toUtf8());
    file.close();
    for (const QString& uri : {fileUri(outside), QStringLiteral("https://example.org/a.frag"),
                               fileUri(workspace_ + QStringLiteral("/../secret.frag")),
                               QStringLiteral("not a uri at all")}) {
        client_->notify("textDocument/didOpen",
                        {{"textDocument", QJsonObject{{"uri", uri},
                                                      {"languageId", "glsl"},
                                                      {"version", 1},
                                                      {"text", kBrokenFragment}}}});
        EXPECT_FALSE(client_->logs().isEmpty()) << uri.toStdString();
    }
    EXPECT_FALSE(client_->diagnostics(fileUri(outside), 1500));
}

TEST_F(LspExchange, ASixteenMegabyteDocumentIsTakenAndTheServerStaysResponsive) {
    initialize();
    QString text =
        QStringLiteral("#version 330 core\nout vec4 color;\nvoid main() { color = vec4(1.0); }\n");
    text += QString(16 * 1024 * 1024 - text.size() - 1, u' ') + u'\n';
    open(QStringLiteral("big.frag"), text);
    client_->request(2, "textDocument/documentSymbol",
                     {{"textDocument", QJsonObject{{"uri", uri("big.frag")}}}});
    EXPECT_FALSE(client_->response(2, 60000)["result"].toArray().isEmpty());
}

}  // namespace
}  // namespace tessory::testing
