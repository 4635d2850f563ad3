// SPDX-License-Identifier: MIT
#include "workspace/pair_list_view.h"

#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>

namespace tessory {

PairListView::PairListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListBox1"));
    setUniformItemSizes(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QListWidget::itemSelectionChanged, this,
            &PairListView::selectionChangedByAnyone);
}

QIcon PairListView::entryIcon(QChar letter) {
    // One icon per letter for the whole list: a thousand lone shaders share three pixmaps.
    if (const auto known = icons_.constFind(letter); known != icons_.cend()) {
        return *known;
    }
    QPixmap badge(16, 16);
    badge.fill(Qt::transparent);
    if (letter.isNull()) {
        return icons_.insert(letter, QIcon(badge)).value();
    }
    QPainter painter(&badge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x6f, 0xa5));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(badge.rect(), Qt::AlignCenter, QString(letter));
    painter.end();
    return icons_.insert(letter, QIcon(badge)).value();
}

void PairListView::showNames(const QStringList& names, const QHash<int, EntryMark>& marks) {
    const QScopedValueRollback fromCode(selectingFromCode_, true);
    setUpdatesEnabled(false);
    clear();
    addItems(names);
    for (int i = 0; i < count(); ++i) {
        const auto mark = marks.constFind(i);
        if (mark == marks.cend()) {
            item(i)->setToolTip(item(i)->text());
            // Beside marked entries a pair keeps its name in line with theirs.
            if (!marks.isEmpty()) {
                item(i)->setIcon(entryIcon(QChar()));
            }
            continue;
        }
        item(i)->setIcon(entryIcon(mark->letter));
        item(i)->setToolTip(item(i)->text() + QLatin1Char('\n') + mark->note);
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
