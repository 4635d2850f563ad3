// SPDX-License-Identifier: MIT
#include "editor/pane_assist.h"

#include "editor/assist_model.h"
#include "editor/assist_popups.h"
#include "editor/code_edit.h"
#include "editor/glsl_hover.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QToolTip>

namespace tessory {

PaneAssist::PaneAssist(AssistModel& model, PairSide side, CodeEdit& edit, QComboBox& outline)
    : QObject(&edit),
      model_(model),
      side_(side),
      edit_(edit),
      outline_(outline),
      completion_(new CompletionPopup(&edit)),
      signature_(new SignaturePopup(&edit)) {
    edit.installEventFilter(this);
    edit.viewport()->installEventFilter(this);
    connect(&edit, &QPlainTextEdit::cursorPositionChanged, this, &PaneAssist::caretMoved);
    connect(&model, &AssistModel::parsed, this, [this](PairSide parsed) {
        if (parsed == side_) {
            fillOutline();
        }
    });
    connect(&model, &AssistModel::switchedOff, this, [this](PairSide off) {
        if (off == side_) {
            hidePopups();
            entries_.clear();
            outline_.clear();
        }
    });
    connect(completion_, &QListWidget::itemClicked, this, &PaneAssist::accept);
    connect(&outline, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < entries_.size()) {
            const glsl::OutlineEntry& e = entries_[index];
            emit navigate({model_.fileName(side_), e.line, e.column});
        }
    });
}

template <typename Query>
auto PaneAssist::timed(Query query) {
    QElapsedTimer timer;
    timer.start();
    auto result = query(model_.program());
    if (timer.elapsed() > kSlowQueryMs) {
        model_.switchOff(side_, false);
    }
    return result;
}

const QString& PaneAssist::window(int line) {
    QTextBlock block = edit_.document()->findBlockByNumber(line);
    window_ = assistWindow(line, [&block](int) {
        const QString text = block.text();
        block = block.previous();
        return text;
    });
    return window_;
}

glsl::TextPosition PaneAssist::caret() const {
    const QTextCursor c = edit_.textCursor();
    return {c.blockNumber(), c.positionInBlock()};
}

QRect PaneAssist::caretRect() const {
    return edit_.cursorRect().translated(edit_.viewport()->pos());
}

void PaneAssist::complete() {
    signature_->hide();
    propose(completer_, true);
}

void PaneAssist::propose(const AssistProvider& provider, bool opened) {
    if (!model_.isOn(side_)) {
        hidePopups();
        return;
    }
    const glsl::TextPosition at = caret();
    const QString& text = window(at.line);
    const AssistProposal proposal = timed([&](const glsl::Program& program) {
        return provider.propose({program, int(side_), text, at});
    });
    if (const auto* c = std::get_if<glsl::Completion>(&proposal)) {
        // A name typed out in full needs no list.
        const bool done = c->items.size() == 1 && c->items.front().label == c->prefix;
        if ((opened || !c->prefix.isEmpty() || c->memberAccess) && !done) {
            completion_->propose(*c, caretRect());
            return;
        }
    } else if (const auto* help = std::get_if<glsl::SignatureHelp>(&proposal)) {
        signature_->propose(*help, caretRect());
        return;
    }
    if (&provider == &completer_) {
        completion_->hide();
    } else {
        signature_->hide();
    }
}

void PaneAssist::accept() {
    const glsl::Completion& c = completion_->completion();
    const QString label = completion_->currentLabel();
    completion_->hide();
    const QTextBlock block = edit_.document()->findBlockByNumber(c.replaceFrom.line);
    if (label.isEmpty() || !block.isValid()) {
        return;
    }
    QTextCursor cursor = edit_.textCursor();
    cursor.setPosition(block.position() + c.replaceFrom.column, QTextCursor::KeepAnchor);
    cursor.insertText(label);
    edit_.setTextCursor(cursor);
}

void PaneAssist::hidePopups() {
    completion_->hide();
    signature_->hide();
}

void PaneAssist::showQuickHelp() {
    if (!model_.isOn(side_)) {
        return;
    }
    const glsl::TextPosition at = caret();
    const QString& text = window(at.line);
    const auto h = timed([&](const glsl::Program& program) {
        return glsl::hover(program, int(side_), text, at, german_);
    });
    if (h) {
        QToolTip::showText(edit_.mapToGlobal(caretRect().bottomLeft()), h->text, &edit_);
    }
}

std::optional<glsl::Location> PaneAssist::definitionAt(glsl::TextPosition at) {
    if (!model_.isOn(side_)) {
        return std::nullopt;
    }
    const QString& text = window(at.line);
    return timed([&](const glsl::Program& program) {
        return glsl::definition(program, int(side_), text, at);
    });
}

bool PaneAssist::requestInclude(int line) {
    const std::optional<glsl::IncludeName> include =
        glsl::includeNameOf(edit_.document()->findBlockByNumber(line).text());
    if (include) {
        emit includeRequested(include->name);
    }
    return include.has_value();
}

void PaneAssist::goToDefinition() {
    if (requestInclude(edit_.textCursor().blockNumber())) {
        return;
    }
    if (const auto to = definitionAt(caret())) {
        emit navigate(*to);
    }
}

