// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QIcon>
#include <QListWidget>

#include <optional>

namespace tessory {

// The WorkSpace list. It tells of a choice only when the user made it: rows shown and selected
// by the program say nothing. The choice is told once the list has finished with the click or
// key, so that a selection put back by a cancelled save prompt is not overwritten by the list
// itself.
class PairListView : public QListWidget {
    Q_OBJECT
public:
    explicit PairListView(QWidget* parent = nullptr);

    // What sets an entry apart from a pair: a letter on its icon and why, for its tooltip.
    struct EntryMark {
        QChar letter;
        QString note;
    };
    // The names in this order, each with its whole name as tooltip (a long one is elided), and
    // the mark of each name that has one in `marks` (by row).
    void showNames(const QStringList& names, const QHash<int, EntryMark>& marks = {});
    // Makes the row current and selected; -1 leaves none.
    void selectRow(int row);
    // The selected entry's name; nothing when no entry is selected.
    std::optional<QString> selectedName() const;

signals:
    void pairChosen();

private:
    // A badge with the letter; a blank one without.
    QIcon entryIcon(QChar letter);
    void selectionChangedByAnyone();

    bool selectingFromCode_ = false;
    bool choicePending_ = false;
    QHash<QChar, QIcon> icons_;
};

}  // namespace tessory
