// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/entry_shape.h"
#include "workspace/name_rules.h"
#include "workspace/pair_list.h"
#include "workspace/pair_side.h"

#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessory {

enum class EntryKind {
    File,       // a regular file, or a link to one
    Directory,  // a directory, or a link to one
    Other,      // anything else: a dangling link, a pipe, a socket, a device
};

struct DirEntry {
    QString name;
    EntryKind kind = EntryKind::File;
    // False when the name's bytes are not valid in the encoding of file names (UTF-8): `name` then
    // has U+FFFD in their place, and no file can be opened, saved or deleted by it.
    bool nameDecodes = true;
    // For an entry of kind Other: what it is, or why what it links to cannot be reached.
    QString cause = QString();
};

// Called for each entry with the directory path (ending in "/"); returns whether to go on.
using EntryCallback = std::function<bool(const QString& directory, const DirEntry& entry)>;

// Walks the entries of one directory (not its subdirectories) whose names match the wildcard
// mask, hidden ones included, and calls the callback for every entry that is not a directory.
// "*" and "*.*" match every name. The entries come in the byte order of their names, so a walk
// does not depend on the file system's order. A directory that cannot be read has no entries;
// the returned text then says why (empty when it was read, or when it does not exist).
QString forEachDirectoryEntry(const QString& directory, const QString& mask,
                              const EntryCallback& callback);

struct PairFileName {
    QString baseName;
    PairSide side = PairSide::Vertex;
};

// What one directory entry gives the WorkSpace: its base name for each pair extension that its
// extension (from the last "." on, with A-Z taken as a-z) equals exactly, so that Water.VERT counts
// as a ".vert" file. The base name is the entry name without the last length-of-extension
// characters. Directories give nothing. Two results when both extensions are the same text.
QList<PairFileName> pairFileNames(const DirEntry& entry, const PairExtensions& extensions);

struct WorkspaceScan {
    // Every base name found, also when some of them lack a file.
    PairList pairs;
    // "name + extension" of each file that a listed name lacks (not there, or not a file), in the
    // list's order, vertex before fragment. The WorkSpace is rejected when this is not empty.
    QStringList missingFiles;
    // Each entry that counted as a pair file (in byte order of the names) whose exact base name
    // does not have both files as files. Unlike `missingFiles` this also names a file whose
    // partner differs only in letter case (b.frag beside B.vert and B.frag).
    QStringList unpairedFiles;
    // Base names found but not listed because a listed name equals them ignoring A-Z case
    // (b beside B), in the order found; on this file system their files are other files.
    QStringList shadowedNames;
    // Pair files not used because another entry of the same name in other letter case is (the
    // exact name wins, otherwise the first in byte order): Water.Vert beside Water.VERT, in byte
    // order. Files of a name in `shadowedNames` are not repeated here.
    QStringList caseVariantFiles;
    // Entries with a pair extension whose names are not valid UTF-8 (as they read with U+FFFD),
    // in byte order. They count as no pair file at all: the name shown would reach no file.
    QStringList undecodableFiles;
    // Pair files that are no file, by entry name, with the reason (a link loop, a dangling link,
    // a pipe): their partners are there, so "no partner" would name the wrong cause.
    QMap<QString, QString> unusableFiles;
    // Why the directory could not be read; empty when it could (or does not exist).
    QString readError;
    // Every entry but directories, in byte order, for a caller that looks at the other files too
    // without reading the directory again.
    QList<DirEntry> entries;
    // What the editor lists: each name of `pairs` that has a vertex or a fragment file, and each
    // base name of a compute file that no such name takes (A-Z case ignored), with its shape.
    PairList programs;
    EntryShapes shapes;

    bool complete() const { return missingFiles.isEmpty(); }
    EntryShape shape(const QString& name) const {
        return shapes.value(foldAsciiCase(name), EntryShape::Pair);
    }
    // What the WorkSpace list shows: every pair, or nothing when a pair is incomplete.
    QStringList listedNames() const { return complete() ? pairs.names() : QStringList(); }
};

// The file of one side of a pair as it is named on disk: directory + baseName + extension when
// that exists, otherwise the first entry (in byte order) of the directory equal to it ignoring the
// case of A to Z; the exact path when there is neither. Pair names are found ignoring that case,
// so their files are too, whatever this file system does.
QString findPairFile(const QString& directory, const QString& baseName, const QString& extension);

// Finds the pairs of a WorkSpace directory (a path ending in "/"). A missing directory gives an
// empty, complete scan. The pair list sorts by the collation of `locale`.
WorkspaceScan scanWorkspace(const QString& directory, const PairExtensions& extensions,
                            const QLocale& locale = QLocale());

}  // namespace tessory
