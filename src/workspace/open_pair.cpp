// SPDX-License-Identifier: MIT
#include "workspace/open_pair.h"

#include "workspace/pair_scan.h"

#include <QFileInfo>

namespace tessory {

void OpenPair::setDirectory(const QString& directory) {
    directory_ = directory;
    if (!directory_.isEmpty() && !directory_.endsWith(QLatin1Char('/'))) {
        directory_ += QLatin1Char('/');
    }
}

QString OpenPair::path(PairSide side, const QString& name) const {
    return findPairFile(directory_, name, extensions_.of(side));
}

EntryShape OpenPair::shape(const QString& name) const {
    if (const auto known = shapes_.constFind(foldAsciiCase(name)); known != shapes_.cend()) {
        return *known;
    }
    const bool vertex = QFileInfo(path(PairSide::Vertex, name)).isFile();
    const bool fragment = QFileInfo(path(PairSide::Fragment, name)).isFile();
    if (vertex != fragment) {
        return vertex ? EntryShape::VertexOnly : EntryShape::FragmentOnly;
    }
    if (!vertex && QFileInfo(path(PairSide::Compute, name)).isFile()) {
        return EntryShape::Compute;
    }
    return EntryShape::Pair;
}

ProgramPaths OpenPair::paths(const QString& name) const {
    ProgramPaths paths;
    if (name.isEmpty()) {
        return paths;
    }
    const EntryShape entry = shape(name);
    for (const PairSide side : kProgramSides) {
        if (hasSide(entry, side)) {
            paths[int(side)] = path(side, name);
        }
    }
    if (takesAddedStages(entry)) {
        for (const PairSide side : kAddedSides) {
            // Whatever stands there: one that is no file is said so when the program opens.
            if (const QString added = path(side, name); QFileInfo::exists(added)) {
                paths[int(side)] = added;
            }
        }
    }
    return paths;
}

ProgramPaths OpenPair::pathsAs(const QString& name, const ProgramPaths& like) const {
    ProgramPaths paths;
    for (const PairSide side : kProgramSides) {
        if (!like[int(side)].isEmpty()) {
            paths[int(side)] = path(side, name);
        }
    }
    return paths;
}

bool OpenPair::filesExist(const QString& name) const {
    const EntryShape entry = shape(name);
    for (const PairSide side : kProgramSides) {
        if (hasSide(entry, side) && !QFileInfo(path(side, name)).isFile()) {
            return false;
        }
    }
    return true;
}

QStringList OpenPair::listedPairs() const {
    QStringList pairs;
    for (const QString& name : listed()) {
        if (shape(name) == EntryShape::Pair) {
            pairs << name;
        }
    }
    return pairs;
}

void OpenPair::setScan(PairList names, EntryShapes shapes, bool accepted) {
    scanned_ = std::move(names);
    shapes_ = std::move(shapes);
    listed_ = accepted;
}

void OpenPair::addPair(const QString& name, EntryShape shape) {
    scanned_.add(name);
    shapes_.insert(foldAsciiCase(name), shape);
    listed_ = true;
}

void OpenPair::clearPairs() {
    scanned_.clear();
    shapes_.clear();
    listed_ = false;
}

int OpenPair::listedIndexOfOpen() const {
    return listed_ && !name_.isEmpty() ? int(scanned_.indexOf(name_)) : -1;
}

}  // namespace tessory
