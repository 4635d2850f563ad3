// SPDX-License-Identifier: MIT
#include "editor/pair_document.h"

#include "options/app_settings.h"
#include "ui/guarded.h"
#include "ui/prompter.h"
#include "workspace/pair_watcher.h"

#include <QFileInfo>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace tessory {
namespace {

// The bytes of a pair file, or nothing when there is no file at the path (absent, or not a
// file). A file that cannot be read throws FileError.
std::optional<QByteArray> readPairFile(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    return readShaderFile(path);
}

}  // namespace

PairDocument::PairDocument(Prompter& prompter, const AppSettings& settings, QWidget* owner)
    : QObject(owner),
      prompter_(prompter),
      settings_(settings),
      owner_(owner),
      texts_(Texts::of(false)),
      watcher_(new PairWatcher(this)) {
    for (const PairSide side : kPanes) {
        documents_[int(side)] = new ShaderDocument(this);
        connect(documents_[int(side)], &ShaderDocument::stampChanged, this,
                &PairDocument::watchFiles);
        connect(documents_[int(side)]->textDocument(), &QTextDocument::modificationChanged, this,
                &PairDocument::modificationChanged);
    }
    connect(watcher_, &PairWatcher::changed, this,
            [this] { runGuarded(prompter_, owner_, [this] { checkFilesOnDisk(); }); });
}

PairDocument::~PairDocument() = default;

bool PairDocument::isModified() const {
    return std::any_of(documents_.cbegin(), documents_.cend(),
                       [](const ShaderDocument* document) { return document->isModified(); });
}

bool PairDocument::hasStage(PairSide side) const {
    return !document(side).stamp().path().isEmpty();
}

void PairDocument::setUnmodified() {
    for (ShaderDocument* document : documents_) {
        document->setModified(false);
    }
}

void PairDocument::clear() {
    for (ShaderDocument* document : documents_) {
        document->clear();
    }
}

void PairDocument::load(const ProgramPaths& paths) {
    std::array<std::optional<QByteArray>, kSideCount> files;
    QStringList unreadable;
    for (const PairSide side : kProgramSides) {
        const QString& path = paths[int(side)];
        if (path.isEmpty()) {
            continue;
        }
        // The entry's own files decide whether the program can be opened at all; an added
        // stage that is no readable file (a folder, too long) leaves the others editable.
        const bool own =
            side == PairSide::Vertex || side == PairSide::Fragment || side == PairSide::Compute;
        if (own) {
            files[int(side)] = readPairFile(path);
            continue;
        }
        try {
            files[int(side)] = readShaderFile(path);
        } catch (const FileError& error) {
            unreadable << texts_.editor.fileNotLoaded.arg(QString::fromUtf8(error.what()));
        }
    }
    for (const PairSide side : kProgramSides) {
        const int i = int(side);
        if (files[i]) {
            document(side).load(decodeShaderText(*files[i]), FileStamp::of(paths[i], *files[i]));
            continue;
        }
        document(side).clear();
        if (paths[i].isEmpty() ||
            std::find(kAddedSides.cbegin(), kAddedSides.cend(), side) != kAddedSides.cend()) {
            continue;
        }
        // The file of the entry's own stage that is gone: its empty pane still names it, and
        // Save writes it again.
        document(side).setStamp(FileStamp::of(paths[i], {}));
        if (side != PairSide::Compute) {
            prompter_.showMessage(
                owner_, QMessageBox::Critical,
                texts_.message(side == PairSide::Vertex ? MsgCouldNotLoadVertex
                                                        : MsgCouldNotLoadFragment),
                QMessageBox::Ok);
        }
    }
    // An included file shown for the previous program belongs to none of this one's.
    document(PairSide::Included).clear();
    for (const QString& message : unreadable) {
        prompter_.showMessage(owner_, QMessageBox::Warning, message, QMessageBox::Ok);
    }
}

void PairDocument::save(const ProgramPaths& paths) {
    struct Side {
        QString path;
        ShaderDocument& document;
        QByteArray bytes;
    };
    std::vector<Side> sides;
    for (const PairSide side : kProgramSides) {
        if (!paths[int(side)].isEmpty()) {
            sides.push_back({paths[int(side)], document(side), {}});
        }
    }
    // An included file open beside the stages is written with them, under its own name.
    if (hasStage(PairSide::Included)) {
        sides.push_back(
            {document(PairSide::Included).stamp().path(), document(PairSide::Included), {}});
    }
    // Every character is checked before anything is asked or written.
    for (Side& side : sides) {
        side.bytes = encodeShaderText({side.document.text(), side.document.lineEnd()}, side.path);
    }
    QList<FileContent> files;
    QList<Side*> written;
    QList<Side*> kept;
    for (Side& side : sides) {
        // A file saved under another name than it was loaded from is expected not to exist.
        const FileStamp& stamp = side.document.stamp();
        const bool loadedHere = stamp.path() == side.path;
        const bool changed = (loadedHere ? stamp : FileStamp()).changedOnDisk(side.path);
        if (loadedHere && !changed && !side.document.isModified()) {
            continue;
        }
        // Only a file is kept: what else stands there now fails the write, with its cause.
        if (changed && QFileInfo(side.path).isFile() && !overwriteChangedFile(side.path)) {
            kept.append(&side);
            continue;
        }
        files.append({side.path, side.bytes});
        written.append(&side);
    }
    writeFilesTogether(files);
    for (Side* side : written) {
        side->document.setStamp(FileStamp::of(side->path, side->bytes));
    }
    // The document of a file kept on disk shows that file, so that the two agree again.
    for (Side* side : kept) {
        const QByteArray bytes = readShaderFile(side->path);
        side->document.load(decodeShaderText(bytes), FileStamp::of(side->path, bytes));
    }
}

