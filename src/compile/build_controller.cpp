// SPDX-License-Identifier: MIT
#include "compile/build_controller.h"

#include "compile/driver_host.h"
#include "compile/error_list_messages.h"
#include "compile/error_list_view.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"
#include "ui/form_progress.h"
#include "ui/guarded.h"
#include "ui/prompter.h"
#include "workspace/file_io.h"
#include "workspace/open_pair.h"
#include "workspace/pair_list_view.h"
#include "workspace/workspace_controller.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTimer>

#include <climits>
#include <vector>

namespace tessory {
namespace {

const QString kCompilingEntry = QStringLiteral("Compiling Shader...");

// A compile that takes longer than this freezes the commands; a short one would only flicker
// them.
constexpr int kFreezeAfterMs = 150;

// Escape, pressed anywhere in the program while the driver works, ends the driver host.
class EscapeEndsDriver : public QObject {
public:
    explicit EscapeEndsDriver(DriverHost& host) : host_(host) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~EscapeEndsDriver() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            host_.cancel();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    DriverHost& host_;
};

// Turns widgets and commands off for the length of a task and back to what they were after it,
// however the task ends.
class DisabledWhileRunning {
public:
    explicit DisabledWhileRunning(const QList<QObject*>& objects) {
        for (QObject* object : objects) {
            if (auto* action = qobject_cast<QAction*>(object)) {
                saved_.push_back({object, action->isEnabled()});
                action->setEnabled(false);
            } else if (auto* widget = qobject_cast<QWidget*>(object)) {
                saved_.push_back({object, widget->isEnabled()});
                widget->setEnabled(false);
            }
        }
    }
    ~DisabledWhileRunning() {
        for (const auto& [object, enabled] : saved_) {
            if (auto* action = qobject_cast<QAction*>(object.data())) {
                action->setEnabled(enabled);
            } else if (auto* widget = qobject_cast<QWidget*>(object.data())) {
                widget->setEnabled(enabled);
            }
        }
    }
    DisabledWhileRunning(const DisabledWhileRunning&) = delete;
    DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

private:
    std::vector<std::pair<QPointer<QObject>, bool>> saved_;
};

}  // namespace

BuildController::BuildController(PairDocument& documents, PairEditor& editor,
                                 WorkspaceController& workspace, ProgramContext& program,
                                 Prompter& prompter, DriverHost& host, QWidget* owner)
    : QObject(owner),
      documents_(documents),
      editor_(editor),
      workspace_(workspace),
      program_(program),
      prompter_(prompter),
      host_(host),
      owner_(owner),
      texts_(Texts::of(false)),
      errorList_(new ErrorListView) {
    connect(errorList_, &ErrorListView::messageActivated, this,
            [this](const ShaderMessage& message) { guarded([&] { jumpTo(message); }); });
}

BuildController::~BuildController() = default;

void BuildController::guarded(const std::function<void()>& command) {
    runGuarded(prompter_, owner_, command);
}

void BuildController::connectBuildActions(const BuildCommands& build) {
    connect(build.compile, &QAction::triggered, this, &BuildController::Action_CompileExecute);
    connect(build.testAll, &QAction::triggered, this, &BuildController::Action_TestAllExecute);
    connect(build.nextMessage, &QAction::triggered, this,
            [this] { guarded([this] { jumpToMessage(1); }); });
    connect(build.previousMessage, &QAction::triggered, this,
            [this] { guarded([this] { jumpToMessage(-1); }); });
}

void BuildController::startDriver() {
    connect(&host_, &DriverHost::started, this, [this](const QString& trouble) {
        if (trouble.isEmpty() || driverWarned_) {
            return;
        }
        driverWarned_ = true;
        prompter_.showMessage(owner_, QMessageBox::Warning,
                              texts_.extra().noOpenGlAtStart.arg(trouble), QMessageBox::Ok);
    });
    host_.start();
}

void BuildController::clearMessages() {
    errorList_->clear();
}

BuildController::HostAnswer BuildController::compileOnHost(quint8 kind, const QByteArray& request,
                                                           const QString& pairName) {
    compiling_ = true;
    // A question about a file changed on disk waits until the driver has answered.
    documents_.setChecksPaused(true);
    const auto done = qScopeGuard([this] {
        compiling_ = false;
        documents_.setChecksPaused(testRunning_);
    });
    const EscapeEndsDriver escape(host_);
    std::optional<DisabledWhileRunning> frozen;
    QTimer freeze;
    freeze.setSingleShot(true);
    connect(&freeze, &QTimer::timeout, this, [&] { frozen.emplace(frozen_); });
    if (!testRunning_) {
        freeze.start(kFreezeAfterMs);
    }
    const DriverHost::Outcome outcome = host_.call(kind, request, timeLimitSeconds_ * 1000);
    if (outcome.reply) {
        return {*outcome.reply, {}, false};
    }
    return {std::nullopt, failureText(outcome.failure, pairName),
            outcome.failure.kind == HostFailure::Kind::Cancelled};
}

QString BuildController::failureText(const HostFailure& failure, const QString& pairName) const {
    const auto& extra = texts_.extra();
    switch (failure.kind) {
        case HostFailure::Kind::Crashed:
            return failure.signal != 0 ? extra.driverStopped.arg(failure.signal).arg(pairName)
                                       : extra.driverEnded.arg(pairName);
        case HostFailure::Kind::NotStarted:
            // Ended by a signal while it was loading the driver.
            if (failure.signal != 0) {
                return extra.driverStopped.arg(failure.signal).arg(pairName);
            }
            break;
        case HostFailure::Kind::TimedOut:
            return extra.driverTooSlow.arg(failure.limitMs / 1000.0);
        case HostFailure::Kind::Cancelled:
            return extra.compileCancelled;
        case HostFailure::Kind::Refused:
            break;
    }
    return extra.noOpenGlEntry.arg(failure.detail);
}

QList<ShaderMessage> BuildController::nulByteMessages(const LiveCheckRequest& request,
                                                      bool fromDocuments) const {
    QList<ShaderMessage> messages;
    for (const LiveStage& stage : request.stages) {
        // A document's source for the driver ends at its NUL byte, as the driver would read it.
        const std::optional<qint64> line = lineOfFirstNul(
            fromDocuments ? toWin1252Lossy(documents_.document(stage.side).text()) : stage.bytes);
        if (!line) {
            continue;
        }
        ShaderMessage message;
        message.pane = stage.side;
        message.origin = compileOrigin(sideStage(stage.side));
        // No column: the jump reads a column as the driver counts it in its preprocessed text.
        message.line = *line;
        message.text = texts_.extra().nulByte.arg(sideName(stage.side)).arg(*line);
        message.shown = message.text;
        messages.append(message);
    }
    return messages;
}

BuildController::JobResult BuildController::compileJob(const ProgramJob& job,
                                                       const QString& pairName, bool fromFiles) {
    JobResult result;
    if (job.classic) {
        const HostAnswer answer =
            compileOnHost(HostKind::CompilePair,
                          encodePairCompile(PairCompileRequest{
                              job.request.stages[0].bytes, job.request.stages[1].bytes, fromFiles}),
                          pairName);
        if (!answer.reply) {
            result.failed = answer;
            return result;
        }
        const PairCompileReply run = decodePairCompileReply(*answer.reply);
        result.messages = errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog);
        result.clean = !run.hasLog();
        return result;
    }
    const HostAnswer answer =
        compileOnHost(HostKind::CheckProgram, encodeLiveCheck(job.request), pairName);
    if (!answer.reply) {
        result.failed = answer;
        return result;
    }
    const LiveCheckReply reply = decodeLiveCheckReply(*answer.reply);
    QList<PairSide> panes;
    for (const LiveStage& stage : job.request.stages) {
        panes.append(stage.side);
    }
    result.messages = programListMessages(reply.messages, panes);
    result.clean = reply.messages.isEmpty();
    return result;
}

