// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tessory {

// The compile engine's own messages, beside the driver's: includes, defines, the SPIR-V
// validator, the project file. %1, %2, ... as noted.
struct EngineTexts {
    QString includeSyntax;
    QString includeMissing;  // %1: the name as written, %2: the directories searched
    QString noIncludeDirectories;
    QString includeUnusable;  // %1: the name, %2: the file, %3: the cause
    QString includeCycle;     // %1: the name, %2: the chain of files
    QString includeTooDeep;   // %1: the name, %2: the deepest nesting
    QString includeEscapes;   // %1: the name, %2: the file, %3: the root
    QString includedFrom;
    QString defineName;         // %1: the name
    QString defineLineBreak;    // %1: the name
    QString spirvRejected;      // %1: the validator's message
    QString spirvNotMade;       // %1: the stage
    QString noVertexInputs;     // %1: the cause
    QString noContext;          // %1: the profile, %2: the cause
    QString stageNotForTarget;  // %1: the stage, %2: the target
    // The project file.
    QString projectUnreadable;  // %1: the cause
    QString projectNotJson;     // %1: the parser's reason
    QString projectNotObject;
    QString projectUnknownKey;        // %1: the key, %2: the keys it may be
    QString projectWrongType;         // %1: the key, %2: what it wants
    QString projectBadWord;           // %1: the key, %2: the words it takes, %3: the word given
    QString projectBadExtension;      // %1: the key, %2: the extension
    QString projectMissingFile;       // %1: the key, %2: the file
    QString projectMissingDirectory;  // %1: the key, %2: the directory
    QString projectNotInOverride;     // %1: the key
    QString projectProgramStages;
    QString projectBadGlob;  // %1: the glob
    // What a key wants, for projectWrongType.
    QString typeString;
    QString typeStrings;
    QString typeObject;
    QString typeObjects;
    QString typeDefineValue;
};

EngineTexts engineTexts(bool german);

}  // namespace tessory
