// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/entry_shape.h"
#include "workspace/name_rules.h"
#include "workspace/pair_list.h"
#include "workspace/pair_side.h"

#include <QString>
#include <QStringList>

namespace tessory {

// The WorkSpace the editor shows and the pair open in it: the one place that knows the
// directory, the pair extensions, the open name and the names of the last scan.
class OpenPair {
public:
    // Pair files are the directory and a name put together, so a directory ends in "/".
    const QString& directory() const { return directory_; }
    void setDirectory(const QString& directory);

    // The open pair's base name; empty when none is open.
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    void close() { name_.clear(); }

    const PairExtensions& extensions() const { return extensions_; }
    void setExtensions(const PairExtensions& extensions) { extensions_ = extensions; }

    // A stage file as it is named on disk (see findPairFile), whether it is there or not.
    QString path(PairSide side, const QString& name) const;
    QString path(PairSide side) const { return path(side, name_); }
    // The entry's shape as the last scan found it; for a name it did not list, as its files
    // are now.
    EntryShape shape(const QString& name) const;
    // Every stage file of the named entry: those of its shape, and the added stages whose files
    // are there.
    ProgramPaths paths(const QString& name) const;
    ProgramPaths paths() const { return paths(name_); }
    // The files that the stages `like` has would have under another name.
    ProgramPaths pathsAs(const QString& name, const ProgramPaths& like) const;
    // Whether the files of the named entry's shape are there (both of a pair).
    bool filesExist(const QString& name) const;

    // Every base name of the last scan, also when the WorkSpace was refused for a missing file.
    const PairList& scanned() const { return scanned_; }
    // The names the WorkSpace list shows: those of an accepted scan, none of a refused one.
    QStringList listed() const { return listed_ ? scanned_.names() : QStringList(); }
    // The listed names that are pairs, without the shaders that stand alone.
    QStringList listedPairs() const;
    void setScan(PairList names, EntryShapes shapes, bool accepted);
    // An entry made by the editor: scanned and listed from now on.
    void addPair(const QString& name, EntryShape shape = EntryShape::Pair);
    void clearPairs();
    // The listed position of the open pair (A-Z case ignored), or -1.
    int listedIndexOfOpen() const;

private:
    QString directory_;
    QString name_;
    PairExtensions extensions_;
    PairList scanned_;
    EntryShapes shapes_;
    bool listed_ = false;
};

}  // namespace tessory
