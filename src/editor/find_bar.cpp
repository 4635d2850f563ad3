// SPDX-License-Identifier: MIT
#include "editor/find_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <atomic>

namespace tessory {

namespace {

// How long a command waits for its search before letting it go on in the background: not felt
// as a pause, and ample for an ordinary search of a large shader.
constexpr int kAnswerWithinMs = 50;
// How often the bar looks whether a search in the background is done.
constexpr int kPollMs = 20;

}  // namespace

// What a search shares with the thread that runs it. The thread writes the outcome and then
// releases done; the bar reads it only after acquiring done.
struct FindBar::Search {
    Job job = Job::FindNext;
    int revision = 0;
    std::atomic<bool> stopped = false;
    QSemaphore done;
    std::optional<TextRange> found;
    std::optional<Replacement> atSelection;
    ReplacePlan plan;
};

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
      lineRow_(new QWidget),
      searchPoll_(new QTimer(this)) {
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
    searchPoll_->setInterval(kPollMs);
    connect(searchPoll_, &QTimer::timeout, this, [this] {
        if (search_->done.tryAcquire()) {
            finish();
        }
    });
    applyTexts();
    showFindRows(true);
    hide();
}

FindBar::~FindBar() {
    // The worker threads are waited for when they go; a stopped search lets them go at once.
    endSearch();
}

void FindBar::setEditor(QPlainTextEdit* editor) {
    if (editor != editor_) {
        stopSearch();
    }
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

void FindBar::findNext() {
    run(Job::FindNext);
}

void FindBar::findPrevious() {
    run(Job::FindPrevious);
}

void FindBar::replace() {
    run(Job::Replace);
}

void FindBar::replaceAll() {
    run(Job::ReplaceAll);
}

void FindBar::stopSearch() {
    if (search_) {
        endSearch();
        showMessage(texts_.searchStopped);
    }
}

void FindBar::run(Job job) {
    endSearch();
    const bool replacing = job == Job::Replace || job == Job::ReplaceAll;
    if (!editor_ || searchText().isEmpty() || (replacing && editor_->isReadOnly())) {
        return;
    }
    if (const QString error = TextSearch(searchText(), options()).error(); !error.isEmpty()) {
        showMessage(texts_.invalidPattern.arg(error));
        return;
    }
    QTextDocument* document = editor_->document();
    auto search = std::make_shared<Search>();
    search->job = job;
    search->revision = document->revision();
    const QTextCursor cursor = editor_->textCursor();
    searchThreads_.start([search, text = document->toRawText(), what = searchText(),
                          replacement = replacementText(), options = options(),
                          selection = TextRange{cursor.selectionStart(), cursor.selectionEnd()}] {
        // The expression is made here: QRegularExpression is not to be shared between threads.
        const TextSearch pattern(what, options);
        const StopCheck stop = [&search] { return search->stopped.load(); };
        switch (search->job) {
            case Job::FindNext:
                search->found = pattern.find(text, selection, SearchDirection::Forward, stop);
                break;
            case Job::FindPrevious:
                search->found = pattern.find(text, selection, SearchDirection::Backward, stop);
                break;
            case Job::Replace:
                search->atSelection = pattern.replacementAt(text, selection, replacement, stop);
                break;
            case Job::ReplaceAll:
                search->plan = pattern.planReplaceAll(text, replacement, stop);
                break;
        }
        search->done.release();
    });
    search_ = search;
    if (search->done.tryAcquire(1, kAnswerWithinMs)) {
        finish();
        return;
    }
    showMessage(texts_.searching);
    show();
    // Escape must reach the bar wherever the focus is, and an edit makes the positions found in
    // the copy wrong; the highlighter's repaints leave the revision alone.
    qApp->installEventFilter(this);
    textWatch_ = connect(document, &QTextDocument::contentsChanged, this, [this, document] {
        if (document->revision() != search_->revision) {
            stopSearch();
        }
    });
    searchPoll_->start();
}

void FindBar::finish() {
    const std::shared_ptr<Search> search = search_;
    endSearch();
    if (!editor_ || editor_->document()->revision() != search->revision) {
        return;
    }
    switch (search->job) {
        case Job::FindNext:
        case Job::FindPrevious:
            if (search->found) {
                showMessage({});
                select(*search->found);
            } else {
                showMessage(texts_.notFound);
            }
            break;
        case Job::Replace:
            if (search->atSelection) {
                select(search->atSelection->range);
                QTextCursor cursor = editor_->textCursor();
                cursor.insertText(search->atSelection->text);
                editor_->setTextCursor(cursor);
            }
            run(Job::FindNext);
            break;
        case Job::ReplaceAll: {
            const int replaced = applyReplacements(editor_->document(), search->plan.changes);
            showMessage(search->plan.matches == 0 ? texts_.notFound
                                                  : texts_.replaced.arg(replaced));
            break;
        }
    }
}

void FindBar::endSearch() {
    if (search_) {
        search_->stopped = true;
        search_.reset();
    }
    searchPoll_->stop();
    qApp->removeEventFilter(this);
    disconnect(textWatch_);
}

void FindBar::select(const TextRange& range) {
    QTextCursor cursor(editor_->document());
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    editor_->ensureCursorVisible();
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
    endSearch();
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
    // While a search goes on in the background every key press of the application comes here.
    if (search_ && key->key() == Qt::Key_Escape && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == window()) {
        stopSearch();
        return true;
    }
    const bool isReturn = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool inField = watched == findField_ || watched == replaceField_ || watched == lineField_;
    if (!isReturn || !inField) {
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