void PaneAssist::showOutline() {
    outline_.setFocus();
    outline_.showPopup();
}

void PaneAssist::fillOutline() {
    const auto& doc = model_.program()[int(side_)];
    entries_ = glsl::outline(*doc);
    const QSignalBlocker quiet(outline_);
    outline_.clear();
    for (const glsl::OutlineEntry& e : entries_) {
        outline_.addItem(e.kind == glsl::SymbolKind::Function || e.detail.isEmpty()
                             ? (e.detail.isEmpty() ? e.name : e.detail)
                             : e.detail + u' ' + e.name);
    }
    outlineLine_ = -1;
    caretMoved();
}

void PaneAssist::caretMoved() {
    const int line = edit_.textCursor().blockNumber();
    if (line != outlineLine_) {
        outlineLine_ = line;
        const QSignalBlocker quiet(outline_);
        outline_.setCurrentIndex(glsl::outlineEntryAt(entries_, line));
    }
    if (typing_) {
        return;
    }
    // Moved by a click or an arrow key: the list was for the name at the old place.
    completion_->hide();
    if (signature_->isVisible()) {
        propose(signatures_, false);
    }
}

void PaneAssist::typed() {
    const QTextCursor cursor = edit_.textCursor();
    model_.setEditedLine(side_, cursor.blockNumber());
    const QString before = cursor.block().text().left(cursor.positionInBlock());
    if (completion_->isVisible() || completer_.openedBy(before)) {
        propose(completer_, false);
    }
    if (signature_->isVisible() || signatures_.openedBy(before)) {
        propose(signatures_, false);
    }
}

bool PaneAssist::keyPressed(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (completion_->isVisible() && mods == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Up:
                completion_->moveCurrent(-1);
                return true;
            case Qt::Key_Down:
                completion_->moveCurrent(1);
                return true;
            case Qt::Key_PageUp:
                completion_->moveCurrent(-9);
                return true;
            case Qt::Key_PageDown:
                completion_->moveCurrent(9);
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Tab:
                accept();
                return true;
            case Qt::Key_Escape:
                completion_->hide();
                return true;
            default:
                break;
        }
    } else if (signature_->isVisible() && mods == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Up:
                signature_->cycle(-1);
                return true;
            case Qt::Key_Down:
                signature_->cycle(1);
                return true;
            case Qt::Key_Escape:
                signature_->hide();
                return true;
            default:
                break;
        }
    }
    if (key == Qt::Key_Space && mods == Qt::ControlModifier) {
        complete();
    } else if (key == Qt::Key_F1 && mods == Qt::NoModifier) {
        showQuickHelp();
    } else if (key == Qt::Key_F2 && mods == Qt::NoModifier) {
        goToDefinition();
    } else if (key == Qt::Key_Left && mods == Qt::AltModifier) {
        emit backRequested();
    } else if (model_.isOn(side_) && !(mods & (Qt::ControlModifier | Qt::AltModifier)) &&
               ((!event->text().isEmpty() && event->text().front().isPrint()) ||
                key == Qt::Key_Backspace)) {
        // The pane handles the key first; the proposals then read the text with it.
        typing_ = true;
        QCoreApplication::sendEvent(&edit_, event);
        typing_ = false;
        typed();
    } else {
        return false;
    }
    return true;
}

bool PaneAssist::eventFilter(QObject* watched, QEvent* event) {
    if (typing_) {
        return false;
    }
    if (watched == &edit_) {
        switch (event->type()) {
            case QEvent::KeyPress:
                return keyPressed(static_cast<QKeyEvent*>(event));
            case QEvent::ShortcutOverride: {
                // The open popups' keys are theirs, not the window's commands'.
                auto* key = static_cast<QKeyEvent*>(event);
                const bool popupKey = key->key() == Qt::Key_Escape ||
                                      key->key() == Qt::Key_Return || key->key() == Qt::Key_Tab ||
                                      key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
                if (popupKey && (completion_->isVisible() || signature_->isVisible())) {
                    event->accept();
                    return true;
                }
                return false;
            }
            case QEvent::FocusOut:
                hidePopups();
                return false;
            default:
                return false;
        }
    }
    if (event->type() == QEvent::ToolTip && model_.isOn(side_)) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QTextCursor at = edit_.cursorForPosition(help->pos());
        const glsl::TextPosition position{at.blockNumber(), at.positionInBlock()};
        const QString& text = window(position.line);
        const auto h = timed([&](const glsl::Program& program) {
            return glsl::hover(program, int(side_), text, position, german_);
        });
        if (h) {
            QToolTip::showText(help->globalPos(), h->text, &edit_);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* click = static_cast<QMouseEvent*>(event);
        if (click->button() == Qt::LeftButton && click->modifiers() == Qt::ControlModifier) {
            const QTextCursor at = edit_.cursorForPosition(click->position().toPoint());
            if (requestInclude(at.blockNumber())) {
                return true;
            }
            if (const auto to = definitionAt({at.blockNumber(), at.positionInBlock()})) {
                emit navigate(*to);
                return true;
            }
        }
    }
    return false;
}

}  // namespace tessory
