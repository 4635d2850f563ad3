// SPDX-License-Identifier: MIT
#pragma once

#include "editor/text_format.h"
#include "options/settings.h"
#include "workspace/name_rules.h"
#include "workspace/pair_side.h"

#include <QColor>
#include <QString>

namespace tessory {

// A typed extension as it is taken: the letters A to Z in lower case (other letters as typed),
// then without the blanks and control characters at either end.
QString normalizeExtension(const QString& typed);

// What OK makes of the two extension fields.
enum class ExtensionCheck {
    InvalidVertex,    // the vertex field is empty once normalised, or no safe extension
    InvalidFragment,  // the same for the fragment field
    NotDifferent,     // both fields name the same extension
    InvalidStage,     // one of the other four fields is empty or no safe extension
    SharedExtension,  // two stages name the same extension
    Unchanged,        // exactly the extensions in use: nothing to do
    Changed,          // new extensions: the WorkSpace must be read again
};

struct CheckedExtensions {
    ExtensionCheck verdict = ExtensionCheck::Unchanged;
    QString vertex;  // normalised
    QString fragment;
};

// Checks the fields in the order the user is told about them; the current extensions are compared
// exactly, letter case included.
CheckedExtensions checkExtensions(const QString& vertexField, const QString& fragmentField,
                                  const QString& currentVertex, const QString& currentFragment);

struct CheckedStageExtensions {
    ExtensionCheck verdict = ExtensionCheck::Unchanged;
    PairSide stage = PairSide::Vertex;       // the invalid field, or the first of two alike
    PairSide otherStage = PairSide::Vertex;  // the second of two alike
    PairExtensions extensions;               // normalised
};

// All six fields: the pair's two first, exactly as checkExtensions takes them, then the other
// four in the order of the stages, then whether any two stages share an extension (the first
// such two are named). Unchanged only when all six are exactly the current ones.
CheckedStageExtensions checkStageExtensions(const PairExtensions& fields,
                                            const PairExtensions& current);

// What the options dialog changes while it is open, kept so that Cancel can put it back without
// undoing what the main window changed meanwhile.
struct FormatBackup {
    CategoryFormats formats;
    bool autoSaveOnChange = false;
    qint32 compileTimeLimit = 10;
    qint32 frameTimeLimit = 2;
};

FormatBackup takeFormatBackup(const TCFG& cfg);
void restoreFormatBackup(TCFG& cfg, const FormatBackup& backup);

// A chosen colour as 0x00BBGGRR; its alpha channel is dropped.
TColor fromQColor(const QColor& color);

// `effects` with one effect bit set or cleared, the other bits as they were.
qint32 withEffect(qint32 effects, qint32 bit, bool on);

// The dialog captions, and its messages beyond the message table, that follow the interface
// language.
struct ConfigCaptions {
    QString fileExtPage;
    QString colorsGroup;
    QString bold;
    QString italic;
    QString underline;
    QString fileExtGroup;
    QString autoSaveBox;
    QString timeLimitsGroup;
    QString compileLimit;  // beside the seconds a compile may take
    QString frameLimit;    // beside the seconds a preview frame may take
    QString ok;
    QString cancel;
    QString invalidStageExt;  // %1: the stage
    QString sharedExt;        // %1 and %2: the stages, %3: the extension
};

ConfigCaptions configCaptions(bool german);

}  // namespace tessory
