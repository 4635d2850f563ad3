// SPDX-License-Identifier: MIT
#pragma once

#include "editor/shader_document.h"
#include "texts/texts.h"
#include "workspace/pair_side.h"

#include <QObject>
#include <QScopeGuard>

#include <array>
#include <functional>

class QWidget;

namespace tessory {

class AppSettings;
class PairWatcher;
class Prompter;

// The open program's shader documents, one for each stage file it has, and their files: loading,
// saving with its questions, and the files as other programs change them (reloaded when a
// document holds no edits, asked about when it does, said so when they are deleted). One
// question about the files at a time. A stage the program lacks has an empty document with no
// file behind it.
class PairDocument : public QObject {
    Q_OBJECT
public:
    // Questions are owned by `owner`.
    PairDocument(Prompter& prompter, const AppSettings& settings, QWidget* owner);
    ~PairDocument() override;

    void setTexts(const Texts& texts) { texts_ = texts; }

    ShaderDocument& document(PairSide side) const { return *documents_[int(side)]; }
    bool isModified() const;
    void setUnmodified();
    // Every document empty, unmodified, with no file behind it.
    void clear();
    // Whether the program has the stage: its document has a file behind it.
    bool hasStage(PairSide side) const;

    // The files are read before any document changes, so that a vertex or fragment file that
    // cannot be read (FileError) leaves every document as it was. A vertex or fragment file that
    // is not there is said so and its document emptied, rather than left with the previous
    // pair's text, which a save would write into this pair's file. Another stage file that
    // cannot be read is said so, and the program goes on without it: its file is never written.
    void load(const ProgramPaths& paths);
    // Writes the documents of the stages with a path to these files, together or not at all. A
    // file another program changed since it was read is overwritten only when the user says so;
    // its document then shows what is on disk.
    void save(const ProgramPaths& paths);
    // The save prompt before the program is left: false when the user cancelled.
    bool maybeSave(const ProgramPaths& paths);
    // Shows a file that a stage includes in the included file's pane. Edits of another file
    // there are saved first if the save prompt says so; false when the user cancelled. A file
    // that cannot be read (missing, a pipe, too long) throws FileError and changes nothing.
    bool openIncluded(const QString& path);
    // The save prompt for the included file's edits alone, before its tab is given another
    // file or closed; false when the user cancelled.
    bool maybeSaveIncluded();

    // While a WorkSpace test loads pair after pair, changes on disk wait; they are looked at
    // when it ends.
    void setChecksPaused(bool paused);
    void checkFilesOnDisk();

signals:
    // The modified state of either document may have changed: the caption follows it.
    void modificationChanged();
    // A document was reloaded or marked after a change on disk.
    void filesChecked();

private:
    using FileQuestion = QScopeGuard<std::function<void()>>;
    // While the returned guard lives, the watcher's checks wait, and they run once it is gone.
    [[nodiscard]] FileQuestion holdFileChecks();
    void settleChangedFile(ShaderDocument& document, const QString& path);
    bool overwriteChangedFile(const QString& path);
    void watchFiles();

    Prompter& prompter_;
    const AppSettings& settings_;
    QWidget* owner_;
    Texts texts_;
    std::array<ShaderDocument*, kPaneCount> documents_{};
    PairWatcher* watcher_;
    bool checking_ = false;
    bool recheck_ = false;
    bool paused_ = false;
};

}  // namespace tessory
