// SPDX-License-Identifier: MIT
// Bytes on the language server's standard input, however they are cut into reads: every message
// comes out whole, the same ones whatever the cuts, and none is longer than what came in.
#include "lsp/lsp_transport.h"

#include "fuzz_check.h"

#include <QJsonDocument>
#include <QList>

#include <cstdint>

using namespace tessory;

namespace {

QList<QByteArray> messagesOf(const QByteArray& input, qsizetype cut) {
    QList<QByteArray> messages;
    LspTransport transport;
    transport.setMessageHandler([&](const QJsonDocument& document, const QJsonParseError&) {
        messages.append(document.toJson(QJsonDocument::Compact));
    });
    transport.setDiagnosticHandler([](QJsonRpcTransport::DiagnosticLevel, const QString&) {});
    for (qsizetype at = 0; at < input.size(); at += cut) {
        transport.receiveData(input.mid(at, cut));
    }
    return messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QList<QByteArray> whole = messagesOf(input, std::max<qsizetype>(1, input.size()));
    const QList<QByteArray> cut = messagesOf(input, 1 + data[0] % 17);
    FUZZ_CHECK(whole == cut);
    for (const QByteArray& message : whole) {
        FUZZ_CHECK(message.size() <= 2 * input.size() + 16);
    }
    return 0;
}
