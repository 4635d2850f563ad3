// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessory {

// The folders the client opened and the documents it has open in them. The server reads no
// file outside the folders: a document elsewhere, or one that is no file: URI, is refused.
class LspDocuments {
public:
    // The folders, as file: URIs; none given means the working directory.
    void setFolders(const QStringList& folderUris);
    const QStringList& folders() const { return folders_; }

    // The absolute, cleaned path of a file: URI inside a folder; nothing with `why` otherwise.
    std::optional<QString> pathOf(const QString& uri, QString& why) const;
    // Whether the path lies inside one of the folders.
    bool inFolders(const QString& path) const;
    static QString uriOf(const QString& path);

    // An opened document, or its whole new text.
    void put(const QString& path, const QString& text, int version);
    void close(const QString& path);

    bool isOpen(const QString& path) const { return texts_.contains(path); }
    QString text(const QString& path) const { return texts_.value(path).text; }
    int version(const QString& path) const { return texts_.value(path).version; }
    QStringList openPaths() const { return texts_.keys(); }

    // A file's bytes as the compiler is to see them: the open document's text in Windows-1252, or
    // the file itself; nothing when it cannot be read or lies outside the folders.
    std::optional<QByteArray> bytes(const QString& path) const;
    // The same as text.
    std::optional<QString> textOf(const QString& path) const;

private:
    struct Document {
        QString text;
        int version = 0;
    };
    QStringList folders_;  // absolute, each ending in "/"
    QHash<QString, Document> texts_;
};

}  // namespace tessory
