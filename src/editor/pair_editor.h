// SPDX-License-Identifier: MIT
#pragma once

#include "editor/glsl_navigation.h"
#include "editor/text_format.h"
#include "texts/texts.h"
#include "ui/command_groups.h"
#include "workspace/pair_side.h"

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QPlainTextEdit;
class QTabWidget;

namespace tessory {

class AssistModel;
class CodeEdit;
class FindBar;
class PairDocument;
class PaneAssist;
class ShaderPane;

// The view of the open program: a tab for each stage file's pane with its outline over it (the
// pair's two tabs while no program is open) and the find bar under them. The edit commands act on
// the pane of the active tab, the zoom on both panes alike, and a key or click in a pane removes
// the error mark. Go to definition shows the declaration in either pane, and Go Back returns to
// where each jump started.
class PairEditor : public QWidget {
    Q_OBJECT
public:
    explicit PairEditor(PairDocument& documents, QWidget* parent = nullptr);

    ShaderPane& pane(PairSide side) const { return *panes_[int(side)]; }
    PaneAssist& assist(PairSide side) const { return *assists_[int(side)]; }
    AssistModel& assistModel() const { return *assistModel_; }
    QList<QWidget*> pages() const;
    // The pane of the active tab.
    CodeEdit* activeEdit() const;
    PairSide activeSide() const;

    void connectEditActions(const EditCommands& edit, const ViewCommands& view);
    void setTexts(const Texts& texts);
    void setFormats(const CategoryFormats& formats);
    void setZoom(int step);
    // Without a pair the panes cannot be edited and there is nothing to search.
    void setPairSelected(bool selected);
    // The insert mode and caret panels of the status bar as they read now.
    void showStatus();
    void updateEditActions();

    // Shows the pane's tab and, for a line it has (0-based), puts the caret at the column with
    // the line marked red, the only mark in both panes; false for a line it does not have.
    bool showLocation(PairSide side, qint64 line, int column);
    void clearErrorMarks();

    // Puts the caret on the declaration, in whichever pane shows its file.
    void navigate(const glsl::Location& to);
    void goBack();

    // The file an #include line's name means for the file it is in; empty when there is none.
    // Without one, an #include line leads nowhere.
    using IncludeResolver = std::function<QString(const QString& name, const QString& from)>;
    void setIncludeResolver(IncludeResolver resolve) { resolveInclude_ = std::move(resolve); }
    // The pane that shows the file: a stage's, or the included file's tab, which is given the
    // file first when no pane shows it. Nothing when the user cancelled the save prompt of the
    // included file shown before; FileError when the file cannot be read.
    std::optional<PairSide> showFile(const QString& path);

signals:
    // A note for the status bar.
    void noteShown(const QString& text);
    void caretShown(const QString& text);
    void insertModeShown(const QString& text);
    // A pane was zoomed by the user; both panes show it.
    void zoomChanged(int step);

private:
    void paneKeyDown(PairSide side, int key, Qt::KeyboardModifiers modifiers);
    void showCaret(PairSide side);
    QString insertModeText(PairSide side) const;
    void runEditCommand(void (QPlainTextEdit::*command)());
    void activeTabChanged();
    void showStageTabs();
    void openInclude(PairSide from, const QString& name);
    void connectAssist();

    struct Place {
        PairSide side;
        int position;
    };

    PairDocument& documents_;
    Texts texts_;
    EditCommands edit_;
    std::array<ShaderPane*, kPaneCount> panes_{};
    AssistModel* assistModel_;
    std::array<PaneAssist*, kPaneCount> assists_{};
    QList<Place> history_;
    IncludeResolver resolveInclude_;
    std::array<QWidget*, kPaneCount> pages_{};
    QTabWidget* tabs_;
    // The tab to go back to once its stage is shown again; -1 for none.
    int wantedTab_ = -1;
    bool switchingTabs_ = false;
    FindBar* findBar_;
};

}  // namespace tessory