bool BuildController::compileDocuments() {
    const ProgramJob job = program_.job();
    // The driver would stop reading at the NUL byte and call the text before it clean.
    if (const QList<ShaderMessage> nul = nulByteMessages(job.request, true); !nul.isEmpty()) {
        errorList_->showMessages(nul);
        emit diagnosticsReady(nul, false);
        return false;
    }
    const JobResult result = compileJob(job, workspace_.openPair().name(), false);
    if (result.failed) {
        errorList_->showMessages({noteMessage(result.failed->failure)});
        return false;
    }
    QList<ShaderMessage> listed = result.messages;
    if (!job.projectProblem.isEmpty()) {
        listed.prepend(noteMessage(texts_.extra().projectFileUnusable.arg(job.projectProblem)));
    }
    errorList_->showMessages(listed);
    emit diagnosticsReady(result.messages, result.clean);
    return result.clean;
}

void BuildController::Action_CompileExecute() {
    guarded([this] {
        if (compiling_) {
            return;
        }
        errorList_->showNote(kCompilingEntry);
        if (compileDocuments()) {
            return;
        }
        jumpToFirstError();
    });
}

bool BuildController::jumpTo(const ShaderMessage& message) {
    const std::optional<qint64> line = message.lineIndex();
    if (!line || !message.pane) {
        return false;
    }
    // A message about a file a stage includes goes to that file, in a tab of its own.
    // The engine names a file found through a relative include directory as the working
    // directory reaches it.
    const QString file = message.path.isEmpty() ? QString() : absoluteCleanPath(message.path);
    const QString paneFile = documents_.document(*message.pane).stamp().path();
    if (!file.isEmpty() && file != absoluteCleanPath(paneFile) && QFileInfo(file).isFile()) {
        const std::optional<PairSide> shown = editor_.showFile(file);
        if (!shown) {
            return false;
        }
        ShaderMessage there = message;
        there.pane = *shown;
        return jumpTo(there);
    }
    // The column only places the caret; the mark stays on the whole line. Mesa counts it in its
    // preprocessed text, where each run of blanks and comments is one character; the engine's
    // messages, which name their file, count it in the file.
    qint64 column = 0;
    const ShaderDocument& document = documents_.document(*message.pane);
    if (!message.path.isEmpty() && message.column) {
        column = *message.column - 1;
    } else if (message.column && *line >= 0 && *line < document.lineCount()) {
        column = sourceColumn(toWin1252Lossy(document.lineText(int(*line))), *message.column) - 1;
    }
    return editor_.showLocation(*message.pane, *line,
                                int(qBound(qint64(0), column, qint64(INT_MAX))));
}

