// SPDX-License-Identifier: MIT
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

namespace tessory {

// The folders that decide an installed editor's first WorkSpace.
struct ExampleFolders {
    QString programDir;   // the program's own directory, ending in "/"
    QString examplesDir;  // the installed examples; missing in a build tree
    QString dataDir;      // the user's data directory, where the examples are copied to
};

// share/glsl-tessory/examples of the installation the program in programDir belongs to.
QString installedExamplesDir(const QString& programDir);

struct DefaultWorkspace {
    QString dir;             // ends in "/"
    QStringList copyErrors;  // one line for each example that could not be copied
};

// The WorkSpace of a start without a stored one. The program's own directory, as in a build tree
// with the examples beside the program, unless the examples are installed and the program's
// directory holds no pair files: then the user's data directory, into which a first start copies
// the examples. The copy never replaces a file, so a user's edits survive any later first start.
DefaultWorkspace prepareDefaultWorkspace(const ExampleFolders& folders, bool firstStart);

// prepareDefaultWorkspace for this program: the examples installed with it, the user's data
// directory, and a first start when the settings store holds nothing. Copy errors are logged.
QString defaultWorkspace(const QString& programDir, const QSettings& store);

}  // namespace tessory
