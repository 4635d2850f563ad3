// SPDX-License-Identifier: MIT
#include "workspace/workspace_controller.h"

#include "editor/pair_document.h"
#include "options/app_settings.h"
#include "ui/guarded.h"
#include "ui/prompter.h"
#include "workspace/name_dialogs.h"
#include "workspace/pair_list_view.h"
#include "workspace/pair_scan.h"
#include "workspace/recovery_store.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>

#include <algorithm>

namespace tessory {

WorkspaceController::WorkspaceController(AppSettings& settings, PairDocument& documents,
                                         Prompter& prompter, QWidget* owner)
    : QObject(owner),
      settings_(settings),
      documents_(documents),
      prompter_(prompter),
      owner_(owner),
      texts_(Texts::of(false)),
      list_(new PairListView) {
    connect(list_, &PairListView::pairChosen, this,
            [this] { guarded([this] { openChosenPair(); }); });
    connect(&documents_, &PairDocument::modificationChanged, this,
            &WorkspaceController::updateCaption);
}

void WorkspaceController::connectPairActions(const PairCommands& pair) {
    connect(pair.selectWorkspace, &QAction::triggered, this,
            &WorkspaceController::Action_SelWorkSpaceExecute);
    connect(pair.newEmpty, &QAction::triggered, this, &WorkspaceController::Action_NESExecute);
    connect(pair.newFromCurrent, &QAction::triggered, this,
            &WorkspaceController::Action_NewShaderExecute);
    connect(pair.save, &QAction::triggered, this, &WorkspaceController::Action_SaveShaderExecute);
    connect(pair.remove, &QAction::triggered, this, &WorkspaceController::Action_DelSExecute);
    connect(pair.rename, &QAction::triggered, this, &WorkspaceController::Action_RenameExecute);
}

void WorkspaceController::guarded(const std::function<void()>& command) {
    runGuarded(prompter_, owner_, command);
}

void WorkspaceController::storeInto(TCFG& settings) const {
    settings.CurrentDir = openPair_.directory();
    settings.CurrentFileName = openPair_.name();
    settings.FileExtVertex = openPair_.extensions().vertex;
    settings.FileExtFragment = openPair_.extensions().fragment;
    settings.FileExtGeometry = openPair_.extensions().geometry;
    settings.FileExtTessControl = openPair_.extensions().tessControl;
    settings.FileExtTessEval = openPair_.extensions().tessEval;
    settings.FileExtCompute = openPair_.extensions().compute;
}

void WorkspaceController::start(const QString& givenWorkspace) {
    const TCFG& stored = settings_.values();
    openPair_.setDirectory(stored.CurrentDir);
    openPair_.setName(stored.CurrentFileName);
    openPair_.setExtensions(stageExtensions(stored));
    const bool workspaceGiven = takeGivenWorkspace(givenWorkspace);
    if (QFileInfo(openPair_.directory()).isDir()) {
        rescanWorkspace();
    }
    guarded([this, workspaceGiven] {
        workspaceGiven ? openFirstPair() : reopenLastPair();
        offerRecoveryOfLostPairs();
    });
    updateCommandStates();
}

bool WorkspaceController::takeGivenWorkspace(const QString& givenWorkspace) {
    // The stored WorkSpace given again keeps its open pair; another one is opened as if chosen.
    if (givenWorkspace.isEmpty() || QFileInfo(givenWorkspace).canonicalFilePath() ==
                                        QFileInfo(openPair_.directory()).canonicalFilePath()) {
        return false;
    }
    openPair_.setDirectory(givenWorkspace);
    openPair_.close();
    return true;
}

void WorkspaceController::showListedPairs() {
    const QStringList names = openPair_.listed();
    const LanguageTexts::Extra& extra = texts_.extra();
    QHash<int, PairListView::EntryMark> marks;
    for (int row = 0; row < names.size(); ++row) {
        switch (openPair_.shape(names[row])) {
            case EntryShape::FragmentOnly:
                marks.insert(row, {u'F', extra.fragmentOnlyEntry});
                break;
            case EntryShape::VertexOnly:
                marks.insert(row, {u'V', extra.vertexOnlyEntry});
                break;
            case EntryShape::Compute:
                marks.insert(row, {u'C', extra.computeEntry});
                break;
            case EntryShape::Pair:
                break;
        }
    }
    list_->showNames(names, marks);
}

void WorkspaceController::rescanWorkspace() {
    openPair_.clearPairs();
    showListedPairs();
    const QString& dir = openPair_.directory();
    emit workspaceShown(dir);
    WorkspaceScan scan = scanWorkspace(dir, openPair_.extensions());
    // A vertex or fragment file without its partner is listed as a shader of its own.
    const bool accepted = scan.readError.isEmpty();
    openPair_.setScan(std::move(scan.programs), std::move(scan.shapes), accepted);
    const auto say = [this](QMessageBox::Icon icon, const QString& text) {
        prompter_.showMessage(owner_, icon, text, QMessageBox::Ok);
    };
    if (!scan.readError.isEmpty()) {
        say(QMessageBox::Critical, texts_.extra().unreadableWorkspace.arg(dir, scan.readError));
        return;
    }
    if (!scan.undecodableFiles.isEmpty()) {
        say(QMessageBox::Warning,
            texts_.extra().undecodableFileNames.arg(scan.undecodableFiles.join(u'\n')));
    }
    if (!scan.unusableFiles.isEmpty()) {
        QStringList lines;
        for (auto file = scan.unusableFiles.cbegin(); file != scan.unusableFiles.cend(); ++file) {
            lines << file.key() + QStringLiteral(": ") + file.value();
        }
        say(QMessageBox::Warning, texts_.extra().unusableFiles.arg(lines.join(u'\n')));
    }
    showListedPairs();
}

void WorkspaceController::loadPair(const QString& name) {
    documents_.load(openPair_.paths(name));
    emit pairLoaded(name, openPair_.directory());
}

bool WorkspaceController::askToRecover(const QString& pair, const QList<RecoveryEntry>& entries) {
    const LanguageTexts::Extra& extra = texts_.extra();
    const QLocale locale(texts_.german ? QLocale::German : QLocale::English);
    QStringList lines;
    for (const RecoveryEntry& entry : entries) {
        const QString& line = entry.disk == DiskState::Changed ? extra.recoverChanged
                              : entry.disk == DiskState::Gone  ? extra.recoverGone
                                                               : extra.recoverLine;
        lines << line.arg(entry.path,
                          locale.toString(entry.saved.toLocalTime(), QLocale::ShortFormat));
    }
    return prompter_.askChoice(owner_, QMessageBox::Question,
                               extra.recoverQuestion.arg(pair, lines.join(QStringLiteral("\n\r"))),
                               {extra.recover, extra.discard}) == 0;
}

void WorkspaceController::offerRecovery(const QList<RecoveryEntry>& entries) {
    if (entries.isEmpty()) {
        return;
    }
    const bool recover = askToRecover(openPair_.name(), entries);
    for (const RecoveryEntry& entry : entries) {
        if (!recover) {
            recovery_->discard(entry);
            continue;
        }
        for (const PairSide side : kProgramSides) {
            if (entry.path == path(side, openPair_.name()) && recovery_->take(entry)) {
                documents_.document(side).recoverText(entry.text);
            }
        }
    }
    updateCaption();
}

void WorkspaceController::offerRecoveryOfOpenPair() {
    if (recovery_ == nullptr || openPair_.name().isEmpty()) {
        return;
    }
    QStringList files;
    for (const PairSide side : kProgramSides) {
        files << path(side, openPair_.name());
    }
    const RecoveryScan scan = recovery_->recoverable(files);
    for (const QString& problem : scan.problems) {
        emit recoveryTrouble(problem);
    }
    offerRecovery(scan.entries);
}

void WorkspaceController::offerRecoveryOfLostPairs() {
    if (recovery_ == nullptr || !QFileInfo(openPair_.directory()).isDir()) {
        return;
    }
    // The kept texts by the pair their file names give, for the pairs that have a file gone.
    QMap<QString, QList<RecoveryEntry>> lost;
    const RecoveryScan scan = recovery_->recoverableIn(openPair_.directory());
    for (const QString& problem : scan.problems) {
        emit recoveryTrouble(problem);
    }
    for (const RecoveryEntry& entry : scan.entries) {
        const QString file = QFileInfo(entry.path).fileName();
        for (const PairSide side : kProgramSides) {
            const QString& extension = openPair_.extensions().of(side);
            if (file.endsWith(extension) && file.size() > extension.size()) {
                lost[file.chopped(extension.size())].append(entry);
            }
        }
    }
    for (auto group = lost.cbegin(); group != lost.cend(); ++group) {
        const bool gone = std::any_of(group->begin(), group->end(), [](const RecoveryEntry& e) {
            return e.disk == DiskState::Gone;
        });
        if (!gone || openPair_.filesExist(group.key()) || documents_.isModified()) {
            continue;
        }
        if (!askToRecover(group.key(), *group)) {
            for (const RecoveryEntry& entry : *group) {
                recovery_->discard(entry);
            }
            continue;
        }
        // The pair is opened with what was kept, to be saved again; it is listed as a pair the
        // editor made.
        openPair_.setName(group.key());
        openPair_.addPair(group.key());
        showListedPairs();
        reselectOpenPair();
        documents_.clear();
        for (const PairSide side : kPairSides) {
            documents_.document(side).setStamp(FileStamp::of(path(side, group.key()), {}));
        }
        for (const RecoveryEntry& entry : *group) {
            for (const PairSide side : kPairSides) {
                if (entry.path == path(side, group.key()) && recovery_->take(entry)) {
                    documents_.document(side).recoverText(entry.text);
                }
            }
        }
        emit pairLoaded(group.key(), openPair_.directory());
        updateCaption();
        return;
    }
}

void WorkspaceController::savePair(const QString& name) {
    documents_.save(openPair_.pathsAs(name, openPaths()));
}

bool WorkspaceController::maybeSave() {
    return documents_.maybeSave(openPaths());
}

ProgramPaths WorkspaceController::openPaths() const {
    // The documents know which stages the open program has: a stage file that could not be
    // read is not one of them, so it is never written.
    ProgramPaths paths;
    if (openPair_.name().isEmpty()) {
        return paths;
    }
    for (const PairSide side : kProgramSides) {
        if (documents_.hasStage(side)) {
            paths[int(side)] = path(side, openPair_.name());
        }
    }
    return paths;
}

void WorkspaceController::reselectOpenPair() {
    list_->selectRow(openPair_.listedIndexOfOpen());
}

void WorkspaceController::reopenLastPair() {
    const int row = openPair_.listedIndexOfOpen();
    if (row < 0 || !openPair_.filesExist(openPair_.name())) {
        // The pair the settings name has lost its files since: said once, at the start.
        if (!openPair_.name().isEmpty() && QFileInfo(openPair_.directory()).isDir()) {
            prompter_.showMessage(owner_, QMessageBox::Critical, texts_.message(MsgPairNotFound),
                                  QMessageBox::Ok);
        }
        return;
    }
    loadPair(openPair_.name());
    documents_.setUnmodified();
    list_->selectRow(row);
    offerRecoveryOfOpenPair();
}

void WorkspaceController::openFirstPair() {
    const QStringList listed = openPair_.listed();
    if (listed.isEmpty()) {
        return;
    }
    openPair_.setName(listed.first());
    loadPair(openPair_.name());
    documents_.setUnmodified();
    updateCaption();
    list_->selectRow(0);
    offerRecoveryOfOpenPair();
}

void WorkspaceController::openListedPair(int row) {
    list_->selectRow(row);
    openPair_.setName(list_->item(row)->text());
    loadPair(openPair_.name());
    documents_.setUnmodified();
    updateCaption();
}

void WorkspaceController::openChosenPair() {
    bool leave = false;
    try {
        leave = maybeSave();
    } catch (...) {
        // The open pair could not be saved: stay on it.
        reselectOpenPair();
        throw;
    }
    if (!leave && openPair_.listedIndexOfOpen() >= 0) {
        reselectOpenPair();
        return;
    }
    const QListWidgetItem* selected = list_->currentItem();
    if (selected == nullptr) {
        return;
    }
    const QString previous = openPair_.name();
    openPair_.setName(selected->text());
    try {
        loadPair(openPair_.name());
    } catch (...) {
        openPair_.setName(previous);
        reselectOpenPair();
        throw;
    }
    emit messagesOutdated();
    documents_.setUnmodified();
    updateCaption();
    offerRecoveryOfOpenPair();
    updateCommandStates();
}

void WorkspaceController::closeOpenPair() {
    documents_.clear();
    documents_.setUnmodified();
    openPair_.close();
    updateCaption();
}

void WorkspaceController::reopenWorkspace() {
    if (QFileInfo(openPair_.directory()).isDir()) {
        rescanWorkspace();
    } else {
        // The names listed so far belong to a WorkSpace that is gone.
        openPair_.clearPairs();
        showListedPairs();
    }
    openFirstPair();
    offerRecoveryOfLostPairs();
    emit messagesOutdated();
    updateCommandStates();
}

void WorkspaceController::updateCommandStates() {
    emit pairSelectionChanged(list_->selectedName().has_value());
}

void WorkspaceController::updateCaption() {
    QString title = kProgramTitle + QStringLiteral(" - [") + openPair_.name() +
                    (documents_.isModified() ? QStringLiteral("] *") : QStringLiteral("]"));
    // "[*]" is Qt's placeholder for a modified mark; doubled, it shows as written (a pair "*").
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    emit captionChanged(title);
}

void WorkspaceController::Action_SaveShaderExecute() {
    guarded([this] {
        savePair(openPair_.name());
        documents_.setUnmodified();
        updateCaption();
    });
}

void WorkspaceController::Action_SelWorkSpaceExecute() {
    guarded([this] {
        if (!maybeSave()) {
            return;
        }
        closeOpenPair();
        const QString current = openPair_.directory();
        // A cancelled chooser keeps the WorkSpace; one that is gone gives way to the root
        // folder, which always exists.
        const std::optional<QString> chosen =
            prompter_.chooseDirectory(owner_, texts_.message(MsgSelectWorkspaceTitle),
                                      QFileInfo(current).isDir() ? current : QString());
        openPair_.setDirectory(
            chosen.value_or(QFileInfo(current).isDir() ? current : QStringLiteral("/")));
        reopenWorkspace();
    });
}

bool WorkspaceController::changeExtensions(const PairExtensions& extensions) {
    bool changed = false;
    guarded([&] {
        // The open pair is saved under the extensions it was loaded with.
        if (!maybeSave()) {
            return;
        }
        closeOpenPair();
        openPair_.setExtensions(extensions);
        reopenWorkspace();
        changed = true;
    });
    return changed;
}

void WorkspaceController::Action_NewShaderExecute() {
    guarded([this] { createPair(false); });
}

void WorkspaceController::Action_NESExecute() {
    guarded([this] { createPair(true); });
}

void WorkspaceController::createPair(bool empty) {
    if (!maybeSave()) {
        return;
    }
    const QString oldName = openPair_.name();
    const OpenPair& pair = openPair_;
    const std::optional<QString> newName = askPairName<TForm_New>(
        owner_, prompter_, oldName,
        [&pair](const QString& typed) {
            return checkNewShaderName(typed, pair.name(), pair.directory(), pair.extensions(),
                                      pair.scanned().names());
        },
        {texts_.message(MsgFileExists), texts_.extra().invalidShaderName});
    // An empty name creates nothing, as Cancel does.
    if (!newName || newName->isEmpty() || *newName == oldName) {
        return;
    }
    // The files are written before anything else changes, so that a pair that could not be
    // written leaves the list, the documents and the open pair as they were.
    if (empty) {
        saveShaderPair(path(PairSide::Vertex, *newName), {}, path(PairSide::Fragment, *newName),
                       {});
    } else {
        for (const PairSide side : kProgramSides) {
            documents_.document(side).setLineEnd(LineEnd::Lf);
        }
        savePair(*newName);
    }
    const EntryShape shape = empty ? EntryShape::Pair : openPair_.shape(oldName);
    openPair_.setName(*newName);
    openPair_.addPair(*newName, shape);
    showListedPairs();
    reselectOpenPair();
    if (empty) {
        documents_.clear();
        for (const PairSide side : kPairSides) {
            documents_.document(side).setStamp(FileStamp::of(openPair_.path(side), {}));
        }
    }
    documents_.setUnmodified();
    updateCaption();
    emit messagesOutdated();
    updateCommandStates();
}

void WorkspaceController::Action_DelSExecute() {
    guarded([this] {
        const std::optional<QString> name = list_->selectedName();
        if (!name) {
            return;
        }
        QStringList files;
        for (const QString& file : openPair_.paths(*name)) {
            if (!file.isEmpty()) {
                files << file;
            }
        }
        const QString question = texts_.extra().deleteFiles + files.join(QStringLiteral("\n\r"));
        if (prompter_.showMessage(owner_, QMessageBox::Question, question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) !=
            QMessageBox::Yes) {
            return;
        }
        // An included file is no file of the program: its edits outlive the program's.
        if (!documents_.maybeSaveIncluded()) {
            return;
        }
        closeOpenPair();
        for (const QString& file : files) {
            if (QFileInfo(file).isFile()) {
                QFile::remove(file);
            }
        }
        reopenWorkspace();
    });
}

void WorkspaceController::Action_RenameExecute() {
    guarded([this] {
        if (!maybeSave()) {
            return;
        }
        const QString oldName = openPair_.name();
        const OpenPair& pair = openPair_;
        const std::optional<QString> newName = askPairName<TForm_Rename>(
            owner_, prompter_, oldName,
            [&pair](const QString& typed) {
                return checkRenameShaderName(typed, pair.directory(), pair.extensions(),
                                             pair.listed());
            },
            {texts_.message(MsgFileExists), texts_.extra().invalidShaderName});
        if (!newName || *newName == oldName) {
            return;
        }
        // Every stage file moves or none; a failure leaves the program, the list and the
        // documents as they were.
        const ProgramPaths from = openPair_.paths(oldName);
        const ProgramPaths to = openPair_.pathsAs(*newName, from);
        QList<FileMove> moves;
        for (const PairSide side : kProgramSides) {
            if (!from[int(side)].isEmpty() && QFileInfo(from[int(side)]).isFile()) {
                moves.append({from[int(side)], to[int(side)]});
            }
        }
        moveFilesTogether(moves);
        openPair_.setName(*newName);
        documents_.clear();
        openPair_.clearPairs();
        showListedPairs();
        if (QFileInfo(openPair_.directory()).isDir()) {
            rescanWorkspace();
        }
        const int row = openPair_.listedIndexOfOpen();
        if (row >= 0) {
            list_->selectRow(row);
            loadPair(openPair_.name());
        }
        documents_.setUnmodified();
        updateCaption();
        updateCommandStates();
    });
}

}  // namespace tessory
