// SPDX-License-Identifier: MIT
#include "workspace/pair_scan.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace tessory {
namespace {

struct RawEntry {
    QByteArray name;
    unsigned char type;
};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The directory entry usually tells the type; only links and file systems that do not fill in
// the type cost a stat, which follows the link as the pair check does.
EntryKind kindOf(DIR* dir, const RawEntry& entry) {
    switch (entry.type) {
        case DT_REG:
            return EntryKind::File;
        case DT_DIR:
            return EntryKind::Directory;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat info;
            if (fstatat(dirfd(dir), entry.name.constData(), &info, 0) != 0) {
                return EntryKind::Other;
            }
            if (S_ISREG(info.st_mode)) {
                return EntryKind::File;
            }
            return S_ISDIR(info.st_mode) ? EntryKind::Directory : EntryKind::Other;
        }
        default:
            return EntryKind::Other;
    }
}

class MaskMatcher {
public:
    explicit MaskMatcher(const QString& mask)
        : all_(mask == u"*" || mask == u"*.*"),
          pattern_(all_ ? QString() : QRegularExpression::wildcardToRegularExpression(mask)) {}
    bool matches(const QString& name) const { return all_ || pattern_.match(name).hasMatch(); }

private:
    bool all_;
    QRegularExpression pattern_;
};

bool hasBothFiles(const QSet<QString>& files, const QString& baseName,
                  const PairExtensions& extensions) {
    return files.contains(baseName + extensions.vertex) &&
           files.contains(baseName + extensions.fragment);
}

}  // namespace

void FindRecursive(const QString& directory, const QString& mask, const EntryCallback& callback) {
    const QString path = directory.endsWith(u'/') ? directory : directory + u'/';
    const std::unique_ptr<DIR, DirCloser> dir(opendir(QFile::encodeName(path).constData()));
    if (!dir) {
        return;
    }
    std::vector<RawEntry> entries;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            entries.push_back(RawEntry{name, entry->d_type});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const RawEntry& a, const RawEntry& b) { return a.name < b.name; });

    const MaskMatcher matcher(mask);
    for (const RawEntry& raw : entries) {
        DirEntry entry{QFile::decodeName(raw.name), EntryKind::File, true};
        entry.nameDecodes = QFile::encodeName(entry.name) == raw.name;
        if (!matcher.matches(entry.name)) {
            continue;
        }
        entry.kind = kindOf(dir.get(), raw);
        if (entry.kind == EntryKind::Directory) {
            continue;
        }
        if (!callback(path, entry)) {
            return;
        }
    }
}

QList<PairFileName> Logfiles(const DirEntry& entry, const PairExtensions& extensions) {
    QList<PairFileName> found;
    if (entry.kind == EntryKind::Directory) {
        return found;
    }
    const qsizetype dot = entry.name.lastIndexOf(u'.');
    const QStringView extension = dot < 0 ? QStringView() : QStringView(entry.name).mid(dot);
    if (extension == extensions.vertex) {
        found.append(PairFileName{entry.name.chopped(extensions.vertex.size()), PairSide::Vertex});
    }
    if (extension == extensions.fragment) {
        found.append(
            PairFileName{entry.name.chopped(extensions.fragment.size()), PairSide::Fragment});
    }
    return found;
}

WorkspaceScan scanWorkspace(const QString& directory, const PairExtensions& extensions,
                            const QLocale& locale) {
    WorkspaceScan scan{PairList(locale), {}, {}, {}, {}};
    // The walk sees every entry, so the pair check looks names up here instead of asking the
    // file system once more per file.
    QSet<QString> files;
    QStringList baseNames;
    QList<std::pair<QString, QString>> pairFiles;  // entry name, base name
    FindRecursive(directory, QStringLiteral("*.*"), [&](const QString&, const DirEntry& entry) {
        if (!entry.nameDecodes) {
            if (!Logfiles(entry, extensions).isEmpty()) {
                scan.undecodableFiles.append(entry.name);
            }
            return true;
        }
        if (entry.kind == EntryKind::File) {
            files.insert(entry.name);
        }
        for (const PairFileName& match : Logfiles(entry, extensions)) {
            baseNames.append(match.baseName);
            pairFiles.append({entry.name, match.baseName});
        }
        return true;
    });

    scan.pairs.assign(baseNames);
    for (const QString& name : scan.pairs.names()) {
        for (const QString& extension : {extensions.vertex, extensions.fragment}) {
            if (!files.contains(name + extension)) {
                scan.missingFiles.append(name + extension);
            }
        }
    }
    for (const auto& [entryName, baseName] : pairFiles) {
        const bool counted =
            !scan.unpairedFiles.isEmpty() && scan.unpairedFiles.last() == entryName;
        if (!counted && !hasBothFiles(files, baseName, extensions)) {
            scan.unpairedFiles.append(entryName);
        }
    }
    const QSet<QString> listed(scan.pairs.names().cbegin(), scan.pairs.names().cend());
    QSet<QString> shadowed;
    for (const QString& baseName : baseNames) {
        if (!listed.contains(baseName) && !shadowed.contains(baseName)) {
            shadowed.insert(baseName);
            scan.shadowedNames.append(baseName);
        }
    }
    return scan;
}

}  // namespace tessory
