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
    return findPairFile(directory_, name,
                        side == PairSide::Vertex ? extensions_.vertex : extensions_.fragment);
}

bool OpenPair::filesExist(const QString& name) const {
    return QFileInfo(path(PairSide::Vertex, name)).isFile() &&
           QFileInfo(path(PairSide::Fragment, name)).isFile();
}

void OpenPair::setScan(PairList names, bool accepted) {
    scanned_ = std::move(names);
    listed_ = accepted;
}

void OpenPair::addPair(const QString& name) {
    scanned_.add(name);
    listed_ = true;
}

void OpenPair::clearPairs() {
    scanned_.clear();
    listed_ = false;
}

int OpenPair::listedIndexOfOpen() const {
    return listed_ && !name_.isEmpty() ? int(scanned_.indexOf(name_)) : -1;
}

}  // namespace tessory
