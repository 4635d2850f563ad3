// SPDX-License-Identifier: MIT
#include "lsp/lsp_documents.h"

#include "texts/win1252.h"
#include "workspace/file_io.h"
#include "workspace/shader_file.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace tessory {

void LspDocuments::setFolders(const QStringList& folderUris) {
    folders_.clear();
    for (const QString& uri : folderUris) {
        const QUrl url(uri);
        if (url.isLocalFile()) {
            const QString path = QDir::cleanPath(url.toLocalFile());
            folders_.append(path.endsWith(u'/') ? path : path + u'/');
        }
    }
    if (folders_.isEmpty()) {
        folders_.append(QDir::cleanPath(QDir::currentPath()) + u'/');
    }
}

bool LspDocuments::inFolders(const QString& path) const {
    for (const QString& folder : folders_) {
        if (path.startsWith(folder) || path + u'/' == folder) {
            return true;
        }
    }
    return false;
}

std::optional<QString> LspDocuments::pathOf(const QString& uri, QString& why) const {
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile() || !url.host().isEmpty()) {
        why = QStringLiteral("%1 is no file: URI of this machine; it is not read").arg(uri);
        return std::nullopt;
    }
    const QString path = QDir::cleanPath(url.toLocalFile());
    if (!QDir::isAbsolutePath(path) || !inFolders(path)) {
        why = QStringLiteral("%1 lies outside the workspace folders; it is not read").arg(path);
        return std::nullopt;
    }
    return path;
}

QString LspDocuments::uriOf(const QString& path) {
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

void LspDocuments::put(const QString& path, const QString& text, int version) {
    texts_.insert(path, Document{text, version});
}

void LspDocuments::close(const QString& path) {
    texts_.remove(path);
}

std::optional<QByteArray> LspDocuments::bytes(const QString& path) const {
    if (const auto it = texts_.constFind(path); it != texts_.constEnd()) {
        return toWin1252Lossy(it->text);
    }
    if (!inFolders(path) || !QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    try {
        return readShaderFile(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

std::optional<QString> LspDocuments::textOf(const QString& path) const {
    if (const auto it = texts_.constFind(path); it != texts_.constEnd()) {
        return it->text;
    }
    const std::optional<QByteArray> read = bytes(path);
    return read ? std::optional<QString>(fromWin1252(*read)) : std::nullopt;
}

}  // namespace tessory
