// SPDX-License-Identifier: MIT
#pragma once

#include "check/check_options.h"
#include "lsp/lsp_documents.h"
#include "lsp/lsp_language.h"
#include "lsp/lsp_transport.h"

#include <QtJsonRpc/private/qjsonrpcprotocol_p.h>

#include <QHash>
#include <QJsonValue>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace tessory {

// How long the diagnostics of a document wait after a change: typing on would make every
// compile of the meantime wasted work.
inline constexpr int kDiagnosticsDelayMs = 300;

// The language server of glsl-tessory-check --lsp: JSON-RPC over the transport, the documents,
// the editor's language queries and the driver's diagnostics. Bytes come in through receive();
// what it says goes to the sender.
class LanguageServer : public QObject {
public:
    LanguageServer(const CheckOptions& options, std::function<void(const QByteArray&)> sender);

    void receive(const QByteArray& bytes);
    // Told once the client asks the server to exit: 0 after a shutdown request, 1 before one.
    void onExit(std::function<void(int status)> exit) { exit_ = std::move(exit); }

private:
    using Response = QJsonRpcProtocol::Response;
    QJsonValue answer(const QString& method, const QJsonValue& params, Response& error);
    void notified(const QString& method, const QJsonValue& params);
    QJsonValue initialize(const QJsonValue& params);
    // The document's path, or nothing after logging why it is refused.
    std::optional<QString> documentPath(const QJsonValue& params);
    void scheduleDiagnostics(const QString& path, int delayMs);
    void publishDiagnostics(const QString& path);
    void log(int type, const QString& text);

    CheckOptions options_;
    LspTransport transport_;
    QJsonRpcProtocol protocol_;
    LspDocuments documents_;
    LspLanguage language_;
    QHash<QString, QTimer*> pending_;
    bool initialized_ = false;
    bool shutDown_ = false;
    std::function<void(int)> exit_;
};

// Serves standard input and output until the client says exit or closes its end; the exit
// status.
int runLanguageServer(const CheckOptions& options);

}  // namespace tessory