void BuildController::jumpToFirstError() {
    for (int i = 0; i < errorList_->count(); ++i) {
        const std::optional<ShaderMessage> entry = errorList_->message(i);
        if (entry && jumpTo(*entry)) {
            return;
        }
    }
}

void BuildController::jumpToMessage(int step) {
    const int count = errorList_->count();
    const int current = errorList_->currentRow();
    const int start = current >= 0 ? current : (step > 0 ? -1 : count);
    for (int i = 1; i <= count; ++i) {
        const int row = ((start + step * i) % count + count) % count;
        const std::optional<ShaderMessage> entry = errorList_->message(row);
        if (entry && jumpTo(*entry)) {
            errorList_->setCurrentRow(row);
            return;
        }
    }
}

void BuildController::jumpToSelectedMessage() {
    const QListWidgetItem* selected = errorList_->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    if (const std::optional<ShaderMessage> entry = errorList_->message(errorList_->row(selected))) {
        jumpTo(*entry);
    }
}

void BuildController::Action_TestAllExecute() {
    guarded([this] {
        const PairListView* list = workspace_.listView();
        const int selectedRow = list->currentRow();
        if (compiling_ || list->count() == 0 || selectedRow < 0 || !workspace_.maybeSave()) {
            return;
        }
        errorList_->showNote(kCompilingEntry);
        {
            // The window keeps repainting while the test runs; nothing may change the
            // WorkSpace, the pair or the documents under it, nor start a second test.
            const DisabledWhileRunning frozen(frozen_);
            testRunning_ = true;
            documents_.setChecksPaused(true);
            const auto stopped = qScopeGuard([this] {
                testRunning_ = false;
                documents_.setChecksPaused(false);
            });
            const WorkspaceRun run = compileWorkspace();
            workspace_.openListedPair(run.reportedRow >= 0 ? run.reportedRow : selectedRow);
            if (!run.stopped.isEmpty()) {
                errorList_->showMessages({noteMessage(run.stopped)});
            } else if (!compileDocuments()) {
                jumpToFirstError();
            }
        }
        // Files changed while the test ran are looked at now.
        documents_.checkFilesOnDisk();
    });
}

BuildController::WorkspaceRun BuildController::compileWorkspace() {
    const PairListView* list = workspace_.listView();
    const OpenPair& pair = workspace_.openPair();
    auto* progress = new TForm_Progress(owner_);
    const auto closeProgress = qScopeGuard([progress] {
        progress->hide();
        progress->deleteLater();
    });
    progress->ProgressBar1->setRange(0, list->count() - 1);
    progress->show();
    // The bar follows the pairs but is painted, with the rest of the window, about once a frame:
    // painting it for every pair was a large part of the command's own time on small pairs.
    QElapsedTimer sincePaint;
    for (int i = 0; i < list->count(); ++i) {
        if (!sincePaint.isValid() || sincePaint.elapsed() >= 20) {
            progress->ProgressBar1->setValue(i);
            QCoreApplication::processEvents();
            sincePaint.start();
        }
        const QString name = list->item(i)->text();
        const ProgramPaths paths = pair.paths(name);
        // Owned by the progress window, which stays on top: a box owned by the main window
        // would open behind it.
        if (!pair.filesExist(name)) {
            const auto gone = [&paths](PairSide side) {
                return !paths[int(side)].isEmpty() && !QFileInfo(paths[int(side)]).isFile();
            };
            const QString text =
                gone(PairSide::Vertex) ? texts_.message(MsgCouldNotLoadVertex)
                : gone(PairSide::Fragment)
                    ? texts_.message(MsgCouldNotLoadFragment)
                    : texts_.editor.fileNotLoaded.arg(paths[int(PairSide::Compute)]);
            prompter_.showMessage(progress, QMessageBox::Critical, text, QMessageBox::Ok);
            continue;
        }
        const ProgramJob job = program_.jobForFiles(paths, name);
        // A NUL byte ends what the driver reads: the pair is reported, as its pane says why.
        if (!nulByteMessages(job.request, false).isEmpty()) {
            return {i, {}};
        }
        const JobResult result = compileJob(job, name, true);
        if (result.failed) {
            // Cancelled: back to the pair the test started from.
            return {result.failed->cancelled ? -1 : i, result.failed->failure};
        }
        if (!result.clean) {
            return {i, {}};
        }
    }
    return {};
}

}  // namespace tessory
