// SPDX-License-Identifier: MIT
#include "editor/pair_editor.h"

#include "editor/assist_model.h"
#include "editor/code_edit.h"
#include "editor/find_bar.h"
#include "editor/pair_document.h"
#include "editor/pane_assist.h"
#include "editor/shader_pane.h"
#include "texts/assist_texts.h"
#include "workspace/file_io.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include <climits>

namespace tessory {
namespace {

QWidget* makeTabSheet(const QString& name, QWidget* outline, QWidget* content) {
    auto* sheet = new QWidget;
    sheet->setObjectName(name);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(outline);
    layout->addWidget(content);
    return sheet;
}

// Jumps back that Go Back keeps; older ones are forgotten.
constexpr int kHistoryLength = 100;

}  // namespace

PairEditor::PairEditor(PairDocument& documents, QWidget* parent)
    : QWidget(parent), documents_(documents), texts_(Texts::of(false)) {
    // The two panes of a pair keep the names they always had; the other stages follow them.
    const QString paneNames[] = {
        QStringLiteral("RichEdit_Vertex"),   QStringLiteral("RichEdit_Fragment"),
        QStringLiteral("RichEdit_Geometry"), QStringLiteral("RichEdit_TessControl"),
        QStringLiteral("RichEdit_TessEval"), QStringLiteral("RichEdit_Compute"),
        QStringLiteral("RichEdit_Included")};
    static_assert(sizeof(paneNames) / sizeof(paneNames[0]) == kPaneCount);
    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    std::array<ShaderDocument*, kPaneCount> stageDocuments{};
    for (const PairSide side : kPanes) {
        stageDocuments[int(side)] = &documents.document(side);
    }
    assistModel_ = new AssistModel(stageDocuments, this);
    for (const PairSide side : kPanes) {
        const int i = int(side);
        const QString pageName = QStringLiteral("TabSheet%1").arg(i + 1);
        panes_[i] = new ShaderPane(documents.document(side), paneNames[i]);
        auto* outline = new QComboBox;
        outline->setObjectName(pageName + QStringLiteral("_Outline"));
        outline->setMaxVisibleItems(30);
        outline->setFocusPolicy(Qt::ClickFocus);
        assists_[i] = new PaneAssist(*assistModel_, side, *panes_[i]->widget(), *outline);
        pages_[i] = makeTabSheet(pageName, outline, panes_[i]->widget());
        // The pages, not their tabs, are disabled without a pair, so the active tab never moves.
        pages_[i]->setEnabled(false);
        tabs_->addTab(pages_[i], sideName(side));
        // A stage's tab is there while the program has its file.
        connect(&documents.document(side), &ShaderDocument::stampChanged, this,
                &PairEditor::showStageTabs);
    }
    tabs_->setCurrentIndex(1);
    showStageTabs();

    // The find bar sits under the panes, as in other code editors.
    findBar_ = new FindBar;
    findBar_->setObjectName(QStringLiteral("FindBar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(tabs_);
    column->addWidget(findBar_);

    for (const PairSide side : kPanes) {
        CodeEdit* edit = pane(side).widget();
        connect(edit, &CodeEdit::keyDown, this,
                [this, side](int key, Qt::KeyboardModifiers modifiers) {
                    paneKeyDown(side, key, modifiers);
                });
        connect(edit, &CodeEdit::mouseDown, this, &PairEditor::clearErrorMarks);
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this,
                [this, side] { showCaret(side); });
        connect(edit, &QPlainTextEdit::selectionChanged, this, [this, side] { showCaret(side); });
        // Undo can also become possible or impossible without a key press (a drop, a paste).
        connect(edit->document(), &QTextDocument::undoAvailable, this,
                &PairEditor::updateEditActions);
        connect(edit, &CodeEdit::zoomStepChanged, this, [this](int step) {
            setZoom(step);
            emit zoomChanged(pane(PairSide::Vertex).widget()->zoomStep());
        });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &PairEditor::activeTabChanged);
    findBar_->setEditor(activeEdit());
    connectAssist();
}

void PairEditor::showStageTabs() {
    // Documents are loaded one after the other, so a tab may be hidden for a moment: the tab that
    // was active comes back as soon as its stage is there again.
    const int active = wantedTab_ >= 0 ? wantedTab_ : tabs_->currentIndex();
    const QScopedValueRollback switching(switchingTabs_, true);
    bool any = false;
    for (const PairSide side : kProgramSides) {
        any = any || documents_.hasStage(side);
    }
    for (const PairSide side : kProgramSides) {
        const bool ofPair = side == PairSide::Vertex || side == PairSide::Fragment;
        tabs_->setTabVisible(int(side), any ? documents_.hasStage(side) : ofPair);
    }
    const QString included = documents_.document(PairSide::Included).stamp().path();
    tabs_->setTabVisible(int(PairSide::Included), !included.isEmpty());
    tabs_->setTabText(int(PairSide::Included), QFileInfo(included).fileName());
    tabs_->setTabToolTip(int(PairSide::Included), included);
    if (tabs_->isTabVisible(active)) {
        tabs_->setCurrentIndex(active);
        wantedTab_ = -1;
        return;
    }
    wantedTab_ = active;
    for (const PairSide side : {PairSide::Fragment, PairSide::Vertex, PairSide::Compute}) {
        if (tabs_->isTabVisible(int(side))) {
            tabs_->setCurrentIndex(int(side));
            return;
        }
    }
}

void PairEditor::connectAssist() {
    for (const PairSide side : kPanes) {
        connect(assists_[int(side)], &PaneAssist::navigate, this, &PairEditor::navigate);
        connect(assists_[int(side)], &PaneAssist::backRequested, this, &PairEditor::goBack);
        connect(assists_[int(side)], &PaneAssist::includeRequested, this,
                [this, side](const QString& name) { openInclude(side, name); });
    }
    connect(assistModel_, &AssistModel::switchedOff, this, [this](PairSide side, bool tooLarge) {
        const AssistTexts texts = assistTexts(texts_.german);
        const QString pane = side == PairSide::Vertex     ? texts.vertexShader
                             : side == PairSide::Fragment ? texts.fragmentShader
                                                          : sideName(side);
        emit noteShown((tooLarge ? texts.offTooLarge : texts.offTooSlow).arg(pane));
    });
}

void PairEditor::navigate(const glsl::Location& to) {
    const std::optional<PairSide> side = assistModel_->sideOfFile(to.file);
    if (!side) {
        emit noteShown(assistTexts(texts_.german).declaredIn.arg(to.file).arg(to.line + 1));
        return;
    }
    const QTextBlock block = pane(*side).document().textDocument()->findBlockByNumber(to.line);
    if (!block.isValid()) {
        return;
    }
    history_.append({activeSide(), activeEdit()->textCursor().position()});
    if (history_.size() > kHistoryLength) {
        history_.removeFirst();
    }
    tabs_->setCurrentIndex(int(*side));
    CodeEdit* edit = pane(*side).widget();
    QTextCursor caret(block);
    caret.setPosition(block.position() + qBound(0, to.column, block.length() - 1));
    edit->setTextCursor(caret);
    edit->centerCursor();
    edit->setFocus();
}

std::optional<PairSide> PairEditor::showFile(const QString& path) {
    for (const PairSide side : kPanes) {
        const QString& shown = documents_.document(side).stamp().path();
        if (!shown.isEmpty() && absoluteCleanPath(shown) == absoluteCleanPath(path)) {
            return side;
        }
    }
    if (!documents_.openIncluded(path)) {
        return std::nullopt;
    }
    return PairSide::Included;
}

void PairEditor::openInclude(PairSide from, const QString& name) {
    const QString including = documents_.document(from).stamp().path();
    const QString path = resolveInclude_ ? resolveInclude_(name, including) : QString();
    if (path.isEmpty()) {
        emit noteShown(texts_.editor.includeNotFound.arg(name, including));
        return;
    }
    try {
        if (const std::optional<PairSide> side = showFile(path)) {
            navigate({documents_.document(*side).stamp().path(), 0, 0});
        }
    } catch (const FileError& error) {
        emit noteShown(QString::fromUtf8(error.what()));
    }
}

void PairEditor::goBack() {
    if (history_.isEmpty()) {
        return;
    }
    const Place place = history_.takeLast();
    tabs_->setCurrentIndex(int(place.side));
    CodeEdit* edit = pane(place.side).widget();
    QTextCursor caret(edit->document());
    caret.setPosition(qBound(0, place.position, edit->document()->characterCount() - 1));
    edit->setTextCursor(caret);
    edit->ensureCursorVisible();
    edit->setFocus();
}

QList<QWidget*> PairEditor::pages() const {
    return {pages_.cbegin(), pages_.cend()};
}

CodeEdit* PairEditor::activeEdit() const {
    const int index = tabs_->currentIndex();
    return index >= 0 && index < kPaneCount ? pane(PairSide(index)).widget() : nullptr;
}

PairSide PairEditor::activeSide() const {
    const int index = tabs_->currentIndex();
    return index >= 0 && index < kPaneCount ? PairSide(index) : PairSide::Fragment;
}

void PairEditor::connectEditActions(const EditCommands& edit, const ViewCommands& view) {
    edit_ = edit;
    connect(edit.undo, &QAction::triggered, this,
            [this] { runEditCommand(&QPlainTextEdit::undo); });
    connect(edit.cut, &QAction::triggered, this, [this] { runEditCommand(&QPlainTextEdit::cut); });
    connect(edit.copy, &QAction::triggered, this,
            [this] { runEditCommand(&QPlainTextEdit::copy); });
    connect(edit.paste, &QAction::triggered, this,
            [this] { runEditCommand(&QPlainTextEdit::paste); });
    connect(edit.find, &QAction::triggered, findBar_, &FindBar::openFind);
    connect(edit.findNext, &QAction::triggered, findBar_, &FindBar::findNext);
    connect(edit.findPrevious, &QAction::triggered, findBar_, &FindBar::findPrevious);
    connect(edit.goToLine, &QAction::triggered, findBar_, &FindBar::openGoToLine);
    const auto assist = [this](void (PaneAssist::*command)()) {
        return [this, command] { (assists_[int(activeSide())]->*command)(); };
    };
    connect(edit.complete, &QAction::triggered, this, assist(&PaneAssist::complete));
    connect(edit.goToDefinition, &QAction::triggered, this, assist(&PaneAssist::goToDefinition));
    connect(edit.quickHelp, &QAction::triggered, this, assist(&PaneAssist::showQuickHelp));
    connect(edit.outline, &QAction::triggered, this, assist(&PaneAssist::showOutline));
    connect(edit.goBack, &QAction::triggered, this, &PairEditor::goBack);
    const auto zoom = [this](void (CodeEdit::*step)()) {
        return [this, step] {
            if (CodeEdit* edit = activeEdit()) {
                (edit->*step)();
            }
        };
    };
    connect(view.zoomIn, &QAction::triggered, this, zoom(&CodeEdit::zoomIn));
    connect(view.zoomOut, &QAction::triggered, this, zoom(&CodeEdit::zoomOut));
    connect(view.zoomReset, &QAction::triggered, this, zoom(&CodeEdit::resetZoom));
}

void PairEditor::setTexts(const Texts& texts) {
    texts_ = texts;
    findBar_->setGerman(texts.german);
    for (PaneAssist* assist : assists_) {
        assist->setGerman(texts.german);
    }
}

void PairEditor::setFormats(const CategoryFormats& formats) {
    for (const PairSide side : kPanes) {
        pane(side).document().setFormats(formats);
    }
}

void PairEditor::setZoom(int step) {
    for (const PairSide side : kPanes) {
        pane(side).widget()->setZoomStep(step);
    }
}

void PairEditor::setPairSelected(bool selected) {
    // Without a pair there is nothing to search; the focus stays where it is.
    if (!selected) {
        findBar_->hide();
    }
    for (QWidget* page : pages_) {
        page->setEnabled(selected);
    }
}

void PairEditor::showStatus() {
    emit caretShown(QStringLiteral("Cursor:"));
    emit insertModeShown(insertModeText(activeSide()));
}

QString PairEditor::insertModeText(PairSide side) const {
    const bool overwrite = pane(side).overwrite();
    if (side == PairSide::Vertex) {
        return texts_.message(overwrite ? MsgOverwriteVertex : MsgInsertVertex);
    }
    if (side == PairSide::Fragment) {
        return texts_.message(overwrite ? MsgOverwriteFragment : MsgInsertFragment);
    }
    // "Insert [Geometry]", or the included file's name.
    const QString name = side == PairSide::Included
                             ? QFileInfo(documents_.document(side).stamp().path()).fileName()
                             : sideWord(side);
    QString text = texts_.message(overwrite ? MsgOverwriteVertex : MsgInsertVertex);
    return text.replace(QStringLiteral("[Vertex]"), QLatin1Char('[') + name + QLatin1Char(']'));
}

void PairEditor::paneKeyDown(PairSide side, int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Insert && modifiers == Qt::NoModifier &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        pane(side).setOverwrite(!pane(side).overwrite());
        emit insertModeShown(insertModeText(side));
    }
    updateEditActions();
    clearErrorMarks();
}

void PairEditor::showCaret(PairSide side) {
    const QPlainTextEdit* edit = pane(side).widget();
    const int start = edit->textCursor().selectionStart();
    const QTextBlock block = edit->document()->findBlock(start);
    emit caretShown(QStringLiteral("Cursor: %1 : %2")
                        .arg(block.blockNumber() + 1)
                        .arg(start - block.position() + 1));
    updateEditActions();
}

void PairEditor::activeTabChanged() {
    if (!switchingTabs_) {
        wantedTab_ = -1;
    }
    findBar_->setEditor(activeEdit());
    emit insertModeShown(insertModeText(activeSide()));
    updateEditActions();
}

void PairEditor::updateEditActions() {
    const CodeEdit* edit = activeEdit();
    if (edit == nullptr || edit_.undo == nullptr) {
        return;
    }
    const bool selection = edit->textCursor().hasSelection();
    edit_.cut->setEnabled(selection);
    edit_.copy->setEnabled(selection);
    edit_.undo->setEnabled(edit->document()->isUndoAvailable());
    edit_.paste->setEnabled(edit->canPaste());
}

void PairEditor::runEditCommand(void (QPlainTextEdit::*command)()) {
    if (CodeEdit* edit = activeEdit()) {
        (edit->*command)();
    }
    updateEditActions();
}

bool PairEditor::showLocation(PairSide side, qint64 line, int column) {
    tabs_->setCurrentIndex(int(side));
    if (line < 0 || line > pane(side).document().lineCount() - 1) {
        return false;
    }
    clearErrorMarks();
    pane(side).markError(int(line), column);
    QCoreApplication::processEvents();
    pane(side).widget()->setFocus();
    return true;
}

void PairEditor::clearErrorMarks() {
    for (const PairSide side : kPanes) {
        pane(side).clearMark();
    }
}

}  // namespace tessory
