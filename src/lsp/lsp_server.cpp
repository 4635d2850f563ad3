// SPDX-License-Identifier: MIT
#include "lsp/lsp_server.h"

#include "lsp/lsp_diagnostics.h"
#include "workspace/file_replace.h"
#include "workspace/shader_file.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QSocketNotifier>

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tessory {
namespace {

// The error codes of the protocol beyond JSON-RPC's own.
constexpr int kServerNotInitialized = -32002;
constexpr int kInvalidRequest = -32600;
constexpr int kInvalidParams = -32602;

// window/logMessage types.
constexpr int kLogError = 1;
constexpr int kLogWarning = 2;

// Hands every request and notification to the server, whatever its method.
class Dispatch : public QJsonRpcProtocol::MessageHandler {
public:
    using Answer =
        std::function<QJsonValue(const QString&, const QJsonValue&, QJsonRpcProtocol::Response&)>;
    using Notified = std::function<void(const QString&, const QJsonValue&)>;
    Dispatch(Answer answer, Notified notified)
        : answer_(std::move(answer)), notified_(std::move(notified)) {}

    void handleRequest(const QJsonRpcProtocol::Request& request,
                       const ResponseHandler& handler) override {
        QJsonRpcProtocol::Response failed;
        const QJsonValue value = answer_(request.method, request.params, failed);
        handler(failed.errorCode.isDouble() ? failed : result(value));
    }
    void handleNotification(const QJsonRpcProtocol::Notification& notification) override {
        notified_(notification.method, notification.params);
    }

private:
    Answer answer_;
    Notified notified_;
};

glsl::TextPosition textPosition(const QJsonValue& params) {
    const QJsonObject at = params[QStringLiteral("position")].toObject();
    return {std::max(0, at[QStringLiteral("line")].toInt()),
            std::max(0, at[QStringLiteral("character")].toInt())};
}

}  // namespace

LanguageServer::LanguageServer(const CheckOptions& options,
                               std::function<void(const QByteArray&)> sender)
    : options_(options), language_(documents_, options.target, options.includeDirs) {
    transport_.setDataHandler(std::move(sender));
    transport_.setDiagnosticHandler(
        [this](QJsonRpcTransport::DiagnosticLevel level, const QString& text) {
            log(level == QJsonRpcTransport::Error ? kLogError : kLogWarning, text);
        });
    protocol_.setTransport(&transport_);
    // The protocol owns its handlers.
    protocol_.setDefaultMessageHandler(new Dispatch(
        [this](const QString& method, const QJsonValue& params, Response& error) {
            return answer(method, params, error);
        },
        [this](const QString& method, const QJsonValue& params) { notified(method, params); }));
}

void LanguageServer::receive(const QByteArray& bytes) {
    transport_.receiveData(bytes);
}

void LanguageServer::log(int type, const QString& text) {
    protocol_.sendNotification(
        {QStringLiteral("window/logMessage"),
         QJsonObject{{QStringLiteral("type"), type}, {QStringLiteral("message"), text}}});
}

QJsonValue LanguageServer::initialize(const QJsonValue& params) {
    QStringList folders;
    for (const QJsonValue& folder : params[QStringLiteral("workspaceFolders")].toArray()) {
        folders.append(folder[QStringLiteral("uri")].toString());
    }
    if (folders.isEmpty() && params[QStringLiteral("rootUri")].isString()) {
        folders.append(params[QStringLiteral("rootUri")].toString());
    }
    documents_.setFolders(folders);
    initialized_ = true;
    const QJsonObject capabilities{
        {QStringLiteral("textDocumentSync"),
         QJsonObject{
             {QStringLiteral("openClose"), true},
             {QStringLiteral("change"), 1},  // the whole text each time
             {QStringLiteral("save"), QJsonObject{{QStringLiteral("includeText"), false}}}}},
        {QStringLiteral("completionProvider"),
         QJsonObject{{QStringLiteral("triggerCharacters"), QJsonArray{QStringLiteral(".")}}}},
        {QStringLiteral("hoverProvider"), true},
        {QStringLiteral("signatureHelpProvider"),
         QJsonObject{{QStringLiteral("triggerCharacters"),
                      QJsonArray{QStringLiteral("("), QStringLiteral(",")}}}},
        {QStringLiteral("definitionProvider"), true},
        {QStringLiteral("documentSymbolProvider"), true},
    };
    return QJsonObject{
        {QStringLiteral("capabilities"), capabilities},
        {QStringLiteral("serverInfo"),
         QJsonObject{{QStringLiteral("name"), QStringLiteral("glsl-tessory-check")},
                     {QStringLiteral("version"), QStringLiteral(TESSORY_VERSION)}}},
    };
}

std::optional<QString> LanguageServer::documentPath(const QJsonValue& params) {
    const QJsonValue uri = params[QStringLiteral("textDocument")][QStringLiteral("uri")];
    QString why = QStringLiteral("the message names no textDocument.uri");
    if (uri.isString()) {
        if (auto path = documents_.pathOf(uri.toString(), why)) {
            return path;
        }
    }
    log(kLogWarning, why);
    return std::nullopt;
}

QJsonValue LanguageServer::answer(const QString& method, const QJsonValue& params,
                                  Response& error) {
    if (method == u"initialize") {
        if (initialized_) {
            error = Dispatch::error(kInvalidRequest, QStringLiteral("initialized already"));
            return {};
        }
        return initialize(params);
    }
    if (!initialized_) {
        error = Dispatch::error(kServerNotInitialized,
                                QStringLiteral("the server is not initialized yet"));
        return {};
    }
    if (shutDown_) {
        error = Dispatch::error(kInvalidRequest, QStringLiteral("the server is shut down"));
        return {};
    }
    if (method == u"shutdown") {
        shutDown_ = true;
        return QJsonValue::Null;
    }
    using Query = QJsonValue (LspLanguage::*)(const QString&, glsl::TextPosition);
    const std::pair<QStringView, Query> queries[] = {
        {u"textDocument/completion", &LspLanguage::completion},
        {u"textDocument/hover", &LspLanguage::hover},
        {u"textDocument/signatureHelp", &LspLanguage::signatureHelp},
        {u"textDocument/definition", &LspLanguage::definition},
    };
    for (const auto& [name, query] : queries) {
        if (method == name) {
            const std::optional<QString> path = documentPath(params);
            if (!path) {
                error = Dispatch::error(kInvalidParams, QStringLiteral("no such document"));
                return {};
            }
            return (language_.*query)(*path, textPosition(params));
        }
    }
    if (method == u"textDocument/documentSymbol") {
        const std::optional<QString> path = documentPath(params);
        return path ? language_.documentSymbols(*path) : QJsonValue(QJsonValue::Null);
    }
    error = Dispatch::error(QJsonRpcProtocol::ErrorCode::MethodNotFound);
    error.errorMessage = QStringLiteral("no such method: %1").arg(method);
    return {};
}

void LanguageServer::notified(const QString& method, const QJsonValue& params) {
    if (method == u"exit") {
        if (exit_) {
            exit_(shutDown_ ? 0 : 1);
        }
        return;
    }
    if (!initialized_ || shutDown_) {
        return;
    }
    const bool opened = method == u"textDocument/didOpen";
    const bool changed = method == u"textDocument/didChange";
    if (!opened && !changed && method != u"textDocument/didSave" &&
        method != u"textDocument/didClose") {
        return;
    }
    const std::optional<QString> path = documentPath(params);
    if (!path) {
        return;
    }
    const QJsonObject document = params[QStringLiteral("textDocument")].toObject();
    if (method == u"textDocument/didClose") {
        documents_.close(*path);
        delete pending_.take(*path);
        protocol_.sendNotification({QStringLiteral("textDocument/publishDiagnostics"),
                                    QJsonObject{{QStringLiteral("uri"), LspDocuments::uriOf(*path)},
                                                {QStringLiteral("diagnostics"), QJsonArray()}}});
        return;
    }
    if (opened || changed) {
        const QJsonArray changes = params[QStringLiteral("contentChanges")].toArray();
        // Full synchronisation: the last change holds the whole text.
        const QJsonValue text = opened              ? document[QStringLiteral("text")]
                                : changes.isEmpty() ? QJsonValue()
                                                    : changes.last()[QStringLiteral("text")];
        if (!text.isString()) {
            log(kLogWarning, QStringLiteral("%1: no text given").arg(*path));
            return;
        }
        const int version = document[QStringLiteral("version")].toInt();
        documents_.put(*path, text.toString(), version);
        if (text.toString().size() > kMaxShaderFileSize) {
            log(kLogWarning, QStringLiteral("%1 is longer than %2 MB; it is not checked")
                                 .arg(*path)
                                 .arg(kMaxShaderFileSize >> 20));
            return;
        }
    }
    scheduleDiagnostics(*path, opened ? 0 : kDiagnosticsDelayMs);
}

void LanguageServer::scheduleDiagnostics(const QString& path, int delayMs) {
    QTimer*& timer = pending_[path];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, path] { publishDiagnostics(path); });
    }
    timer->start(delayMs);
}

void LanguageServer::publishDiagnostics(const QString& path) {
    for (const FileDiagnostics& file : checkDocument(path, documents_, options_)) {
        QJsonObject params{{QStringLiteral("uri"), LspDocuments::uriOf(file.path)},
                           {QStringLiteral("diagnostics"), file.diagnostics}};
        if (documents_.isOpen(file.path)) {
            params.insert(QStringLiteral("version"), documents_.version(file.path));
        }
        protocol_.sendNotification({QStringLiteral("textDocument/publishDiagnostics"), params});
    }
}

int runLanguageServer(const CheckOptions& options) {
    // A client that goes away mid-answer ends the server through the failed write, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    int status = 1;
    LanguageServer server(options, [&status](const QByteArray& bytes) {
        if (!writeAll(STDOUT_FILENO, bytes)) {
            QCoreApplication::exit(status);
        }
    });
    server.onExit([&status](int code) {
        status = code;
        QCoreApplication::exit(code);
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[65536];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            return;
        }
        if (got <= 0) {
            // The client's end is closed: nothing more can come.
            input.setEnabled(false);
            QCoreApplication::exit(status);
            return;
        }
        server.receive(QByteArray(buffer, got));
    });
    return QCoreApplication::exec();
}

}  // namespace tessory
