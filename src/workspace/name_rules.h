// SPDX-License-Identifier: MIT
#pragma once

#include "workspace/pair_side.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tessory {

// The file name extensions of the stage files, dot included (".vert", ".frag"): the first two
// make a pair, the others add stages to it, and a compute file stands alone.
struct PairExtensions {
    QString vertex;
    QString fragment;
    QString geometry = QStringLiteral(".geom");
    QString tessControl = QStringLiteral(".tesc");
    QString tessEval = QStringLiteral(".tese");
    QString compute = QStringLiteral(".comp");

    const QString& of(PairSide side) const;
};

// The file of one side of a pair: plain concatenation, the directory ends in a separator.
QString pairFilePath(const QString& directory, const QString& baseName, const QString& extension);

// The name with a-z folded to A-Z and every other character kept: the key under which two base
// names count as the same pair name.
QString foldAsciiCase(QStringView name);

// Equal length and equal characters after folding a-z to A-Z; no other letter is folded.
bool sameNameIgnoringAsciiCase(QStringView a, QStringView b);

// Whether a typed base name can name the files of a pair: not empty, not "." or "..", and without
// path separators ("/", "\") or control characters (below 0x20, and 0x7F), which would put the
// files elsewhere or make names the user cannot see or type again.
bool isValidShaderName(QStringView name);

// Whether something (a file, a directory, even a dangling link), named in any A-Z letter case,
// already takes the place of the vertex or the fragment file of the base name, so that creating
// the pair would overwrite it or fail.
bool pairFileExists(const QString& directory, const QString& baseName,
                    const PairExtensions& extensions);

enum class NameVerdict { Accept, Invalid, Exists };

// The name dialog of the New commands. An empty name is accepted: it means "no new pair". Refused
// as existing: the open pair's name and, so that a new pair never writes over other files, any
// name that already has a vertex or fragment file or that a listed pair has in another letter case.
NameVerdict checkNewShaderName(const QString& typed, const QString& currentName,
                               const QString& directory, const PairExtensions& extensions,
                               const QStringList& listedNames);

// The rename dialog. Refused as existing: a name of the WorkSpace list (ignoring A-Z case), and any
// name that already has a vertex or fragment file, which the move would not replace.
NameVerdict checkRenameShaderName(const QString& typed, const QString& directory,
                                  const PairExtensions& extensions, const QStringList& listedNames);

}  // namespace tessory
