// SPDX-License-Identifier: MIT
#include "workspace/name_rules.h"

#include "workspace/pair_scan.h"

#include <algorithm>

#include <QFileInfo>

namespace tessory {
namespace {

char16_t foldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 0x20) : c;
}

bool takenPath(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

const QString& PairExtensions::of(PairSide side) const {
    switch (side) {
        case PairSide::Vertex: return vertex;
        case PairSide::Fragment: return fragment;
        case PairSide::Geometry: return geometry;
        case PairSide::TessControl: return tessControl;
        case PairSide::TessEval: return tessEval;
        case PairSide::Compute: return compute;
        // An included file is named by the #include line, not by the program's name.
        case PairSide::Included: break;
    }
    static const QString none;
    return none;
}

QString pairFilePath(const QString& directory, const QString& baseName, const QString& extension) {
    return directory + baseName + extension;
}

QString foldAsciiCase(QStringView name) {
    QString folded(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i) {
        folded[i] = QChar(foldAscii(name[i].unicode()));
    }
    return folded;
}

bool sameNameIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i].unicode()) != foldAscii(b[i].unicode())) {
            return false;
        }
    }
    return true;
}

bool isValidShaderName(QStringView name) {
    if (name.isEmpty() || name == u"." || name == u"..") {
        return false;
    }
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u'/' || u == u'\\') {
            return false;
        }
    }
    return true;
}

bool pairFileExists(const QString& directory, const QString& baseName,
                    const PairExtensions& extensions) {
    // Pair files are found ignoring A-Z case, so a name in other letter case takes the place too.
    // Any stage file counts: a new pair would take it in, and a new program written from the
    // open one would overwrite it.
    return std::any_of(kProgramSides.cbegin(), kProgramSides.cend(), [&](PairSide side) {
        return takenPath(findPairFile(directory, baseName, extensions.of(side)));
    });
}

namespace {

bool listedIgnoringAsciiCase(const QString& name, const QStringList& listedNames) {
    return std::any_of(listedNames.begin(), listedNames.end(), [&name](const QString& listed) {
        return sameNameIgnoringAsciiCase(name, listed);
    });
}

}  // namespace

NameVerdict checkNewShaderName(const QString& typed, const QString& currentName,
                               const QString& directory, const PairExtensions& extensions,
                               const QStringList& listedNames) {
    if (typed.isEmpty()) {
        return NameVerdict::Accept;
    }
    if (!isValidShaderName(typed)) {
        return NameVerdict::Invalid;
    }
    if (sameNameIgnoringAsciiCase(typed, currentName) ||
        listedIgnoringAsciiCase(typed, listedNames) ||
        pairFileExists(directory, typed, extensions)) {
        return NameVerdict::Exists;
    }
    return NameVerdict::Accept;
}

NameVerdict checkRenameShaderName(const QString& typed, const QString& directory,
                                  const PairExtensions& extensions,
                                  const QStringList& listedNames) {
    if (!isValidShaderName(typed)) {
        return NameVerdict::Invalid;
    }
    if (listedIgnoringAsciiCase(typed, listedNames) ||
        pairFileExists(directory, typed, extensions)) {
        return NameVerdict::Exists;
    }
    return NameVerdict::Accept;
}

}  // namespace tessory
