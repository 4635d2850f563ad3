// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QObject;

namespace tessory {

class AppSettings;
class BuildController;
class ProgramContext;
class LiveCheck;
class PairDocument;
class PairEditor;

// The window's live compile: the documents' texts checked through the driver host started from
// `hostProgram` once typing pauses, and the messages drawn in the panes, from the live compile
// and from Test Shader alike (the error list stays Test Shader's).
LiveCheck* startLiveCheck(const QString& hostProgram, PairDocument& documents, PairEditor& editor,
                          BuildController& build, ProgramContext& program,
                          const AppSettings& settings, QObject* parent);

}  // namespace tessory
