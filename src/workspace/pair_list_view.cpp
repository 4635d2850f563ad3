// SPDX-License-Identifier: MIT
#include "workspace/pair_list_view.h"

#include <QScopedValueRollback>

namespace tessory {

PairListView::PairListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox1"));
    setUniformItemSizes(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QListWidget::itemSelectionChanged, this,
            &PairListView::selectionChangedByAnyone);
}

void PairListView::showNames(const QStringList& names) {
    const QScopedValueRollback fromCode(selectingFromCode_, true);
    setUpdatesEnabled(false);
    clear();
    addItems(names);
    for (int i = 0; i < count(); ++i) {
        item(i)->setToolTip(item(i)->text());
    }
    setUpdatesEnabled(true);
}

void PairListView::selectRow(int row) {
    const QScopedValueRollback fromCode(selectingFromCode_, true);
    setCurrentRow(row);
}

std::optional<QString> PairListView::selectedName() const {
    const QListWidgetItem* current = currentItem();
    if (current == nullptr || !current->isSelected()) {
        return std::nullopt;
    }
    return current->text();
}

void PairListView::selectionChangedByAnyone() {
    // Only a selection counts: the list makes its first row current, unselected, whenever it
    // gets the focus without a current row, and that is nobody's choice.
    if (selectingFromCode_ || choicePending_ || !selectedName()) {
        return;
    }
    choicePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            choicePending_ = false;
            emit pairChosen();
        },
        Qt::QueuedConnection);
}

}  // namespace tessory
