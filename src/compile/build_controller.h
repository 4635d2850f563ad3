// SPDX-License-Identifier: MIT
#pragma once

#include "compile/host_compile.h"
#include "compile/program_context.h"
#include "compile/shader_message.h"
#include "texts/texts.h"
#include "ui/command_groups.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace tessory {

class DriverHost;
struct HostFailure;
class ErrorListView;
class PairDocument;
class PairEditor;
class ProgramContext;
class Prompter;
class WorkspaceController;

// Compiling with the machine's driver, which runs in the driver host: "Test Shader" on the
// documents, "Test all shaders" on the WorkSpace's files, the error list and the jumps from its
// messages into the panes. While the driver works the window paints and takes keys; Escape ends
// the driver host, and so does a compile that runs past its time limit.
class BuildController : public QObject {
    Q_OBJECT
public:
    BuildController(PairDocument& documents, PairEditor& editor, WorkspaceController& workspace,
                    ProgramContext& program, Prompter& prompter, DriverHost& host, QWidget* owner);
    ~BuildController() override;

    ErrorListView* errorList() const { return errorList_; }
    void setTexts(const Texts& texts) { texts_ = texts; }
    void connectBuildActions(const BuildCommands& build);
    // What may not change under a WorkSpace test; disabled while it runs.
    void setFrozenWhileTesting(const QList<QObject*>& objects) { frozen_ = objects; }
    // Whether the driver is at work for a command, which the window may then not close under.
    bool busy() const { return testRunning_ || compiling_; }
    void setCompileTimeLimit(int seconds) { timeLimitSeconds_ = seconds; }

    // Start-up: the driver host loads its driver before the first compile is asked for; a
    // warning says why when it cannot.
    void startDriver();
    void clearMessages();

    void Action_CompileExecute();
    void Action_TestAllExecute();
    // The first entry that leads to a line of a pane; the next or previous one (step 1 or -1)
    // after the list's current one, round its end; the selected one.
    void jumpToFirstError();
    void jumpToMessage(int step);
    void jumpToSelectedMessage();

signals:
    // F5's messages as the error list shows them; clean when the driver said nothing.
    void diagnosticsReady(const QList<ShaderMessage>& messages, bool clean);

private:
    void guarded(const std::function<void()>& command);
    // The driver host's answer about a program, or why it gave none.
    struct HostAnswer {
        std::optional<QByteArray> reply;
        QString failure;
        bool cancelled = false;
    };
    HostAnswer compileOnHost(quint8 kind, const QByteArray& request, const QString& pairName);
    // The error list of a job, or why the driver host gave none; with whether it was clean.
    struct JobResult {
        QList<ShaderMessage> messages;
        bool clean = false;
        std::optional<HostAnswer> failed;
    };
    // Test all gives the driver the files' bytes as they are, Test Shader the panes' text.
    JobResult compileJob(const ProgramJob& job, const QString& pairName, bool fromFiles);
    QString failureText(const HostFailure& failure, const QString& pairName) const;
    // Compiles and links the documents and lists what the driver said; true when it was clean.
    bool compileDocuments();
    // An entry for each stage text that holds a NUL byte.
    QList<ShaderMessage> nulByteMessages(const LiveCheckRequest& request, bool fromDocuments) const;
    bool jumpTo(const ShaderMessage& message);
    struct WorkspaceRun {
        int reportedRow = -1;  // the first pair the driver complains about, or -1
        // Why the run stopped without the driver's word on that pair.
        QString stopped;
    };
    WorkspaceRun compileWorkspace();

    PairDocument& documents_;
    PairEditor& editor_;
    WorkspaceController& workspace_;
    ProgramContext& program_;
    Prompter& prompter_;
    DriverHost& host_;
    QWidget* owner_;
    Texts texts_;
    ErrorListView* errorList_;
    QList<QObject*> frozen_;
    int timeLimitSeconds_ = 10;
    bool testRunning_ = false;
    bool compiling_ = false;
    bool driverWarned_ = false;
};

}  // namespace tessory