bool PairDocument::overwriteChangedFile(const QString& path) {
    // The watcher's question about the same change waits, and finds it settled by this answer.
    const FileQuestion asking = holdFileChecks();
    return prompter_.askChoice(owner_, QMessageBox::Warning, texts_.extra().changedOnDisk.arg(path),
                               {texts_.extra().keepOnDisk, texts_.extra().overwrite}) == 1;
}

bool PairDocument::openIncluded(const QString& path) {
    ShaderDocument& included = document(PairSide::Included);
    if (included.stamp().path() == path) {
        return true;
    }
    const QByteArray bytes = readShaderFile(path);
    if (!maybeSaveIncluded()) {
        return false;
    }
    included.load(decodeShaderText(bytes), FileStamp::of(path, bytes));
    return true;
}

bool PairDocument::maybeSaveIncluded() {
    if (!document(PairSide::Included).isModified()) {
        return true;
    }
    const QMessageBox::StandardButton answer =
        settings_.values().AutoSaveOnChange
            ? QMessageBox::Yes
            : prompter_.showMessage(owner_, QMessageBox::Question, texts_.message(MsgSaveChanges),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        // No stage path: only the included file is written, with the same questions.
        save(ProgramPaths());
    }
    return answer != QMessageBox::Cancel;
}

bool PairDocument::maybeSave(const ProgramPaths& paths) {
    if (!isModified()) {
        return true;
    }
    if (settings_.values().AutoSaveOnChange) {
        save(paths);
        return true;
    }
    const QMessageBox::StandardButton answer =
        prompter_.showMessage(owner_, QMessageBox::Question, texts_.message(MsgSaveChanges),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
        return false;
    }
    if (answer == QMessageBox::Yes) {
        save(paths);
    }
    return true;
}

void PairDocument::watchFiles() {
    QStringList files;
    for (const ShaderDocument* document : documents_) {
        if (!document->stamp().path().isEmpty()) {
            files.append(document->stamp().path());
        }
    }
    if (files != watcher_->files()) {
        watcher_->watch(files);
    }
}

void PairDocument::setChecksPaused(bool paused) {
    paused_ = paused;
}

void PairDocument::checkFilesOnDisk() {
    // A question still open, or a WorkSpace test loading pair after pair, comes first; the
    // next change looks again.
    if (checking_ || paused_) {
        recheck_ = true;
        return;
    }
    const FileQuestion asking = holdFileChecks();
    for (ShaderDocument* document : documents_) {
        const QString path = document->stamp().path();
        if (!path.isEmpty() && document->stamp().changedOnDisk(path)) {
            settleChangedFile(*document, path);
        }
    }
    emit filesChecked();
}

void PairDocument::settleChangedFile(ShaderDocument& document, const QString& path) {
    const EditorTexts& texts = texts_.editor;
    // Another program may write again while the question is open: the answer holds for the text
    // the user was asked about, and a newer one is looked at like any other change.
    for (;;) {
        if (!QFileInfo(path).isFile()) {
            // Gone, or a folder in its place. Modified, so that the caption says so and Save
            // writes the file again.
            document.setStamp(FileStamp::of(path, {}));
            document.setModified(true);
            prompter_.showMessage(owner_, QMessageBox::Warning, texts.deletedOnDisk.arg(path),
                                  QMessageBox::Ok);
            return;
        }
        const QByteArray asked = readShaderFile(path);
        if (!document.isModified()) {
            document.reload(decodeShaderText(asked), FileStamp::of(path, asked));
            return;
        }
        const bool reload =
            prompter_.askChoice(owner_, QMessageBox::Warning, texts.changedWhileEdited.arg(path),
                                {texts.keepMine, texts.reloadAndLose}) == 1;
        if (!QFileInfo(path).isFile()) {
            continue;
        }
        const QByteArray now = readShaderFile(path);
        if (reload) {
            document.reload(decodeShaderText(now), FileStamp::of(path, now));
            return;
        }
        if (now == asked) {
            // The user has chosen: the next Save writes this version without asking again.
            document.setStamp(FileStamp::of(path, now));
            return;
        }
    }
}

PairDocument::FileQuestion PairDocument::holdFileChecks() {
    const bool outermost = !std::exchange(checking_, true);
    return qScopeGuard(std::function<void()>([this, outermost] {
        if (!outermost) {
            return;
        }
        checking_ = false;
        if (std::exchange(recheck_, false)) {
            QTimer::singleShot(
                0, this, [this] { runGuarded(prompter_, owner_, [this] { checkFilesOnDisk(); }); });
        }
    }));
}

}  // namespace tessory
