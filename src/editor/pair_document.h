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

// The open pair's two shader documents and their files: loading, saving with its questions,
// and the files as other programs change them (reloaded when a document holds no edits, asked
// about when it does, said so when they are deleted). One question about the files at a time.
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
    // Both documents empty, unmodified, with no file behind them.
    void clear();

    // Both files are read before either document changes, so that a file that cannot be read
    // (FileError) leaves both as they were. A file that is not there is said so and its
    // document emptied, rather than left with the previous pair's text, which a save would
    // write into this pair's file.
    void load(const QString& vertexPath, const QString& fragmentPath);
    // Writes the documents to these files, together or not at all. A file another program
    // changed since it was read is overwritten only when the user says so; its document then
    // shows what is on disk.
    void save(const QString& vertexPath, const QString& fragmentPath);
    // The save prompt before the pair is left: false when the user cancelled.
    bool maybeSave(const QString& vertexPath, const QString& fragmentPath);

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
    std::array<ShaderDocument*, 2> documents_{};
    PairWatcher* watcher_;
    bool checking_ = false;
    bool recheck_ = false;
    bool paused_ = false;
};

}  // namespace tessory
