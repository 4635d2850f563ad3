// SPDX-License-Identifier: MIT
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include "texts/ui_texts.h"
#include "workspace/name_dialogs.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cerrno>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

// The user types each name in turn and presses OK; after the last, Cancel if still open.
std::function<void(QDialog&)> typeNames(QStringList names, bool cancelAtEnd = false) {
    return [names, cancelAtEnd](QDialog& dialog) {
        auto& nameDialog = static_cast<NameDialog&>(dialog);
        for (const QString& name : names) {
            nameDialog.Edit1->setText(name);
            nameDialog.Button1->click();
        }
        if (cancelAtEnd && nameDialog.isVisible()) {
            nameDialog.Button2->click();
        }
    };
}

class FileCommands : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", "// a vertex\n");
        h.writeFile("ws/a.frag", "// a fragment\n");
        h.writeFile("ws/c.vert", "// c vertex\n");
        h.writeFile("ws/c.frag", "// c fragment\n");
    }

    QWidget& start() {
        h.start("ws/", "c");
        return h.root;
    }

    QStringList wsFiles() const {
        return QDir(h.path("ws")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    ControllerHarness h;
};

TEST_F(FileCommands, NewShaderFromCurrentCopiesThePanesIntoANewPair) {
    QWidget& w = start();
    QTest::keyClicks(vertexEdit(w), "edited ");
    h.prompter.answers.push_back(QMessageBox::No);  // the edits go to the copy only
    h.prompter.dialogScripts.push_back(typeNames({"b"}));
    h.workspace.Action_NewShaderExecute();
    EXPECT_EQ(h.readFile("ws/b.vert"), QByteArray("edited // c vertex\n"));
    EXPECT_EQ(h.readFile("ws/b.frag"), QByteArray("// c fragment\n"));
    EXPECT_EQ(h.readFile("ws/c.vert"), QByteArray("// c vertex\n"));
    EXPECT_EQ(entries(w), QStringList({"a", "b", "c"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [b]"));
    EXPECT_GT(h.messagesOutdated, 0);
}

TEST_F(FileCommands, NewShaderWritesTwoEmptyFiles) {
    QWidget& w = start();
    h.prompter.dialogScripts.push_back(typeNames({"new one"}));
    h.workspace.Action_NESExecute();
    EXPECT_EQ(wsFiles(), QStringList({"a.frag", "a.vert", "c.frag", "c.vert", "new one.frag",
                                      "new one.vert"}));
    EXPECT_EQ(h.readFile("ws/new one.vert"), QByteArray());
    EXPECT_EQ(h.readFile("ws/new one.frag"), QByteArray());
    EXPECT_TRUE(vertexEdit(w)->toPlainText().isEmpty());
    EXPECT_EQ(selectedEntry(w), QStringLiteral("new one"));
    EXPECT_FALSE(vertexEdit(w)->document()->isModified());
}

TEST_F(FileCommands, CancelOrAnEmptyNameCreatesNothing) {
    QWidget& w = start();
    const QStringList before = wsFiles();
    h.prompter.dialogScripts.push_back(typeNames({}, true));
    h.workspace.Action_NESExecute();
    h.prompter.dialogScripts.push_back(typeNames({""}));
    h.workspace.Action_NewShaderExecute();
    EXPECT_EQ(wsFiles(), before);
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("c"));
    EXPECT_EQ(entries(w), QStringList({"a", "c"}));
    EXPECT_EQ(h.messagesOutdated, 0);
}

// Any name with a file of either kind is refused, listed or not, in any ASCII case; so is renaming
// a pair to its own name in another case.
TEST_F(FileCommands, BothDialogsRefuseNamesThatWouldOverwriteFiles) {
    start();
    // Both appear after the scan.
    h.writeFile("ws/lone.frag", "keep me\n");
    h.writeFile("ws/solo.vert", "");
    h.prompter.dialogScripts.push_back(typeNames({"C", "a", "A", "lone"}, true));
    h.workspace.Action_NESExecute();
    h.prompter.dialogScripts.push_back(typeNames({"c", "C", "A", "solo"}, true));
    h.workspace.Action_RenameExecute();
    EXPECT_EQ(h.prompter.messageTexts(), QStringList(8, h.messages()[MsgFileExists]));
    for (qsizetype i = 0; i < h.prompter.messages.size(); ++i) {
        EXPECT_EQ(h.prompter.messages[i].icon, QMessageBox::Information);
        EXPECT_EQ(h.prompter.messages[i].ownerName, i < 4 ? "Form_New" : "Form_Rename");
    }
    EXPECT_EQ(h.readFile("ws/lone.frag"), QByteArray("keep me\n"));
    EXPECT_EQ(h.readFile("ws/a.vert"), QByteArray("// a vertex\n"));
    EXPECT_TRUE(QFileInfo::exists(h.path("ws/c.vert")));
    EXPECT_EQ(h.stored().CurrentFileName, QStringLiteral("c"));
}

TEST_F(FileCommands, BothDialogsRefuseNamesThatLeaveTheWorkSpace) {
    start();
    const QStringList bad = {".",
                             "..",
                             "../escape",
                             "sub/name",
                             "back\\slash",
                             QStringLiteral("tab\there"),
                             QString(QChar(0)) + "nul"};
    h.prompter.dialogScripts.push_back(typeNames(bad, true));
    h.workspace.Action_NESExecute();
    h.prompter.dialogScripts.push_back(typeNames(QStringList(bad) << "", true));
    h.workspace.Action_RenameExecute();
    EXPECT_EQ(h.prompter.messageTexts(),
              QStringList(2 * bad.size() + 1, QStringLiteral("Invalid shader name!")));
    EXPECT_EQ(QDir(h.path("")).entryList(QDir::Files), QStringList());
    EXPECT_EQ(wsFiles(), QStringList({"a.frag", "a.vert", "c.frag", "c.vert"}));
}

TEST_F(FileCommands, GermanUsersAreToldInGerman) {
    h.german = true;
    start();
    h.prompter.dialogScripts.push_back(typeNames({"..", "c"}, true));
    h.workspace.Action_NESExecute();
    h.prompter.answers.push_back(QMessageBox::No);
    h.workspace.Action_DelSExecute();
    EXPECT_EQ(h.prompter.messageTexts(),
              QStringList({QStringLiteral("Ungültiger Shader-Name!"),
                           QStringLiteral("Datei ist bereits vorhanden!"),
                           QStringLiteral("Wollen Sie wirklich folgende Dateien löschen ?\n\r") +
                               h.path("ws/c.vert") + "\n\r" + h.path("ws/c.frag")}));
}

TEST_F(FileCommands, DeleteAsksAndOpensTheFirstPair) {
    h.writeFile("ws/b.vert", "");
    h.writeFile("ws/b.frag", "");
    QWidget& w = start();
    ASSERT_EQ(selectedEntry(w), QStringLiteral("c"));
    h.prompter.answers.push_back(QMessageBox::No);
    h.workspace.Action_DelSExecute();
    EXPECT_TRUE(QFileInfo::exists(h.path("ws/c.vert")));
    EXPECT_EQ(h.messagesOutdated, 0);

    h.prompter.answers.push_back(QMessageBox::Yes);
    h.workspace.Action_DelSExecute();
    ASSERT_EQ(h.prompter.messages.size(), 2);
    EXPECT_EQ(h.prompter.messages[1].text,
              QStringLiteral("Do you really want to delete the following files?\n\r") +
                  h.path("ws/c.vert") + "\n\r" + h.path("ws/c.frag"));
    EXPECT_EQ(h.prompter.messages[1].icon, QMessageBox::Question);
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/c.vert")));
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/c.frag")));
    EXPECT_EQ(entries(w), QStringList({"a", "b"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QStringLiteral("// a vertex\n"));
    EXPECT_GT(h.messagesOutdated, 0);
}

TEST_F(FileCommands, DeletingTheLastPairLeavesNothingOpen) {
    QFile::remove(h.path("ws/a.vert"));
    QFile::remove(h.path("ws/a.frag"));
    QWidget& w = start();
    h.prompter.answers.push_back(QMessageBox::Yes);
    h.workspace.Action_DelSExecute();
    EXPECT_TRUE(entries(w).isEmpty());
    EXPECT_EQ(h.stored().CurrentFileName, QString());
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - []"));
    EXPECT_FALSE(h.pairSelected);
    EXPECT_FALSE(part<QWidget>(w, "TabSheet1")->isEnabled());
}

TEST_F(FileCommands, RenameMovesBothFilesAndKeepsTheErrorList) {
    QWidget& w = start();
    h.prompter.dialogScripts.push_back(typeNames({"z"}));
    h.workspace.Action_RenameExecute();
    EXPECT_FALSE(QFileInfo::exists(h.path("ws/c.vert")));
    EXPECT_EQ(h.readFile("ws/z.vert"), QByteArray("// c vertex\n"));
    EXPECT_EQ(h.readFile("ws/z.frag"), QByteArray("// c fragment\n"));
    EXPECT_EQ(entries(w), QStringList({"a", "z"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("z"));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QStringLiteral("// c fragment\n"));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [z]"));
    EXPECT_EQ(h.messagesOutdated, 0);
}

TEST_F(FileCommands, RenameMovesBothFilesOrNeitherAndSaysWhy) {
    QWidget& w = start();
    h.prompter.dialogScripts.push_back([this](QDialog& dialog) {
        typeNames({"z"})(dialog);
        // Another program takes the new name of the fragment file meanwhile.
        h.writeFile("ws/z.frag", "theirs");
    });
    h.workspace.Action_RenameExecute();
    EXPECT_EQ(wsFiles(), QStringList({"a.frag", "a.vert", "c.frag", "c.vert", "z.frag"}));
    EXPECT_EQ(h.readFile("ws/z.frag"), QByteArray("theirs"));
    ASSERT_EQ(h.prompter.messages.size(), 1);
    const QString told = h.prompter.messages[0].text;
    EXPECT_TRUE(told.contains(h.path("ws/c.frag")) && told.contains(qt_error_string(EEXIST)))
        << told.toStdString();
    EXPECT_EQ(entries(w), QStringList({"a", "c"}));
    EXPECT_EQ(h.caption, QStringLiteral("GLSL Tessory - [c]"));
    EXPECT_EQ(fragmentEdit(w)->toPlainText(), QStringLiteral("// c fragment\n"));
}

}  // namespace
