// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QObject;
class QStatusBar;

namespace tessory {

class AppSettings;
class BuildController;
class ProgramContext;
class LiveCheck;
class PairDocument;
class PairEditor;
class TargetPanel;
class WorkspaceController;

// The window's live compile: the documents' texts checked through the driver host started from
// `hostProgram` once typing pauses, and the messages drawn in the panes, from the live compile
// and from Test Shader alike (the error list stays Test Shader's).
LiveCheck* startLiveCheck(const QString& hostProgram, PairDocument& documents, PairEditor& editor,
                          BuildController& build, ProgramContext& program,
                          const AppSettings& settings, QObject* parent);

// The status bar's target panel, showing the open program's target and changing it for the
// program on a click.
TargetPanel* addTargetPanel(QStatusBar* bar, ProgramContext& program,
                            const WorkspaceController& workspace, LiveCheck& live);

}  // namespace tessory
