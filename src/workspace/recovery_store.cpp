// SPDX-License-Identifier: MIT
#include "workspace/recovery_store.h"

#include "workspace/file_replace.h"
#include "workspace/owner_lock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace tessory {
namespace {

constexpr QLatin1StringView kSessionPrefix{"session-"};
constexpr QLatin1StringView kLockSuffix{".lock"};
constexpr QDir::Filters kEverything =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// A folder spelt one way whatever way it was asked for, also through links.
QString folderKey(const QString& folder) {
    const QString canonical = QDir(folder).canonicalPath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

// The file's own folder decides, not the file, so that the key stays when the file is deleted.
QString recoveryKey(const QString& path) {
    const QFileInfo info(path);
    return QDir(folderKey(info.absolutePath())).filePath(info.fileName());
}

QString recoveryFileName(const QString& key) {
    return QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256)
                                   .toHex()
                                   .left(32)) +
           kRecoverySuffix;
}

void makeRecoveryFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return;
    }
    if (info.path() != path && !QFileInfo(info.path()).exists()) {
        makeRecoveryFolder(info.path());
    }
    // Unsaved texts are nobody else's business.
    if (mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        throw FileError(path, qt_error_string(errno));
    }
    if (!QFileInfo(path).isDir()) {
        throw FileError(path, QStringLiteral("Is a file where a folder is needed."));
    }
}

QStringList recoveryFilesIn(const QString& session) {
    return QDir(session).entryList({QStringLiteral("*") + kRecoverySuffix}, kEverything);
}

// Removes what is left of a session with no recovery file in it: the temporaries of writes that
// a killed owner did not finish, then the folder. False when something else is still in it.
bool removeSessionFolder(const QString& session) {
    QDir dir(session);
    for (const QString& name : dir.entryList(kEverything)) {
        if (name.contains(FileReplacement::kLeftoverMarker)) {
            dir.remove(name);
        }
    }
    return rmdir(QFile::encodeName(session).constData()) == 0 || errno == ENOENT;
}

// A dead owner's lock whose session is gone: it was killed while it took or left the session.
void removeLoneLock(const QString& lock) {
    if (QFileInfo(lock.chopped(kLockSuffix.size())).exists()) {
        return;
    }
    try {
        if (const std::unique_ptr<OwnerLock> dead = OwnerLock::take(lock)) {
            dead->remove();
        }
    } catch (const FileError&) {
        // Left for the next look: a lock is no text.
    }
}

DiskState diskStateOf(const RecoveryRecord& record) {
    if (!QFileInfo(record.path).isFile()) {
        return DiskState::Gone;
    }
    try {
        return record.base.changedOnDisk(record.path) ? DiskState::Changed : DiskState::Unchanged;
    } catch (const FileError&) {
        // A file that cannot be read now is not the one the text was edited from.
        return DiskState::Changed;
    }
}

}  // namespace

QString defaultRecoveryFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (QStandardPaths::isTestModeEnabled()) {
        state = QDir::homePath() + QStringLiteral("/.qttest/state");
    } else if (!QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir::cleanPath(state + '/' + QCoreApplication::organizationName() + '/' +
                           QCoreApplication::applicationName() + QStringLiteral("/recovery"));
}

