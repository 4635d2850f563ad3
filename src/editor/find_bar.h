// SPDX-License-Identifier: MIT
#pragma once

#include "editor/text_search.h"
#include "texts/find_texts.h"

#include <QPointer>
#include <QThreadPool>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace tessory {

// The bar under the panes for find and replace, and for going to a line (not a dialog, so the
// text stays in reach). It works on the edit widget the owner sets, the active pane, and says in
// the bar what went wrong ("not found"). While it has the focus it handles its own keys: Enter
// and F3 next, Shift+Enter and Shift+F3 previous, Escape closes it; the window binds its menu
// keys (Ctrl+F, F3, Shift+F3, Ctrl+G, Ctrl+L) to the slots.
//
// A regular expression can take minutes over a line, and PCRE2 cannot be interrupted inside one
// match, so every search runs on a worker thread over a copy of the text. A command waits for it
// a moment, which is all an ordinary search needs; a slower one goes on in the background while
// the bar says "searching…", until Escape, another command, a change of the text or of the pane
// stops it. A stopped search finds and replaces nothing.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);
    ~FindBar() override;

    void setEditor(QPlainTextEdit* editor);
    QPlainTextEdit* editor() const { return editor_; }

    // Switches every caption to German or English.
    void setGerman(bool german);

    QString searchText() const;
    void setSearchText(const QString& text);
    QString replacementText() const;
    void setReplacementText(const QString& text);
    SearchOptions options() const;
    void setOptions(const SearchOptions& options);
    // The message the bar shows now; empty when there is none.
    QString message() const;
    // True while the go-to-line field is shown instead of find and replace.
    bool isGoToLineShown() const;
    // True while a search goes on in the background.
    bool isSearching() const { return search_ != nullptr; }

public slots:
    // Shows find and replace; a selection within one line becomes the search text.
    void openFind();
    // Shows the line field.
    void openGoToLine();
    // Select the next or previous match in the editor, or say that there is none.
    void findNext();
    void findPrevious();
    // Replaces the selected match, if the selection is one, and selects the next.
    void replace();
    // Replaces every match as one undo step and says how many changed; a match whose
    // replacement is the text it already has is left alone and not counted.
    void replaceAll();
    // Stops the search that goes on in the background and says so.
    void stopSearch();
    // Moves the caret to the line field's place and closes the bar; false for unusable input.
    bool goToLine();
    // Hides the bar and gives the focus back to the editor.
    void closeBar();

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Job { FindNext, FindPrevious, Replace, ReplaceAll };
    struct Search;

    // Starts the job on the editor's text as it is now, stopping any other.
    void run(Job job);
    // Carries out what the finished search found.
    void finish();
    // Lets go of the running search, if any, without a word.
    void endSearch();
    void select(const TextRange& range);
    void showMessage(const QString& text);
    void applyTexts();
    void showFindRows(bool find);

    FindTexts texts_;
    QPointer<QPlainTextEdit> editor_;
    QLabel* findLabel_;
    QLineEdit* findField_;
    QPushButton* previousButton_;
    QPushButton* nextButton_;
    QCheckBox* wholeWords_;
    QCheckBox* matchCase_;
    QCheckBox* regularExpression_;
    QLabel* replaceLabel_;
    QLineEdit* replaceField_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
    QLabel* lineLabel_;
    QLineEdit* lineField_;
    QPushButton* goButton_;
    QLabel* message_;
    QToolButton* closeButton_;
    QWidget* findRows_;
    QWidget* lineRow_;
    QTimer* searchPoll_;
    std::shared_ptr<Search> search_;
    QMetaObject::Connection textWatch_;
    QThreadPool searchThreads_;
};

}  // namespace tessory
