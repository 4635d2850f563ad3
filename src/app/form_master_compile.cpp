// SPDX-License-Identifier: MIT
// "Test Shader", the error list and the jumps from an error to its source line.
#include "app/form_master.h"

#include "app/error_list.h"
#include "compile/compile_and_link.h"
#include "compile/driver_messages.h"
#include "compile/gl_context.h"
#include "editor/code_edit.h"
#include "editor/shader_pane.h"
#include "preview/preview_panel.h"
#include "texts/text_lines.h"
#include "texts/win1252.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBlock>

#include <climits>

namespace tessory {

const QString TForm_Master::kCompilingEntry = QStringLiteral("Compiling Shader...");

void TForm_Master::CreateGlContext() {
    GlContextResult result = env_.createGlContext();
    glContext_ = std::move(result.context);
    glFailure_ = result.failure;
    if (!glContext_) {
        message(QMessageBox::Warning, ExtraTexts.noOpenGlAtStart.arg(glFailure_));
    }
}

void TForm_Master::FormDestroy() {
    glContext_.reset();
}

bool TForm_Master::glReady() {
    if (glContext_ && glContext_->makeCurrent()) {
        return true;
    }
    setErrorList({noteEntry(ExtraTexts.noOpenGlEntry.arg(
        glContext_ ? QStringLiteral("the OpenGL context cannot be made current") : glFailure_))});
    return false;
}

void TForm_Master::setErrorList(const QList<DriverMessage>& entries) {
    ListBox_Err->setUpdatesEnabled(false);
    ListBox_Err->clear();
    appendErrorEntries(ListBox_Err, entries);
    ListBox_Err->setUpdatesEnabled(true);
}

void TForm_Master::showCompiling() {
    setErrorList({noteEntry(kCompilingEntry)});
    // Painted now, as the driver blocks the interface until it returns. Only the list is painted:
    // letting the whole event loop run here cost a fifth of the time of compiling a small pair.
    ListBox_Err->repaint();
}

void TForm_Master::compilePanes() {
    const CompileResult run = compileAndLink(glContext_->arb(), pane(PairSide::Vertex).source(),
                                             pane(PairSide::Fragment).source());
    setErrorList(errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog));
}

void TForm_Master::Action_CompileExecute() {
    showCompiling();
    if (!glReady()) {
        return;
    }
    compilePanes();
    ShowFirstErrorLine();
    // A pair the driver accepts is drawn at once; the preview shows its own messages otherwise.
    if (ListBox_Err->count() == 2 &&
        ListBox_Err->item(0)->text() == QStringLiteral("VertexShader: OK") &&
        ListBox_Err->item(1)->text() == QStringLiteral("FragmentShader: OK")) {
        previewPanel_->refresh();
    }
}

bool TForm_Master::jumpToEntry(const DriverMessage& entry) {
    const std::optional<qint64> line = entry.lineIndex();
    if (!line) {
        return false;
    }
    PairSide side = PairSide::Vertex;
    switch (entry.pane) {
        case ErrorPane::Vertex:
            side = PairSide::Vertex;
            break;
        case ErrorPane::Fragment:
            side = PairSide::Fragment;
            break;
        case ErrorPane::None:
            return false;
    }
    PageControl1->setCurrentIndex(int(side));
    if (*line < 0 || *line > pane(side).lineCount() - 1) {
        return false;
    }
    // The column only places the caret; the mark stays on the whole line. Mesa counts it in its
    // preprocessed text, where each run of blanks and comments is one character.
    qint64 column = 0;
    if (entry.column) {
        const QString text = pane(side).lineText(int(*line));
        column = sourceColumn(toWin1252Lossy(text), *entry.column) - 1;
    }
    RichEdit_MoveTo(int(side) + 1, int(*line), int(qBound(qint64(0), column, qint64(INT_MAX))));
    QCoreApplication::processEvents();
    pane(side).widget()->setFocus();
    return true;
}

void TForm_Master::ShowFirstErrorLine() {
    for (int i = 0; i < ListBox_Err->count(); ++i) {
        const std::optional<DriverMessage> entry = entryMessage(ListBox_Err->item(i));
        if (entry && jumpToEntry(*entry)) {
            return;
        }
    }
}

void TForm_Master::jumpToMessage(int step) {
    const int count = ListBox_Err->count();
    const int current = ListBox_Err->currentRow();
    const int start = current >= 0 ? current : (step > 0 ? -1 : count);
    for (int i = 1; i <= count; ++i) {
        const int row = ((start + step * i) % count + count) % count;
        const std::optional<DriverMessage> entry = entryMessage(ListBox_Err->item(row));
        if (entry && jumpToEntry(*entry)) {
            ListBox_Err->setCurrentRow(row);
            return;
        }
    }
}

void TForm_Master::ListBox_ErrDblClick() {
    const QListWidgetItem* selected = ListBox_Err->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    if (const std::optional<DriverMessage> entry = entryMessage(selected)) {
        jumpToEntry(*entry);
    }
}

// Selector 1 is the vertex pane, 2 the fragment pane.
void TForm_Master::RichEdit_MoveTo(int selector, int line, int column) {
    if (selector != 1 && selector != 2) {
        return;
    }
    UnHighLightErrorLine();
    pane(PairSide(selector - 1)).markError(line, column);
}

}  // namespace tessory
