// SPDX-License-Identifier: MIT
#pragma once

#include "app/elided_label.h"
#include "compile/error_list_view.h"
#include "editor/code_edit.h"
#include "editor/shader_pane.h"
#include "options/form_config.h"
#include "workspace/pair_side.h"

#include <QAction>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <optional>

// Tests and benchmarks reach the main window through these, as a user does, so that none of its
// members needs to be public.
namespace tessory::testing {

// The window's parts, found by their object names as a user finds them by what they show.
template <class T>
T* part(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("the window has no %s", name);
    }
    return found;
}

inline CodeEdit* vertexEdit(const QObject& w) {
    return part<CodeEdit>(w, "RichEdit_Vertex");
}
inline CodeEdit* fragmentEdit(const QObject& w) {
    return part<CodeEdit>(w, "RichEdit_Fragment");
}
inline ShaderPane& pane(const QObject& w, PairSide side) {
    static const char* const names[kPaneCount] = {
        "RichEdit_Vertex",   "RichEdit_Fragment", "RichEdit_Geometry", "RichEdit_TessControl",
        "RichEdit_TessEval", "RichEdit_Compute",  "RichEdit_Included"};
    return *part<CodeEdit>(w, names[int(side)])->findChild<ShaderPane*>();
}
inline QListWidget* pairListBox(const QObject& w) {
    return part<QListWidget>(w, "ListBox1");
}
inline ErrorListView* errorListBox(const QObject& w) {
    return part<ErrorListView>(w, "ListBox_Err");
}
inline QTabWidget* paneTabs(const QObject& w) {
    return part<QTabWidget>(w, "PageControl1");
}
inline QAction* action(const QObject& w, const char* name) {
    return part<QAction>(w, name);
}
inline ElidedLabel* statusPanel(const QObject& w, int index) {
    const QByteArray name = "StatusPanel" + QByteArray::number(index);
    return part<ElidedLabel>(w, name.constData());
}
// The options dialog while it is open, or null; a closed one lingers until its deletion runs.
inline TForm_Config* optionsDialog(const QObject& w) {
    for (TForm_Config* dialog : w.findChildren<TForm_Config*>()) {
        if (dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}
// The pane that shows the red error mark: 0 vertex, 1 fragment, -1 none; and its line.
inline int errorMarkPane(const QObject& w) {
    for (const PairSide side : kPairSides) {
        if (pane(w, side).markedLine()) {
            return int(side);
        }
    }
    return -1;
}
inline int errorMarkLine(const QObject& w) {
    for (const PairSide side : kPairSides) {
        if (const std::optional<int> line = pane(w, side).markedLine()) {
            return *line;
        }
    }
    return -1;
}

// What the user sees in the window's lists.
inline QStringList listTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text());
    }
    return texts;
}

inline QStringList entries(const QObject& w) {
    return listTexts(pairListBox(w));
}

inline QStringList errorEntries(const QObject& w) {
    return listTexts(errorListBox(w));
}

// Clicks a WorkSpace entry as the user would.
inline void clickEntry(QObject& w, int row) {
    const QRect rect = pairListBox(w)->visualItemRect(pairListBox(w)->item(row));
    QTest::mouseClick(pairListBox(w)->viewport(), Qt::LeftButton, {}, rect.center());
    QCoreApplication::processEvents();
}

// The selected WorkSpace entry, or "<none>".
inline QString selectedEntry(const QObject& w) {
    const QListWidgetItem* item = pairListBox(w)->currentItem();
    return item != nullptr && item->isSelected() ? item->text() : QStringLiteral("<none>");
}

}  // namespace tessory::testing
