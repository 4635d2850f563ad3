// SPDX-License-Identifier: MIT
#include "app/live_wiring.h"

#include "compile/build_controller.h"
#include "compile/live_check.h"
#include "compile/program_context.h"
#include "compile/target_panel.h"
#include "editor/code_edit.h"
#include "editor/diagnostic_marks.h"
#include "editor/pair_document.h"
#include "editor/pair_editor.h"
#include "editor/shader_pane.h"
#include "options/app_settings.h"
#include "texts/win1252.h"
#include "workspace/file_io.h"
#include "workspace/workspace_controller.h"

#include <QStatusBar>
#include <QTextDocument>

#include <array>
#include <memory>

namespace tessory {
namespace {

using PaneMarks = std::array<DiagnosticMarks*, kPaneCount>;

void showLive(const PaneMarks& marks, const LiveCheckReply& reply) {
    std::array<QList<PaneDiagnostic>, kPaneCount> byPane;
    for (const LiveMark& mark : reply.marks) {
        if (mark.line >= 0) {
            byPane[int(mark.side)].append(
                {mark.line, mark.column, mark.severity == MessageSeverity::Warning, mark.text});
        }
    }
    for (const PairSide side : kPanes) {
        marks[int(side)]->show(byPane[int(side)]);
    }
}

// Test Shader's messages in the panes too: its columns are the driver's, counted in the text
// after the preprocessor, as the live compile's engine reads them.
void showTested(const PaneMarks& marks, const PairDocument& documents,
                const QList<ShaderMessage>& messages) {
    std::array<QList<PaneDiagnostic>, kPaneCount> byPane;
    for (const ShaderMessage& message : messages) {
        const std::optional<qint64> line = message.lineIndex();
        if (!message.pane || !line) {
            continue;
        }
        const ShaderDocument& document = documents.document(*message.pane);
        // A message about an included file is marked where the live compile marks it: on the
        // #include line.
        const bool ofIncluded =
            !message.path.isEmpty() && absoluteCleanPath(message.path) != document.stamp().path();
        if (ofIncluded || *line < 0 || *line >= document.lineCount()) {
            continue;
        }
        int column = -1;
        // The engine's messages, which name their file, count columns in it.
        if (message.column && !message.path.isEmpty()) {
            column = int(*message.column - 1);
        } else if (message.column) {
            column = int(
                sourceColumn(toWin1252Lossy(document.lineText(int(*line))), *message.column) - 1);
        }
        byPane[int(*message.pane)].append(
            {int(*line), column, message.severity == MessageSeverity::Warning, message.text});
    }
    for (const PairSide side : kPanes) {
        marks[int(side)]->show(byPane[int(side)]);
    }
}

}  // namespace

LiveCheck* startLiveCheck(const QString& hostProgram, PairDocument& documents, PairEditor& editor,
                          BuildController& build, ProgramContext& program,
                          const AppSettings& settings, QObject* parent) {
    auto* live = new LiveCheck(
        hostProgram, [&program] { return program.job().request; },
        [&settings] { return settings.values().CompileTimeLimit; }, parent);
    editor.setIncludeResolver([&program](const QString& name, const QString& from) {
        return program.resolveInclude(name, from);
    });
    PaneMarks marks{};
    for (const PairSide side : kPanes) {
        marks[int(side)] = new DiagnosticMarks(editor.pane(side).widget());
        // A text replaced as a whole has none of the marks' places until it is checked.
        QObject::connect(&documents.document(side), &ShaderDocument::replaced, marks[int(side)],
                         [mark = marks[int(side)]] { mark->show({}); });
        QObject::connect(documents.document(side).textDocument(), &QTextDocument::contentsChanged,
                         live, &LiveCheck::sourcesEdited);
    }
    QObject::connect(live, &LiveCheck::checked, live,
                     [marks](const LiveCheckReply& reply) { showLive(marks, reply); });
    QObject::connect(&build, &BuildController::diagnosticsReady, live,
                     [marks, &documents](const QList<ShaderMessage>& messages, bool) {
                         showTested(marks, documents, messages);
                     });
    return live;
}

TargetPanel* addTargetPanel(QStatusBar* bar, ProgramContext& program,
                            const WorkspaceController& workspace, LiveCheck& live) {
    auto* panel = new TargetPanel;
    bar->addPermanentWidget(panel);
    const auto show = [panel, &program] {
        panel->showSetup(program.setup(), program.chosenTarget());
    };
    QObject::connect(&program, &ProgramContext::setupChanged, panel,
                     [panel, &program](const ProgramSetup& setup) {
                         panel->showSetup(setup, program.chosenTarget());
                     });
    QObject::connect(&workspace, &WorkspaceController::pairLoaded, panel, show);
    QObject::connect(panel, &TargetPanel::targetChosen, panel,
                     [show, &program, &live](std::optional<Target> target) {
                         program.chooseTarget(target);
                         show();
                         // The marks and the preview follow the new target at once.
                         live.checkNow();
                     });
    show();
    return panel;
}

}  // namespace tessory
