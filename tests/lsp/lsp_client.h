// SPDX-License-Identifier: MIT
#pragma once

#include <QtLanguageServer/private/qlanguageserverjsonrpctransport_p.h>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace tessory::testing {

// glsl-tessory-check --lsp as a child process, spoken to as an editor would: Qt's transport frames
// what the test sends and splits what the server says.
class LspClient {
public:
    explicit LspClient(const QString& workingDirectory, const QStringList& extra = {}) {
        transport_.setDataHandler([this](const QByteArray& bytes) { process_.write(bytes); });
        transport_.setMessageHandler([this](const QJsonDocument& document, const QJsonParseError&) {
            received_.append(document.object());
        });
        process_.setWorkingDirectory(workingDirectory);
        process_.start(QStringLiteral(TESSORY_CHECK_BINARY), QStringList{"--lsp"} + extra);
        process_.waitForStarted();
    }
    ~LspClient() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    void send(const QJsonObject& message) { transport_.sendMessage(QJsonDocument(message)); }
    void sendRaw(const QByteArray& bytes) { process_.write(bytes); }
    void request(int id, const QString& method, const QJsonObject& params = {}) {
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    }
    void notify(const QString& method, const QJsonObject& params = {}) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }

    // The first message (from those not yet taken) that `wanted` picks, waiting up to the time
    // given; an empty object when none came.
    const QJsonObject take(const std::function<bool(const QJsonObject&)>& wanted, int ms = 30000) {
        const QDeadlineTimer deadline(ms);
        for (;;) {
            for (qsizetype i = 0; i < received_.size(); ++i) {
                if (wanted(received_[i])) {
                    return received_.takeAt(i);
                }
            }
            if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) {
                return {};
            }
            if (process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
                transport_.receiveData(process_.readAllStandardOutput());
            }
        }
    }
    const QJsonObject response(int id, int ms = 30000) {
        return take([id](const QJsonObject& m) { return m["id"] == id && !m.contains("method"); },
                    ms);
    }
    // The next diagnostics published for the file; nothing when none came in time.
    std::optional<QJsonArray> diagnostics(const QString& uri, int ms = 30000) {
        const QJsonObject m = take(
            [&](const QJsonObject& m) {
                return m["method"] == "textDocument/publishDiagnostics" &&
                       m["params"]["uri"] == uri;
            },
            ms);
        if (m.isEmpty()) {
            return std::nullopt;
        }
        return m["params"]["diagnostics"].toArray();
    }
    QList<QJsonObject> logs() {
        QList<QJsonObject> found;
        while (true) {
            const QJsonObject m =
                take([](const QJsonObject& m) { return m["method"] == "window/logMessage"; }, 500);
            if (m.isEmpty()) {
                return found;
            }
            found.append(m);
        }
    }

    void closeInput() { process_.closeWriteChannel(); }
    // The exit status, or -1 when the server did not end in time (or crashed).
    int waitForExit(int ms = 30000) {
        if (!process_.waitForFinished(ms) || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process_.exitCode();
    }

private:
    QProcess process_;
    QLanguageServerJsonRpcTransport transport_;
    QList<QJsonObject> received_;
};

inline std::string text(const QJsonObject& message) {
    return QJsonDocument(message).toJson(QJsonDocument::Compact).toStdString();
}

inline QString fileUri(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

}  // namespace tessory::testing
