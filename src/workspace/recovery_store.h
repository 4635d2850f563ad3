// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/recovery_file.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace tessory {

class OwnerLock;

// The file on disk now, against the one a recovered text was edited from.
enum class DiskState { Unchanged, Changed, Gone };

// A text that an editor which is no longer running left unsaved.
struct RecoveryEntry {
    QString path;  // the shader file, spelt as it was asked for
    ShaderText text;
    DiskState disk = DiskState::Unchanged;
    QDateTime saved;
    qint64 ownerPid = 0;
    QString recoveryFile;  // where the text is kept, for take and discard
};

struct RecoveryScan {
    QList<RecoveryEntry> entries;  // the newest first
    // What in the recovery folder is not a recovery file, or one that cannot be read, each a
    // FileError message; a store tells each file once.
    QStringList problems;
};

// The folder of the user's state where the editor keeps unsaved texts: Qt 6.4 has no state
// location, so this is the one later versions name ($XDG_STATE_HOME), under the organisation
// and application names, in Qt's test folder when its test mode is on.
QString defaultRecoveryFolder();

// The recovery files of every editor of this user, in one folder. Each store is one owner: its
// files lie in a session folder of its own, beside a lock that it holds (OwnerLock) while the
// folder has files. So the files of a live editor are never touched by another, and those of an
// editor that died are free for the next: a store that finds them claims their lock, offers them
// and, when each is taken or discarded, removes what is left. Files are named after a hash of
// the shader's canonical path, so that pairs of one name in two WorkSpaces never meet.
//
// Every member may be called from any thread; a writer calls write and remove on its own.
class RecoveryStore {
public:
    explicit RecoveryStore(const QString& folder = defaultRecoveryFolder());
    // The own files stay, as after a crash: a store never told to remove them offers them to the
    // next editor.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const QString& folder() const { return folder_; }

    // Keeps the record as this owner's text for its file, replacing the one before. Throws
    // FileError when the folder cannot be made or the file not written.
    void write(const RecoveryRecord& record);
    // Forgets this owner's text for the file (saved, reloaded or closed unsaved); the last one
    // gone, the session folder and its lock go too. Throws FileError when it cannot be removed.
    void remove(const QString& path);

    // What dead owners left for the files, or for every file of a WorkSpace folder.
    RecoveryScan recoverable(const QStringList& paths);
    RecoveryScan recoverableIn(const QString& workspace);
    // Makes the entry's text this owner's, as if this store had written it (true), or removes it
    // (true); false when it is no longer there to take. Throws FileError when it cannot be moved
    // or removed.
    bool take(const RecoveryEntry& entry);
    bool discard(const RecoveryEntry& entry);

private:
    using PathFor = std::function<std::optional<QString>(const QString& key)>;

    RecoveryScan scan(const PathFor& pathFor);
    void scanSession(const QString& session, const PathFor& pathFor, RecoveryScan& scan);
    void tell(RecoveryScan& scan, const FileError& error);
    bool settle(const RecoveryEntry& entry, const std::function<void()>& act);
    QString ownSession();
    void closeOwnSessionIfEmpty();
    // Removes a claimed session that has no recovery file left, with its lock.
    void tidySession(const QString& session);

    QString folder_;
    std::mutex mutex_;
    QString ownName_;  // empty while this owner has no files
    std::unique_ptr<OwnerLock> ownLock_;
    std::map<QString, std::unique_ptr<OwnerLock>> claims_;  // session folder, its lock
    QSet<QString> told_;
};

}  // namespace tessory