RecoveryStore::RecoveryStore(const QString& folder)
    : folder_(QDir::cleanPath(QDir(folder).absolutePath())) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::ownSession() {
    if (!ownName_.isEmpty() && !QFileInfo(folder_ + '/' + ownName_).isDir()) {
        // Removed by someone cleaning up the user's folders: the texts are written anew.
        ownLock_.reset();
        ownName_.clear();
    }
    if (ownName_.isEmpty()) {
        makeRecoveryFolder(folder_);
        // The process id for people who look; the random part for two stores in one process.
        const QString name =
            kSessionPrefix + QStringLiteral("%1-%2").arg(getpid()).arg(
                                 QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const QString session = folder_ + '/' + name;
        // Locked before the folder exists, so that no other store ever sees it unlocked.
        std::unique_ptr<OwnerLock> lock = OwnerLock::take(session + kLockSuffix);
        if (!lock) {
            throw FileError(session + kLockSuffix, QStringLiteral("Is locked by another editor."));
        }
        try {
            makeRecoveryFolder(session);
        } catch (const FileError&) {
            lock->remove();
            throw;
        }
        ownName_ = name;
        ownLock_ = std::move(lock);
    }
    return folder_ + '/' + ownName_;
}

void RecoveryStore::closeOwnSessionIfEmpty() {
    if (ownName_.isEmpty()) {
        return;
    }
    const QString session = folder_ + '/' + ownName_;
    if (recoveryFilesIn(session).isEmpty() && removeSessionFolder(session)) {
        ownLock_->remove();
        ownLock_.reset();
        ownName_.clear();
    }
}

void RecoveryStore::write(const RecoveryRecord& record) {
    const std::lock_guard guard(mutex_);
    RecoveryRecord kept = record;
    kept.path = recoveryKey(record.path);
    try {
        const QString file = ownSession() + '/' + recoveryFileName(kept.path);
        const QByteArray bytes = encodeRecovery(kept, file);
        FileReplacement replacement(file);
        replacement.write(bytes);
        replacement.commit();
    } catch (const FileError&) {
        closeOwnSessionIfEmpty();
        throw;
    }
}

void RecoveryStore::remove(const QString& path) {
    const std::lock_guard guard(mutex_);
    if (ownName_.isEmpty()) {
        return;
    }
    const QString file = folder_ + '/' + ownName_ + '/' + recoveryFileName(recoveryKey(path));
    if (unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT) {
        throw FileError(file, qt_error_string(errno));
    }
    closeOwnSessionIfEmpty();
}

RecoveryScan RecoveryStore::recoverable(const QStringList& paths) {
    QHash<QString, QString> asked;
    for (const QString& path : paths) {
        asked.insert(recoveryKey(path), path);
    }
    return scan([&asked](const QString& key) -> std::optional<QString> {
        const auto found = asked.constFind(key);
        return found == asked.cend() ? std::nullopt : std::optional(*found);
    });
}

RecoveryScan RecoveryStore::recoverableIn(const QString& workspace) {
    const QString folder = folderKey(workspace);
    return scan([&](const QString& key) -> std::optional<QString> {
        const QFileInfo info(key);
        return info.path() == folder ? std::optional(QDir(workspace).filePath(info.fileName()))
                                     : std::nullopt;
    });
}

RecoveryScan RecoveryStore::scan(const PathFor& pathFor) {
    const std::lock_guard guard(mutex_);
    RecoveryScan scan;
    for (const QFileInfo& info : QDir(folder_).entryInfoList(kEverything, QDir::Name)) {
        const QString name = info.fileName();
        const bool sessionName = name.startsWith(kSessionPrefix);
        if (!ownName_.isEmpty() && (name == ownName_ || name == ownName_ + kLockSuffix)) {
            continue;
        }
        const bool lock = sessionName && name.endsWith(kLockSuffix) && info.isFile();
        if (sessionName && info.isDir() && !info.isSymLink()) {
            scanSession(info.filePath(), pathFor, scan);
        } else if (lock) {
            removeLoneLock(info.filePath());
        } else {
            tell(scan, FileError(info.filePath(), QStringLiteral("Is not a recovery file.")));
        }
    }
    std::stable_sort(
        scan.entries.begin(), scan.entries.end(),
        [](const RecoveryEntry& a, const RecoveryEntry& b) { return a.saved > b.saved; });
    return scan;
}

void RecoveryStore::scanSession(const QString& session, const PathFor& pathFor,
                                RecoveryScan& scan) {
    std::unique_ptr<OwnerLock>& claim = claims_[session];
    const bool claimedNow = !claim;
    if (claimedNow) {
        try {
            claim = OwnerLock::take(session + kLockSuffix);
        } catch (const FileError& error) {
            tell(scan, error);
        }
        if (!claim) {
            // A live owner's, or one that cannot be locked and so cannot be known to be dead.
            claims_.erase(session);
            return;
        }
    }
    bool offered = false;
    for (const QFileInfo& info : QDir(session).entryInfoList(kEverything, QDir::Name)) {
        const QString file = info.filePath();
        if (info.fileName().contains(FileReplacement::kLeftoverMarker)) {
            continue;  // a write the owner did not finish: the file before it is whole
        }
        if (!info.fileName().endsWith(kRecoverySuffix) || info.isSymLink() || !info.isFile()) {
            tell(scan, FileError(file, QStringLiteral("Is not a recovery file.")));
            continue;
        }
        try {
            const RecoveryRecord record =
                decodeRecovery(readWholeFile(file, kMaxRecoveryFileSize), file);
            if (const std::optional<QString> path = pathFor(record.path)) {
                scan.entries.append(
                    {*path, record.text, diskStateOf(record), record.saved, record.ownerPid, file});
                offered = true;
            }
        } catch (const FileError& error) {
            tell(scan, error);
        }
    }
    tidySession(session);
    if (!offered && claimedNow) {
        claims_.erase(session);  // unlocked again, for whoever asks for its files
    }
}

void RecoveryStore::tell(RecoveryScan& scan, const FileError& error) {
    if (!told_.contains(error.path())) {
        told_.insert(error.path());
        scan.problems.append(QString::fromStdString(error.what()));
    }
}

void RecoveryStore::tidySession(const QString& session) {
    const auto claim = claims_.find(session);
    if (claim != claims_.end() && recoveryFilesIn(session).isEmpty() &&
        removeSessionFolder(session)) {
        claim->second->remove();
        claims_.erase(claim);
    }
}

bool RecoveryStore::settle(const RecoveryEntry& entry, const std::function<void()>& act) {
    const std::lock_guard guard(mutex_);
    const QString session = QFileInfo(entry.recoveryFile).path();
    if (!claims_.contains(session) || !QFileInfo(entry.recoveryFile).isFile()) {
        return false;
    }
    act();
    tidySession(session);
    return true;
}

bool RecoveryStore::take(const RecoveryEntry& entry) {
    return settle(entry, [&] {
        try {
            const QString target = ownSession() + '/' + QFileInfo(entry.recoveryFile).fileName();
            if (std::rename(QFile::encodeName(entry.recoveryFile).constData(),
                            QFile::encodeName(target).constData()) != 0) {
                throw FileError(entry.recoveryFile, qt_error_string(errno));
            }
        } catch (const FileError&) {
            closeOwnSessionIfEmpty();
            throw;
        }
    });
}

bool RecoveryStore::discard(const RecoveryEntry& entry) {
    return settle(entry, [&] {
        if (unlink(QFile::encodeName(entry.recoveryFile).constData()) != 0) {
            throw FileError(entry.recoveryFile, qt_error_string(errno));
        }
    });
}

}  // namespace tessory
