// SPDX-License-Identifier: MIT
#include "lsp/lsp_transport.h"

#include <QJsonParseError>

#include <algorithm>

namespace tessory {

using State = QHttpMessageStreamParser::State;

LspTransport::LspTransport() {
    newParser();
}

void LspTransport::newParser() {
    parser_ = std::make_unique<QHttpMessageStreamParser>(
        [this](const QByteArray& field, const QByteArray& value) {
            if (field.compare("Content-Length", Qt::CaseInsensitive) != 0) {
                return;
            }
            bool ok = false;
            announced_ = value.trimmed().toLongLong(&ok);
            bodyRead_ = 0;
            tooLong_ = ok && announced_ > kMaxLspMessageBytes;
        },
        [this](const QByteArray& body) {
            // The parser hands over an empty body for a length it cannot count; that message
            // is being skipped.
            if (tooLong_) {
                return;
            }
            announced_ = -1;
            lastWarning_.clear();
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(body, &error);
            if (const MessageHandler& handler = messageHandler()) {
                handler(document, error);
            }
        },
        [this](QtMsgType type, const QString& text) {
            warn(type == QtWarningMsg ? Warning : Error, text);
        });
}

void LspTransport::warn(DiagnosticLevel level, const QString& text) {
    // Garbage between messages is complained about a byte at a time; once is enough.
    if (text == lastWarning_) {
        return;
    }
    lastWarning_ = text;
    if (const DiagnosticHandler& handler = diagnosticHandler()) {
        handler(level, text);
    }
}

void LspTransport::receiveData(const QByteArray& data) {
    qsizetype at = 0;
    while (at < data.size()) {
        if (skipping_ > 0) {
            const qsizetype n = qsizetype(std::min<qint64>(skipping_, data.size() - at));
            skipping_ -= n;
            at += n;
            continue;
        }
        if (parser_->state() == State::InBody && announced_ >= 0) {
            const qsizetype n =
                qsizetype(std::min<qint64>(announced_ - bodyRead_, data.size() - at));
            bodyRead_ += n;
            parser_->receiveData(data.mid(at, std::max<qsizetype>(n, 1)));
            at += std::max<qsizetype>(n, 1);
            continue;
        }
        parser_->receiveData(data.mid(at, 1));
        ++at;
        if (tooLong_ &&
            (parser_->state() == State::InBody || parser_->state() == State::PreHeader)) {
            warn(Error, QStringLiteral("a message of %1 bytes is longer than the %2 MB a message "
                                       "may be; it is skipped unread")
                            .arg(announced_)
                            .arg(kMaxLspMessageBytes >> 20));
            skipping_ = announced_;
            tooLong_ = false;
            announced_ = -1;
            newParser();
        }
    }
}

void LspTransport::sendMessage(const QJsonDocument& packet) {
    sender_.setDataHandler(dataHandler());
    sender_.sendMessage(packet);
}

}  // namespace tessory
