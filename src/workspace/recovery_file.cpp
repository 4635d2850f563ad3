// SPDX-License-Identifier: MIT
#include "workspace/recovery_file.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

#include <array>

namespace tessory {
namespace {

constexpr QByteArrayView kMagic = "GLSL Tessory recovery ";
constexpr int kVersion = 1;

constexpr std::array<std::pair<LineEnd, QLatin1StringView>, 3> kLineEndNames{{
    {LineEnd::Lf, QLatin1StringView("LF")},
    {LineEnd::CrLf, QLatin1StringView("CRLF")},
    {LineEnd::Cr, QLatin1StringView("CR")},
}};

QByteArray sha256Hex(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

[[noreturn]] void damaged(const QString& file, const QString& what) {
    throw FileError(file, what);
}

}  // namespace

QByteArray encodeRecovery(const RecoveryRecord& record, const QString& file) {
    const QString& text = record.text.text;
    if (qint64(text.size()) * 2 > kMaxRecoveryTextBytes) {
        throw FileError(file, QStringLiteral("The text is %1 million characters long; recovery "
                                             "keeps texts of up to %2 million.")
                                  .arg(double(text.size()) / 1e6, 0, 'f', 1)
                                  .arg(kMaxRecoveryTextBytes / 2000000));
    }
    QByteArray body(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<quint16>(text.utf16(), text.size(), body.data());
    QString lineEnd;
    for (const auto& [kind, name] : kLineEndNames) {
        if (kind == record.text.lineEnd) {
            lineEnd = name;
        }
    }
    const QJsonObject header{
        {QStringLiteral("path"), record.path},
        {QStringLiteral("base"), record.base.toJson()},
        {QStringLiteral("lineEnd"), lineEnd},
        {QStringLiteral("pid"), record.ownerPid},
        {QStringLiteral("saved"), record.saved.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("textBytes"), body.size()},
        {QStringLiteral("textSha256"), QString::fromLatin1(sha256Hex(body))},
    };
    return kMagic.toByteArray() + QByteArray::number(kVersion) + '\n' +
           QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + body;
}

RecoveryRecord decodeRecovery(QByteArrayView bytes, const QString& file) {
    if (bytes.isEmpty()) {
        damaged(file, QStringLiteral("Is empty, not a recovery file."));
    }
    const qsizetype firstEnd = bytes.indexOf('\n');
    if (!bytes.startsWith(kMagic) || firstEnd < 0 || firstEnd > kMagic.size() + 10) {
        damaged(file, QStringLiteral("Is not a recovery file."));
    }
    bool versionOk = false;
    const int version = bytes.sliced(kMagic.size(), firstEnd - kMagic.size()).toInt(&versionOk);
    if (!versionOk || version != kVersion) {
        damaged(file,
                QStringLiteral("Is a recovery file of another version (%1); this program "
                               "reads version %2.")
                    .arg(QString::fromLatin1(bytes.sliced(kMagic.size(), firstEnd - kMagic.size())))
                    .arg(kVersion));
    }
    const qsizetype headerEnd = bytes.indexOf('\n', firstEnd + 1);
    if (headerEnd < 0 || headerEnd - firstEnd > kMaxRecoveryHeaderBytes) {
        damaged(file, QStringLiteral("Is cut short or damaged: its header has no end."));
    }
    QJsonParseError error;
    const QJsonObject header =
        QJsonDocument::fromJson(bytes.sliced(firstEnd + 1, headerEnd - firstEnd - 1).toByteArray(),
                                &error)
            .object();
    if (error.error != QJsonParseError::NoError) {
        damaged(file, QStringLiteral("Has a damaged header: %1.").arg(error.errorString()));
    }

    RecoveryRecord record;
    record.path = header.value(u"path").toString();
    record.ownerPid = header.value(u"pid").toInteger(-1);
    record.saved = QDateTime::fromString(header.value(u"saved").toString(), Qt::ISODateWithMs);
    const std::optional<FileStamp> base = FileStamp::fromJson(header.value(u"base").toObject());
    const QString lineEnd = header.value(u"lineEnd").toString();
    bool lineEndOk = false;
    for (const auto& [kind, name] : kLineEndNames) {
        if (lineEnd == name) {
            record.text.lineEnd = kind;
            lineEndOk = true;
        }
    }
    const qint64 textBytes = header.value(u"textBytes").toInteger(-1);
    if (record.path.isEmpty() || record.ownerPid < 0 || !record.saved.isValid() || !base ||
        !lineEndOk || textBytes < 0 || textBytes % 2 != 0 || textBytes > kMaxRecoveryTextBytes) {
        damaged(file, QStringLiteral("Has a damaged header."));
    }
    record.base = *base;

    const QByteArrayView body = bytes.sliced(headerEnd + 1);
    if (body.size() != textBytes) {
        damaged(file, QStringLiteral("Is cut short or damaged: %1 bytes of text where the header "
                                     "says %2.")
                          .arg(body.size())
                          .arg(textBytes));
    }
    if (sha256Hex(body) != header.value(u"textSha256").toString().toLatin1()) {
        damaged(file, QStringLiteral("Has a damaged text: its checksum does not match."));
    }
    record.text.text.resize(body.size() / 2);
    qFromLittleEndian<quint16>(body.data(), body.size() / 2, record.text.text.data());
    return record;
}

}  // namespace tessory
