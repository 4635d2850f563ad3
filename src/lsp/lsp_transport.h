// SPDX-License-Identifier: MIT
#pragma once

#include <QtJsonRpc/private/qhttpmessagestreamparser_p.h>
#include <QtJsonRpc/private/qjsonrpctransport_p.h>
#include <QtLanguageServer/private/qlanguageserverjsonrpctransport_p.h>

#include <QByteArray>

#include <memory>

namespace tessory {

// The most a message may say it is long: a 16 MB shader whose every character JSON escapes as
// six, and the request around it. A longer one is passed over unread.
inline constexpr qint64 kMaxLspMessageBytes = qint64(100) << 20;

// The Content-Length framing of the language server protocol, on Qt's stream parser and Qt's
// language server transport, with one thing neither does: a message that claims more than
// kMaxLspMessageBytes (or more than the parser can count) is skipped as it arrives instead of
// being gathered, so that a lying header costs no memory. The headers go to the parser a byte at
// a time, which is the only way to know where a body starts; bodies go whole.
class LspTransport : public QJsonRpcTransport {
public:
    LspTransport();
    void receiveData(const QByteArray& data) override;
    void sendMessage(const QJsonDocument& packet) override;

private:
    void newParser();
    void warn(DiagnosticLevel level, const QString& text);

    std::unique_ptr<QHttpMessageStreamParser> parser_;
    QLanguageServerJsonRpcTransport sender_;
    qint64 announced_ = -1;  // the Content-Length of the message being read
    qint64 bodyRead_ = 0;
    qint64 skipping_ = 0;  // bytes of a message too long to read that are still to come
    bool tooLong_ = false;
    QString lastWarning_;
};

}  // namespace tessory
