// SPDX-License-Identifier: MIT
#include "app/first_start.h"

#include "options/settings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessory {
namespace {

QString withSlash(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

bool holdsPairFiles(const QString& dir) {
    const TCFG defaults;
    const QStringList masks{QLatin1Char('*') + defaults.FileExtVertex,
                            QLatin1Char('*') + defaults.FileExtFragment};
    return !QDir(dir).entryList(masks, QDir::Files).isEmpty();
}

QStringList copyMissingFiles(const QString& from, const QString& to) {
    if (!QDir().mkpath(to)) {
        return {QStringLiteral("cannot create the folder %1 for the examples").arg(to)};
    }
    QStringList errors;
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files, QDir::Name)) {
        const QString target = QDir(to).filePath(name);
        if (QFileInfo::exists(target)) {
            continue;
        }
        // QFile::copy writes into a temporary file and renames it, so a failed copy leaves none.
        QFile file(source.filePath(name));
        if (!file.copy(target)) {
            errors.append(QStringLiteral("cannot copy the example %1 to %2: %3")
                              .arg(file.fileName(), target, file.errorString()));
            continue;
        }
        // The copy takes the permissions of the installed file, which may be read-only.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return errors;
}

}  // namespace

QString installedExamplesDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QStringLiteral("/" TESSORY_BIN_TO_DATA "/examples"));
}

DefaultWorkspace prepareDefaultWorkspace(const ExampleFolders& folders, bool firstStart) {
    if (!QFileInfo(folders.examplesDir).isDir() || holdsPairFiles(folders.programDir)) {
        return {withSlash(folders.programDir), {}};
    }
    DefaultWorkspace workspace{withSlash(folders.dataDir), {}};
    if (firstStart) {
        workspace.copyErrors = copyMissingFiles(folders.examplesDir, folders.dataDir);
    }
    return workspace;
}

QString defaultWorkspace(const QString& programDir, const QSettings& store) {
    const ExampleFolders folders{programDir, installedExamplesDir(programDir),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)};
    const DefaultWorkspace workspace = prepareDefaultWorkspace(folders, store.allKeys().isEmpty());
    for (const QString& error : workspace.copyErrors) {
        qWarning().noquote() << error;
    }
    return workspace.dir;
}

}  // namespace tessory
