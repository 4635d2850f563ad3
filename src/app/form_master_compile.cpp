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

void TForm_Master::createGlContext() {
    GlContextResult result = env_.createGlContext();
    glContext_ = std::move(result.context);
    glFailure_ = result.failure;
    if (!glContext_) {
        message(QMessageBox::Warning, extraTexts_.noOpenGlAtStart.arg(glFailure_));
    }
}

void TForm_Master::releaseDriver() {
    glContext_.reset();
}

bool TForm_Master::glReady() {
    if (glContext_ && glContext_->makeCurrent()) {
        return true;
    }
    setErrorList({noteEntry(extraTexts_.noOpenGlEntry.arg(
        glContext_ ? QStringLiteral("the OpenGL context cannot be made current") : glFailure_))});
    return false;
}

void TForm_Master::setErrorList(const QList<DriverMessage>& entries) {
    messageList_->setUpdatesEnabled(false);
    messageList_->clear();
    appendErrorEntries(messageList_, entries);
    messageList_->setUpdatesEnabled(true);
}

void TForm_Master::showCompiling() {
    setErrorList({noteEntry(kCompilingEntry)});
    // Painted now, as the driver blocks the interface until it returns. Only the list is painted:
    // letting the whole event loop run here cost a fifth of the time of compiling a small pair.
    messageList_->repaint();
}

QList<DriverMessage> TForm_Master::nulByteMessages() const {
    QList<DriverMessage> messages;
    for (const PairSide side : kPairSides) {
        const std::optional<qint64> line = lineOfFirstNul(toWin1252Lossy(pane(side).text()));
        if (!line) {
            continue;
        }
        DriverMessage message;
        message.pane = side;
        message.log =
            side == PairSide::Vertex ? InfoLogKind::VertexCompile : InfoLogKind::FragmentCompile;
        // No column: the jump reads a column as the driver counts it in its preprocessed text.
        message.line = *line;
        message.text = extraTexts_.nulByte
                           .arg(side == PairSide::Vertex ? QStringLiteral("VertexShader")
                                                         : QStringLiteral("FragmentShader"))
                           .arg(*line);
        message.shown = message.text;
        messages.append(message);
    }
    return messages;
}

void TForm_Master::compilePanes() {
    // The driver would stop reading at the NUL byte and call the text before it clean.
    if (const QList<DriverMessage> nul = nulByteMessages(); !nul.isEmpty()) {
        setErrorList(nul);
        return;
    }
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
    jumpToFirstError();
    // A pair the driver accepts is drawn at once; the preview shows its own messages otherwise.
    if (messageList_->count() == 2 &&
        messageList_->item(0)->text() == QStringLiteral("VertexShader: OK") &&
        messageList_->item(1)->text() == QStringLiteral("FragmentShader: OK")) {
        previewPanel_->refresh();
    }
}

bool TForm_Master::jumpToEntry(const DriverMessage& entry) {
    const std::optional<qint64> line = entry.lineIndex();
    if (!line) {
        return false;
    }
    if (!entry.pane) {
        return false;
    }
    const PairSide side = *entry.pane;
    paneTabs_->setCurrentIndex(int(side));
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
    markErrorLine(side, int(*line), int(qBound(qint64(0), column, qint64(INT_MAX))));
    QCoreApplication::processEvents();
    pane(side).widget()->setFocus();
    return true;
}

void TForm_Master::jumpToFirstError() {
    for (int i = 0; i < messageList_->count(); ++i) {
        const std::optional<DriverMessage> entry = entryMessage(messageList_->item(i));
        if (entry && jumpToEntry(*entry)) {
            return;
        }
    }
}

void TForm_Master::jumpToMessage(int step) {
    const int count = messageList_->count();
    const int current = messageList_->currentRow();
    const int start = current >= 0 ? current : (step > 0 ? -1 : count);
    for (int i = 1; i <= count; ++i) {
        const int row = ((start + step * i) % count + count) % count;
        const std::optional<DriverMessage> entry = entryMessage(messageList_->item(row));
        if (entry && jumpToEntry(*entry)) {
            messageList_->setCurrentRow(row);
            return;
        }
    }
}

void TForm_Master::jumpToSelectedMessage() {
    const QListWidgetItem* selected = messageList_->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        return;
    }
    if (const std::optional<DriverMessage> entry = entryMessage(selected)) {
        jumpToEntry(*entry);
    }
}

void TForm_Master::markErrorLine(PairSide side, int line, int column) {
    clearErrorMarks();
    pane(side).markError(line, column);
}

}  // namespace tessory
