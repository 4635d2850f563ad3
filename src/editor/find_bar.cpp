// SPDX-License-Identifier: MIT
#include "editor/find_bar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>

namespace tessory {

FindBar::FindBar(QWidget* parent)
    : QWidget(parent),
      texts_(findTexts(false)),
      findLabel_(new QLabel),
      findField_(new QLineEdit),
      previousButton_(new QPushButton),
      nextButton_(new QPushButton),
      wholeWords_(new QCheckBox),
      matchCase_(new QCheckBox),
      regularExpression_(new QCheckBox),
      replaceLabel_(new QLabel),
      replaceField_(new QLineEdit),
      replaceButton_(new QPushButton),
      replaceAllButton_(new QPushButton),
      lineLabel_(new QLabel),
      lineField_(new QLineEdit),
      goButton_(new QPushButton),
      message_(new QLabel),
      closeButton_(new QToolButton),
      findRows_(new QWidget),
      lineRow_(new QWidget) {
    setObjectName(QStringLiteral("FindBar"));
    findField_->setObjectName(QStringLiteral("FindText"));
    replaceField_->setObjectName(QStringLiteral("ReplaceText"));
    lineField_->setObjectName(QStringLiteral("GoToLineText"));
    message_->setObjectName(QStringLiteral("FindMessage"));

    auto* grid = new QGridLayout(findRows_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(findLabel_, 0, 0);
    grid->addWidget(findField_, 0, 1);
    grid->addWidget(previousButton_, 0, 2);
    grid->addWidget(nextButton_, 0, 3);
    auto* optionsRow = new QHBoxLayout;
    optionsRow->addWidget(wholeWords_);
    optionsRow->addWidget(matchCase_);
    optionsRow->addWidget(regularExpression_);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replaceField_, 1, 1);
    grid->addWidget(replaceButton_, 1, 2);
    grid->addWidget(replaceAllButton_, 1, 3);
    // The options go under the fields, so that the bar fits beside the WorkSpace list in a window
    // of the default width and still leaves the fields room for a word or two.
    optionsRow->addStretch(1);
    grid->addLayout(optionsRow, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    for (QLineEdit* field : {findField_, replaceField_}) {
        field->setMinimumWidth(fontMetrics().averageCharWidth() * 16);
    }

    auto* lineLayout = new QHBoxLayout(lineRow_);
    lineLayout->setContentsMargins(0, 0, 0, 0);
    lineLayout->addWidget(lineLabel_);
    lineLayout->addWidget(lineField_);
    lineLayout->addWidget(goButton_);
    lineLayout->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(findRows_, 1);
    layout->addWidget(lineRow_, 1);
    layout->addWidget(message_);
    layout->addWidget(closeButton_, 0, Qt::AlignTop);

    for (QLineEdit* field : {findField_, replaceField_, lineField_}) {
        field->installEventFilter(this);
    }
    connect(previousButton_, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(nextButton_, &QPushButton::clicked, this, &FindBar::findNext);
    connect(replaceButton_, &QPushButton::clicked, this, &FindBar::replace);
    connect(replaceAllButton_, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(goButton_, &QPushButton::clicked, this, &FindBar::goToLine);
    connect(closeButton_, &QToolButton::clicked, this, &FindBar::closeBar);
    // A message about the old search text would be wrong for the new one.
    connect(findField_, &QLineEdit::textEdited, this, [this] { showMessage({}); });
    connect(lineField_, &QLineEdit::textEdited, this, [this] { showMessage({}); });
    applyTexts();
    showFindRows(true);
    hide();
}

void FindBar::setEditor(QPlainTextEdit* editor) {
    editor_ = editor;
}

void FindBar::setGerman(bool german) {
    texts_ = findTexts(german);
    applyTexts();
}

QString FindBar::searchText() const {
    return findField_->text();
}

void FindBar::setSearchText(const QString& text) {
    findField_->setText(text);
}

QString FindBar::replacementText() const {
    return replaceField_->text();
}

void FindBar::setReplacementText(const QString& text) {
    replaceField_->setText(text);
}

SearchOptions FindBar::options() const {
    return {wholeWords_->isChecked(), matchCase_->isChecked(), regularExpression_->isChecked()};
}

void FindBar::setOptions(const SearchOptions& options) {
    wholeWords_->setChecked(options.wholeWords);
    matchCase_->setChecked(options.matchCase);
    regularExpression_->setChecked(options.regularExpression);
}

QString FindBar::message() const {
    return message_->text();
}

bool FindBar::isGoToLineShown() const {
    return !lineRow_->isHidden();
}

void FindBar::openFind() {
    if (editor_) {
        const QTextCursor selection = editor_->textCursor();
        const QTextDocument* document = editor_->document();
        if (selection.hasSelection() && document->findBlock(selection.selectionStart()) ==
                                            document->findBlock(selection.selectionEnd())) {
            findField_->setText(selection.selectedText());
        }
    }
    showFindRows(true);
    show();
    findField_->setFocus();
    findField_->selectAll();
}

void FindBar::openGoToLine() {
    showFindRows(false);
    show();
    lineField_->setFocus();
    lineField_->selectAll();
}

bool FindBar::findNext() {
    return find(SearchDirection::Forward);
}

bool FindBar::findPrevious() {
    return find(SearchDirection::Backward);
}

bool FindBar::find(SearchDirection direction) {
    if (!editor_ || searchText().isEmpty()) {
        return false;
    }
    if (const QString error = searchTextError(searchText(), options()); !error.isEmpty()) {
        showMessage(texts_.invalidPattern.arg(error));
        return false;
    }
    const QTextCursor match =
        findMatch(editor_->document(), searchText(), editor_->textCursor(), options(), direction);
    if (match.isNull()) {
        showMessage(texts_.notFound);
        return false;
    }
    showMessage({});
    editor_->setTextCursor(match);
    editor_->ensureCursorVisible();
    return true;
}

void FindBar::replace() {
    if (!editor_ || editor_->isReadOnly()) {
        return;
    }
    QTextCursor selection = editor_->textCursor();
    if (isMatch(selection, searchText(), options())) {
        replaceMatch(selection, searchText(), replacementText(), options());
        editor_->setTextCursor(selection);
    }
    findNext();
}

int FindBar::replaceAll() {
    if (!editor_ || editor_->isReadOnly() || searchText().isEmpty()) {
        return 0;
    }
    if (const QString error = searchTextError(searchText(), options()); !error.isEmpty()) {
        showMessage(texts_.invalidPattern.arg(error));
        return 0;
    }
    const int count =
        tessory::replaceAll(editor_->document(), searchText(), replacementText(), options());
    showMessage(count == 0 ? texts_.notFound : texts_.replaced.arg(count));
    return count;
}

bool FindBar::goToLine() {
    if (!editor_) {
        return false;
    }
    const auto position = parseLinePosition(lineField_->text());
    if (!position) {
        showMessage(texts_.badLine.arg(lineField_->text().trimmed()));
        return false;
    }
    editor_->setTextCursor(cursorAt(editor_->document(), *position));
    editor_->centerCursor();
    closeBar();
    return true;
}

void FindBar::closeBar() {
    showMessage({});
    hide();
    if (editor_) {
        editor_->setFocus();
    }
    emit closed();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!isReturn) {
        return QWidget::eventFilter(watched, event);
    }
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    if (watched == lineField_) {
        goToLine();
    } else if (watched == replaceField_) {
        replace();
    } else if (shift) {
        findPrevious();
    } else {
        findNext();
    }
    return true;
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event->key() == Qt::Key_Escape) {
        closeBar();
    } else if (event->key() == Qt::Key_F3 && !isGoToLineShown()) {
        shift ? findPrevious() : findNext();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void FindBar::showMessage(const QString& text) {
    message_->setText(text);
}

void FindBar::applyTexts() {
    findLabel_->setText(texts_.find);
    replaceLabel_->setText(texts_.replaceWith);
    previousButton_->setText(texts_.previous);
    nextButton_->setText(texts_.next);
    replaceButton_->setText(texts_.replace);
    replaceAllButton_->setText(texts_.replaceAll);
    wholeWords_->setText(texts_.wholeWords);
    matchCase_->setText(texts_.matchCase);
    regularExpression_->setText(texts_.regularExpression);
    lineLabel_->setText(texts_.goToLine);
    lineField_->setPlaceholderText(texts_.lineHint);
    goButton_->setText(texts_.go);
    closeButton_->setText(QStringLiteral("×"));
    closeButton_->setToolTip(texts_.close);
}

void FindBar::showFindRows(bool find) {
    showMessage({});
    findRows_->setVisible(find);
    lineRow_->setVisible(!find);
}

}  // namespace tessory
