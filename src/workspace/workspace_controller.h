// SPDX-License-Identifier: MIT
#pragma once

#include "texts/texts.h"
#include "ui/command_groups.h"
#include "workspace/open_pair.h"

#include <QObject>

class QWidget;

namespace tessory {

class AppSettings;
class PairDocument;
class PairListView;
class Prompter;
class RecoveryStore;
struct RecoveryEntry;
struct TCFG;

// The WorkSpace and the pair open in it: the scan, the WorkSpace list and the commands that open,
// create, copy, rename, delete and save pairs or choose another WorkSpace. Whatever goes wrong in
// a command is shown and leaves the WorkSpace, the list and the documents as they were.
class WorkspaceController : public QObject {
    Q_OBJECT
public:
    // Questions and dialogs are owned by `owner`.
    WorkspaceController(AppSettings& settings, PairDocument& documents, Prompter& prompter,
                        QWidget* owner);

    void setTexts(const Texts& texts) { texts_ = texts; }
    void connectPairActions(const PairCommands& pair);
    // Where texts a crashed editor left unsaved are found; they are offered when their pair is
    // opened, or when their WorkSpace is when the pair's files are gone.
    void setRecoveryStore(RecoveryStore* store) { recovery_ = store; }
    PairListView* listView() const { return list_; }
    const OpenPair& openPair() const { return openPair_; }
    // The WorkSpace, open pair and extensions written into the settings that are stored.
    void storeInto(TCFG& settings) const;

    // Start-up: the stored WorkSpace and pair, or the WorkSpace given on the command line with
    // its first pair.
    void start(const QString& givenWorkspace);
    void rescanWorkspace();
    // The save prompt before the open pair is left; false when the user cancelled.
    bool maybeSave();
    // Saves the open pair, reads the WorkSpace with the new extensions and opens its first pair;
    // false when the user cancelled the save prompt.
    bool changeExtensions(const PairExtensions& extensions);
    // Opens the listed pair at the row as a command does, without a prompt: the WorkSpace test
    // hands over the pair it reports.
    void openListedPair(int row);
    // Tells whether a pair is selected, for the commands that need one.
    void updateCommandStates();
    void updateCaption();

    void Action_SaveShaderExecute();
    void Action_SelWorkSpaceExecute();
    void Action_NewShaderExecute();
    void Action_NESExecute();
    void Action_DelSExecute();
    void Action_RenameExecute();

signals:
    void captionChanged(const QString& caption);
    void pairSelectionChanged(bool pairSelected);
    // The pair in the documents is another one now (or none); name and directory for what
    // belongs to it.
    void pairLoaded(const QString& name, const QString& directory);
    // The WorkSpace shown in the status bar.
    void workspaceShown(const QString& directory);
    // The messages shown so far speak of another pair or WorkSpace.
    void messagesOutdated();
    // The recovery folder holds something that is not a text kept for recovery.
    void recoveryTrouble(const QString& message);

private:
    void guarded(const std::function<void()>& command);
    void openChosenPair();
    void loadPair(const QString& name);
    void savePair(const QString& name);
    void showListedPairs();
    void reselectOpenPair();
    void reopenLastPair();
    void openFirstPair();
    void closeOpenPair();
    void reopenWorkspace();
    bool takeGivenWorkspace(const QString& givenWorkspace);
    // Asks whether the kept texts of the open pair go into its documents.
    void offerRecovery(const QList<RecoveryEntry>& entries);
    void offerRecoveryOfOpenPair();
    // Kept texts of pairs whose files are gone, offered as pairs to save again.
    void offerRecoveryOfLostPairs();
    bool askToRecover(const QString& pair, const QList<RecoveryEntry>& entries);
    void createPair(bool empty);
    QString path(PairSide side, const QString& name) const { return openPair_.path(side, name); }
    // The stage files of the open program that its documents hold.
    ProgramPaths openPaths() const;

    AppSettings& settings_;
    PairDocument& documents_;
    Prompter& prompter_;
    QWidget* owner_;
    Texts texts_;
    OpenPair openPair_;
    PairListView* list_;
    RecoveryStore* recovery_ = nullptr;
};

}  // namespace tessory
