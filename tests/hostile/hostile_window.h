// SPDX-License-Identifier: MIT
#pragma once

#include "hostile/hostile_support.h"
#include "support/master_harness.h"

#include "ui/form_progress.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace tessory::testing {

inline const QByteArray kCleanVertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
inline const QByteArray kCleanFragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

// A main window over a WorkSpace of hostile files, with the steps a user takes and the checks
// that every step leaves the program usable.
class HostileWindow : public ::testing::Test {
protected:
    // The WorkSpace; the small file system when a test asks for it.
    QString ws() const { return workspace_; }
    void useWorkspace(const QString& directory) { workspace_ = directory; }

    QString file(const QString& name) const { return ws() + name; }

    void writePair(const QString& name, const QByteArray& vertex = kCleanVertex,
                   const QByteArray& fragment = kCleanFragment) const {
        writeBytes(name + ".vert", vertex);
        writeBytes(name + ".frag", fragment);
    }

    void writeBytes(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(ws());
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << file(name).toStdString();
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    QByteArray readBytes(const QString& name) const {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
    }

    MainWindow& start(const QString& open) {
        h.storeSettings(ws(), open);
        MainWindow& w = h.start();
        QCoreApplication::processEvents();
        return w;
    }

    // Clicks the entry as the user would and lets the selection handler run.
    void click(const QString& name) {
        QListWidget* list = pairListBox(*h.window);
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->scrollToItem(found.first());
        const QRect rect = list->visualItemRect(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QCoreApplication::processEvents();
    }

    void pressF10() {
        QTest::keyRelease(pairListBox(*h.window), Qt::Key_F10);
        QCoreApplication::processEvents();
    }

    // Runs a step of the user's and returns the texts of the messages it showed; given a figure,
    // prints how long the step took.
    QStringList step(const std::function<void()>& action, const std::string& figure = {}) {
        const qsizetype before = h.prompter.messages.size();
        if (figure.empty()) {
            action();
        } else {
            timed(figure, action);
        }
        return h.prompter.messageTexts().mid(before);
    }

    // Every message shown so far, for failure output.
    std::string shown() const { return h.prompter.messageTexts().join('|').toStdString(); }

    // No progress window is left on screen.
    static bool progressGone() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<TForm_Progress*>(widget) != nullptr && widget->isVisible()) {
                return false;
            }
        }
        return true;
    }

    MasterHarness h;

private:
    QString workspace_ = h.path(QStringLiteral("ws/"));
};

// Names each case of a parameterised test after the `name` of its row.
inline constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

// Whether one of the texts contains every part.
inline bool anyMentions(const QStringList& texts, const QStringList& parts) {
    for (const QString& text : texts) {
        bool all = true;
        for (const QString& part : parts) {
            all = all && text.contains(part);
        }
        if (all) {
            return true;
        }
    }
    return false;
}

}  // namespace tessory::testing
