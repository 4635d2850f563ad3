// SPDX-License-Identifier: MIT
#pragma once

#include "compile/driver_messages.h"
#include "compile/gl_context.h"
#include "texts/texts.h"
#include "ui/command_groups.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace tessory {

class ErrorListView;
class PairDocument;
class PairEditor;
class Prompter;
class WorkspaceController;

// Compiling with the machine's driver: its context, "Test Shader" on the documents, "Test all
// shaders" on the WorkSpace's files, the error list and the jumps from its messages into the
// panes.
class BuildController : public QObject {
    Q_OBJECT
public:
    using ContextFactory = std::function<GlContextResult()>;

    BuildController(PairDocument& documents, PairEditor& editor, WorkspaceController& workspace,
                    Prompter& prompter, ContextFactory createContext, QWidget* owner);
    ~BuildController() override;

    ErrorListView* errorList() const { return errorList_; }
    void setTexts(const Texts& texts) { texts_ = texts; }
    void connectBuildActions(const BuildCommands& build);
    // What may not change under a WorkSpace test; disabled while it runs.
    void setFrozenWhileTesting(const QList<QObject*>& objects) { frozen_ = objects; }
    bool testRunning() const { return testRunning_; }

    // Start-up: the driver's context, or a warning why there is none.
    void createContext();
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
    bool glReady();
    // Compiles and links the documents and lists what the driver said; true when it was clean.
    bool compileDocuments();
    // An entry for each document that holds a NUL byte.
    QList<ShaderMessage> nulByteMessages() const;
    bool jumpTo(const ShaderMessage& message);
    // The row of the first pair the driver complains about, or -1.
    int compileWorkspace();

    PairDocument& documents_;
    PairEditor& editor_;
    WorkspaceController& workspace_;
    Prompter& prompter_;
    ContextFactory createContext_;
    QWidget* owner_;
    Texts texts_;
    ErrorListView* errorList_;
    std::unique_ptr<GlContext> context_;
    QString contextFailure_;
    QList<QObject*> frozen_;
    bool testRunning_ = false;
};

}  // namespace tessory
