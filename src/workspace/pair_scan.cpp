// SPDX-License-Identifier: MIT
#include "workspace/pair_scan.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <dirent.h>
#include <errno.h>
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
EntryKind kindOf(DIR* dir, const RawEntry& entry, QString& cause) {
    static const QString notAFile =
        QStringLiteral("Is not a regular file (a pipe, socket or device).");
    switch (entry.type) {
        case DT_REG:
            return EntryKind::File;
        case DT_DIR:
            return EntryKind::Directory;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat info;
            if (fstatat(dirfd(dir), entry.name.constData(), &info, 0) != 0) {
                cause = qt_error_string(errno);
                return EntryKind::Other;
            }
            if (S_ISREG(info.st_mode)) {
                return EntryKind::File;
            }
            if (S_ISDIR(info.st_mode)) {
                return EntryKind::Directory;
            }
            cause = notAFile;
            return EntryKind::Other;
        }
        default:
            cause = notAFile;
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

// The file entries of one directory, looked up the way pair files are found: the exact name,
// otherwise the first entry equal to it ignoring A-Z case.
class FileIndex {
public:
    void add(const QString& name) {
        exact_.insert(name);
        byFoldedName_[foldAsciiCase(name)].append(name);
    }
    QString find(const QString& name) const {
        if (exact_.contains(name)) {
            return name;
        }
        const QStringList variants = byFoldedName_.value(foldAsciiCase(name));
        return variants.isEmpty() ? QString() : variants.first();
    }
    QStringList variants(const QString& name) const {
        return byFoldedName_.value(foldAsciiCase(name));
    }

private:
    QSet<QString> exact_;
    QHash<QString, QStringList> byFoldedName_;
};

bool hasBothFiles(const FileIndex& files, const QString& baseName,
                  const PairExtensions& extensions) {
    return !files.find(baseName + extensions.vertex).isNull() &&
           !files.find(baseName + extensions.fragment).isNull();
}

QString asciiLower(QStringView text) {
    QString lower = text.toString();
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return lower;
}

// From the last "." on, with A-Z taken as a-z; empty without a ".".
QString lowerExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : asciiLower(QStringView(name).mid(dot));
}

}  // namespace

QString forEachDirectoryEntry(const QString& directory, const QString& mask,
                              const EntryCallback& callback) {
    const QString path = directory.endsWith(u'/') ? directory : directory + u'/';
    const std::unique_ptr<DIR, DirCloser> dir(opendir(QFile::encodeName(path).constData()));
    if (!dir) {
        return errno == ENOENT ? QString() : qt_error_string(errno);
    }
    std::vector<RawEntry> entries;
    errno = 0;
    while (const dirent* entry = readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            entries.push_back(RawEntry{name, entry->d_type});
        }
    }
    // A folder that may be entered but not listed (mode 300) opens, and then fails here.
    if (errno != 0) {
        return qt_error_string(errno);
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
        entry.kind = kindOf(dir.get(), raw, entry.cause);
        if (entry.kind == EntryKind::Directory) {
            continue;
        }
        if (!callback(path, entry)) {
            break;
        }
    }
    return {};
}

QList<PairFileName> pairFileNames(const DirEntry& entry, const PairExtensions& extensions) {
    QList<PairFileName> found;
    if (entry.kind == EntryKind::Directory) {
        return found;
    }
    const QString extension = lowerExtension(entry.name);
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
    WorkspaceScan scan{PairList(locale), {}, {}, {}, {}, {}, {}, {}, {}, PairList(locale), {}};
    // The walk sees every entry, so the pair check looks names up here instead of asking the
    // file system once more per file.
    FileIndex files;
    QStringList baseNames;
    QList<std::pair<QString, QString>> pairFiles;  // entry name, base name
    QStringList computeNames;
    scan.readError = forEachDirectoryEntry(
        directory, QStringLiteral("*.*"), [&](const QString&, const DirEntry& entry) {
            scan.entries.append(entry);
            if (!entry.nameDecodes) {
                if (!pairFileNames(entry, extensions).isEmpty()) {
                    scan.undecodableFiles.append(entry.name);
                }
                return true;
            }
            if (entry.kind == EntryKind::File) {
                files.add(entry.name);
            }
            if (entry.kind == EntryKind::File && lowerExtension(entry.name) == extensions.compute) {
                computeNames.append(entry.name.chopped(extensions.compute.size()));
            }
            for (const PairFileName& match : pairFileNames(entry, extensions)) {
                baseNames.append(match.baseName);
                pairFiles.append({entry.name, match.baseName});
                if (entry.kind == EntryKind::Other) {
                    scan.unusableFiles.insert(entry.name, entry.cause);
                }
            }
            return true;
        });

    scan.pairs.assign(baseNames);
    for (const QString& name : scan.pairs.names()) {
        for (const QString& extension : {extensions.vertex, extensions.fragment}) {
            if (files.find(name + extension).isNull()) {
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
    for (const QString& name : scan.pairs.names()) {
        for (const QString& extension : {extensions.vertex, extensions.fragment}) {
            const QString used = files.find(name + extension);
            for (const QString& variant : files.variants(name + extension)) {
                const bool ofHiddenPair =
                    shadowed.contains(variant.chopped(qMin(extension.size(), variant.size())));
                if (variant != used && !ofHiddenPair && !scan.caseVariantFiles.contains(variant)) {
                    scan.caseVariantFiles.append(variant);
                }
            }
        }
    }
    QStringList programNames;
    for (const QString& name : scan.pairs.names()) {
        const bool vertex = !files.find(name + extensions.vertex).isNull();
        const bool fragment = !files.find(name + extensions.fragment).isNull();
        if (vertex || fragment) {
            programNames.append(name);
            scan.shapes.insert(foldAsciiCase(name), vertex && fragment ? EntryShape::Pair
                                                    : vertex           ? EntryShape::VertexOnly
                                                                       : EntryShape::FragmentOnly);
        }
    }
    for (const QString& name : computeNames) {
        if (!scan.pairs.contains(name) && !scan.shapes.contains(foldAsciiCase(name))) {
            programNames.append(name);
            scan.shapes.insert(foldAsciiCase(name), EntryShape::Compute);
        }
    }
    scan.programs.assign(programNames);
    std::sort(scan.caseVariantFiles.begin(), scan.caseVariantFiles.end(),
              [](const QString& a, const QString& b) {
                  return QFile::encodeName(a) < QFile::encodeName(b);
              });
    return scan;
}

QString findPairFile(const QString& directory, const QString& baseName, const QString& extension) {
    const QString exact = pairFilePath(directory, baseName, extension);
    const QFileInfo info(exact);
    if (info.exists() || info.isSymLink()) {
        return exact;
    }
    const QString wanted = baseName + extension;
    QString found;
    forEachDirectoryEntry(
        directory, QStringLiteral("*"), [&](const QString&, const DirEntry& entry) {
            if (entry.nameDecodes && sameNameIgnoringAsciiCase(entry.name, wanted)) {
                found = entry.name;
                return false;
            }
            return true;
        });
    return found.isNull() ? exact : pairFilePath(directory, found, QString());
}

}  // namespace tessory
