// SPDX-License-Identifier: MIT
#pragma once

#include "compile/live_check.h"
#include "compile/program_setup.h"
#include "compile/target_choices.h"

#include <QObject>

namespace tessory {

// A program to compile: the engine's request, and whether it is compiled as a pair always has
// been: the two panes on the editor's own context, the driver's logs listed as they are. Only a
// plain pair for OpenGL without a project file is compiled so.
struct ProgramJob {
    LiveCheckRequest request;
    bool classic = false;
    // Why the project file could not be used, naming it; the job goes on without it.
    QString projectProblem;
};

class AppSettings;
class PairDocument;
class WorkspaceController;

// The open program as the compile commands, the live compile, the status bar and the preview see
// it: its stages as the documents hold them, the target it is compiled for and the includes and
// defines of the WorkSpace's project file. The target the user chooses is kept per WorkSpace and
// program in the settings.
class ProgramContext : public QObject {
    Q_OBJECT
public:
    ProgramContext(const PairDocument& documents, const WorkspaceController& workspace,
                   AppSettings& settings, QObject* parent = nullptr);

    void setGerman(bool german);
    // Reads the project file again when it changed; emits setupChanged when the setup did.
    ProgramSetup setup();
    // The stages with their texts and files, and the setup: what Test Shader and the live
    // compile give the engine.
    ProgramJob job();
    // Test all's job for one WorkSpace entry, from its files (FileError when one cannot be read).
    ProgramJob jobForFiles(const ProgramPaths& paths, const QString& name);

    // The file an #include line's name means in the file `from`: beside it, else in the project
    // file's include directories; empty when it is in none of them.
    QString resolveInclude(const QString& name, const QString& from);

    std::optional<Target> chosenTarget() const;
    // Nothing: back to the project file's target or to "auto".
    void chooseTarget(std::optional<Target> target);

signals:
    void setupChanged(const ProgramSetup& setup);

private:
    // The stages' whole texts for a compile, or their starts, which tell the setup.
    enum class Text { Whole, Head };
    QList<LiveStage> documentStages(Text text) const;
    // The setup of these stages; emits setupChanged when it is another one.
    ProgramSetup setupOf(const QList<LiveStage>& stages);
    ProgramSetup setupFor(const QList<LiveStage>& stages, const QString& name);
    static ProgramJob jobFor(QList<LiveStage> stages, const ProgramSetup& setup);

    const PairDocument& documents_;
    const WorkspaceController& workspace_;
    AppSettings& settings_;
    ProjectFileCache project_;
    std::optional<ProgramSetup> last_;
};

}  // namespace tessory
