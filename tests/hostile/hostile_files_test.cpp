// SPDX-License-Identifier: MIT
// Files in the WorkSpace that are not what a shader file should be, met at every step of the main
// window: the start-up scan, selecting the pair, Test Shader, Test all, F10 and saving.
#include "hostile/hostile_window.h"

#include "texts/ui_texts.h"
#include "workspace/shader_file.h"

#include <QTabWidget>
#include <QTextEdit>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

using namespace tessory;
using namespace tessory::testing;

namespace {

// Shader-like text of at least `bytes` bytes, in lines as a real file has them.
QByteArray shaderText(qint64 bytes) {
    const QByteArray line =
        "    vec4 colour = texture2D(sampler, gl_TexCoord[0].st) * 0.5; // a comment\n";
    QByteArray text = "void main()\n{\n";
    text.reserve(bytes + line.size());
    while (text.size() < bytes) {
        text += line;
    }
    return text;
}

class HostileFiles : public HostileWindow {};

TEST_F(HostileFiles, AHugeShaderFileIsRefusedWithItsNameAndSizeWhereverItIsMet) {
    writePair("a");
    writeBytes("big.frag", kCleanFragment);
    {
        QFile big(file("big.vert"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(200) << 20));  // sparse: made at once, takes no room
    }
    const DirSnapshot before = snapshot(ws());
    // Every step that meets the file names it with its size, and takes its time.
    const auto namesTheBigFile = [&](const char* figure, const std::function<void()>& action) {
        const QStringList told = step(action, figure);
        EXPECT_TRUE(anyMentions(told, {file("big.vert"), QStringLiteral("200.0 MB")}))
            << figure << ": " << shown();
    };

    namesTheBigFile("start-up with a 200 MB file in the open pair", [&] { start("big"); });
    MainWindow& w = *h.window;
    EXPECT_EQ(entries(w), QStringList({"a", "big"}));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("<none>"));

    click("a");
    namesTheBigFile("selecting the pair with the 200 MB file", [&] { click("big"); });
    EXPECT_EQ(selectedEntry(w), QStringLiteral("a"));
    EXPECT_EQ(w.settings().CurrentFileName, QStringLiteral("a"));
    EXPECT_EQ(vertexEdit(w)->toPlainText(), QString::fromLatin1(kCleanVertex));

    namesTheBigFile("Test all over the pair with the 200 MB file",
                    [&] { action(w, "Action_TestAll")->trigger(); });
    EXPECT_TRUE(progressGone());
    namesTheBigFile("F10 over the pair with the 200 MB file", [&] { pressF10(); });
    EXPECT_TRUE(progressGone());
    EXPECT_EQ(snapshot(ws()), before);
}

TEST_F(HostileFiles, TheLargestAcceptedShaderFileLoadsAndOneByteMoreIsRefused) {
    QByteArray text = shaderText(kMaxShaderFileSize - 3);
    text.truncate(kMaxShaderFileSize - 2);
    text += "}\n";
    writePair("a");
    writePair("large", text, kCleanFragment);
    MainWindow& w = start("a");
    EXPECT_TRUE(
        step([&] { click("large"); }, "loading a 16 MB shader file into its pane").isEmpty())
        << shown();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("large"));
    EXPECT_EQ(vertexEdit(w)->document()->blockCount(), text.count('\n') + 1);

    text += ' ';
    writeBytes("large.vert", text);
    EXPECT_THROW(loadShaderFile(file("large.vert")), FileError);
}

TEST_F(HostileFiles, BinaryBytesWithNulsCompileAndSaveBackUnchanged) {
    QByteArray binary;
    for (int round = 0; round < 64; ++round) {
        for (int b = 0; b < 256; ++b) {
            // A lone CR would be a line end of another kind, which saving makes uniform.
            if (b != '\r') {
                binary.append(char(b));
            }
        }
    }
    writePair("a");
    writePair("bin", binary, kCleanFragment);
    MainWindow& w = start("a");
    click("bin");
    EXPECT_EQ(selectedEntry(w), QStringLiteral("bin"));
    EXPECT_TRUE(vertexEdit(w)->toPlainText().contains(QChar(0)));

    action(w, "Action_Compile")->trigger();
    EXPECT_GT(errorListBox(w)->count(), 0);
    action(w, "Action_SaveShader")->trigger();
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << shown();
    EXPECT_EQ(readBytes("bin.vert"), binary);
    pressF10();
    EXPECT_TRUE(QFileInfo(file("shaders.dat")).isFile());
}

// What can stand where a pair file should be.
enum class Impostor { Directory, LinkLoop, Pipe, UnreadableLink, NoPermission };

struct ImpostorCase {
    const char* name;
    Impostor kind;
    bool listed;  // whether the scan still sees a file there
};

class Impostors : public HostileWindow, public ::testing::WithParamInterface<ImpostorCase> {
protected:
    void SetUp() override {
        if (GetParam().kind == Impostor::NoPermission && geteuid() == 0) {
            GTEST_SKIP() << "permission bits do not stop root from reading; the link to "
                            "/proc/self/mem is the unreadable file there";
        }
    }

