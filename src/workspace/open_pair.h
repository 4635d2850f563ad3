// SPDX-License-Identifier: MIT
#pragma once

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

    // A pair file as it is named on disk (see findPairFile).
    QString path(PairSide side, const QString& name) const;
    QString path(PairSide side) const { return path(side, name_); }
    // Whether both files of the named pair are there.
    bool filesExist(const QString& name) const;

    // Every base name of the last scan, also when the WorkSpace was refused for a missing file.
    const PairList& scanned() const { return scanned_; }
    // The names the WorkSpace list shows: those of an accepted scan, none of a refused one.
    QStringList listed() const { return listed_ ? scanned_.names() : QStringList(); }
    void setScan(PairList names, bool accepted);
    // A pair made by the editor: scanned and listed from now on.
    void addPair(const QString& name);
    void clearPairs();
    // The listed position of the open pair (A-Z case ignored), or -1.
    int listedIndexOfOpen() const;

private:
    QString directory_;
    QString name_;
    PairExtensions extensions_;
    PairList scanned_;
    bool listed_ = false;
};

}  // namespace tessory