    // Puts the impostor in place of the file.
    void replace(const QString& name) {
        const QString path = file(name);
        QFile::remove(path);
        switch (GetParam().kind) {
            case Impostor::Directory:
                ASSERT_TRUE(QDir().mkdir(path));
                break;
            case Impostor::LinkLoop:
                ASSERT_TRUE(QFile::link(name, path));  // the link names itself
                break;
            case Impostor::Pipe:
                ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
                break;
            case Impostor::UnreadableLink:
                // A regular file to stat, whose first read fails with an I/O error even for root.
                ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), path));
                break;
            case Impostor::NoPermission:
                writeBytes(name, kCleanFragment);
                ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
                break;
        }
    }

    // A step of the user's with a fresh watch on the pipe, on which the program must never wait.
    QStringList watched(const std::function<void()>& action) {
        std::unique_ptr<PipeWatchdog> watchdog;
        if (GetParam().kind == Impostor::Pipe) {
            watchdog = std::make_unique<PipeWatchdog>(file("b.frag"), 3);
        }
        const QStringList told = step(action);
        if (watchdog) {
            EXPECT_FALSE(watchdog->stop()) << "the program waited on the pipe";
        }
        return told;
    }
};

TEST_P(Impostors, AtStartUpTheScanNamesOrListsThePairWithoutWritingAnything) {
    writePair("a");
    writePair("b");
    replace("b.frag");
    const DirSnapshot before = snapshot(ws());
    const QStringList told = watched([&] { start("b"); });
    MainWindow& w = *h.window;
    if (GetParam().listed) {
        EXPECT_EQ(entries(w), QStringList({"a", "b"}));
        EXPECT_TRUE(anyMentions(told, {file("b.frag")})) << shown();
        EXPECT_EQ(selectedEntry(w), QStringLiteral("<none>"));
    } else {
        // The vertex file stands alone: the entry opens as a vertex shader of its own, and what
        // stands in place of its partner is named, unless it is a folder, which is no file.
        EXPECT_EQ(entries(w), QStringList({"a", "b"}));
        EXPECT_EQ(selectedEntry(w), QStringLiteral("b"));
        if (GetParam().kind == Impostor::Directory) {
            EXPECT_TRUE(told.isEmpty()) << shown();
        } else {
            EXPECT_TRUE(anyMentions(told, {QStringLiteral("b.frag")})) << shown();
        }
    }
    EXPECT_EQ(snapshot(ws()), before);
}

TEST_P(Impostors, InPlaceOfAnOpenPairFileNothingIsLostAndEveryCommandAnswers) {
    writePair("a");
    writePair("b");
    MainWindow& w = start("b");
    vertexEdit(w)->insertPlainText(QStringLiteral("// edited\n"));
    const QString edited = vertexEdit(w)->toPlainText();
    replace("b.frag");
    const DirSnapshot before = snapshot(ws());

    const QStringList saved = watched([&] { action(w, "Action_SaveShader")->trigger(); });
    if (GetParam().kind == Impostor::LinkLoop) {
        // A link that leads nowhere is no file to keep: the save puts the pair's file there.
        EXPECT_TRUE(saved.isEmpty()) << shown();
        EXPECT_EQ(readBytes("b.frag"), kCleanFragment);
        return;
    }
    EXPECT_TRUE(anyMentions(saved, {file("b.frag")})) << shown();
    EXPECT_EQ(snapshot(ws()), before);
    EXPECT_EQ(vertexEdit(w)->toPlainText(), edited);
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("] *")));

    EXPECT_TRUE(anyMentions(watched([&] { pressF10(); }), {file("b.frag")})) << shown();
    EXPECT_EQ(snapshot(ws()), before);
    EXPECT_TRUE(progressGone());

    // Test all first offers to save the edit; the answer No keeps the files as they are.
    h.prompter.answers.push_back(QMessageBox::No);
    const QStringList told = watched([&] { action(w, "Action_TestAll")->trigger(); });
    EXPECT_TRUE(anyMentions(told, {file("b.frag")}) ||
                told.contains(h.messages()[MsgCouldNotLoadFragment]))
        << told.join('|').toStdString();
    EXPECT_TRUE(progressGone());
    EXPECT_TRUE(action(w, "Action_TestAll")->isEnabled());
    EXPECT_EQ(snapshot(ws()), before);
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, Impostors,
    ::testing::Values(ImpostorCase{"Directory", Impostor::Directory, false},
                      ImpostorCase{"LinkLoop", Impostor::LinkLoop, false},
                      ImpostorCase{"Pipe", Impostor::Pipe, false},
                      ImpostorCase{"UnreadableLink", Impostor::UnreadableLink, true},
                      ImpostorCase{"NoPermission", Impostor::NoPermission, true}),
    byName);

}  // namespace
