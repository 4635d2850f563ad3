// SPDX-License-Identifier: MIT
// Test Shader and Save on programs beyond a pair, on shaders modelled on public repositories: a
// geometry stage linked with the pair, a lone fragment shader with the built-in vertex stage, a
// target chosen for a program, an error in an included file and a project file broken meanwhile.
#include "support/controller_harness.h"
#include "support/window_parts.h"

#include "compile/error_list_view.h"
#include "workspace/name_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

QByteArray repositoryFile(const QString& path) {
    QFile file(QStringLiteral(TESSORY_TEST_SOURCE_DIR "/../check/repositories/") + path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QList<bool> visibleTabs(const QObject& w) {
    QList<bool> visible;
    for (int i = 0; i < paneTabs(w)->count(); ++i) {
        visible << paneTabs(w)->isTabVisible(i);
    }
    return visible;
}

class Programs : public ::testing::Test {
protected:
    // The tutorial's geometry program under the tutorial's extensions, and the same pair without
    // its geometry stage.
    QWidget& startTutorial() {
        const QString dir = QStringLiteral("9.geometry/9.normals");
        h.writeFile("ws/normals.vs", repositoryFile("tutorial/" + dir + ".vs"));
        h.writeFile("ws/normals.gs", repositoryFile("tutorial/" + dir + ".gs"));
        h.writeFile("ws/normals.fs", repositoryFile("tutorial/" + dir + ".fs"));
        h.writeFile("ws/flat.vs", repositoryFile("tutorial/" + dir + ".vs"));
        h.writeFile("ws/flat.fs", repositoryFile("tutorial/" + dir + ".fs"));
        h.storeSettings(h.path("ws/"), "normals", [](TCFG& cfg) {
            cfg.FileExtVertex = ".vs";
            cfg.FileExtFragment = ".fs";
            cfg.FileExtGeometry = ".gs";
        });
        return h.start();
    }

    void open(QWidget& w, const QString& name) {
        clickEntry(w, int(entries(w).indexOf(name)));
        QTest::qWait(50);
        ASSERT_EQ(selectedEntry(w), name);
    }

    ControllerHarness h;
};

TEST_F(Programs, AGeometryStageHasItsTabAndIsLinkedWithThePair) {
    QWidget& w = startTutorial();
    EXPECT_EQ(entries(w), QStringList({"flat", "normals"}));
    EXPECT_EQ(visibleTabs(w), QList<bool>({true, true, true, false, false, false, false}));
    EXPECT_EQ(paneTabs(w)->tabText(2), QStringLiteral("GeometryShader"));
    EXPECT_TRUE(pane(w, PairSide::Geometry).document().text().contains("EmitVertex"));

    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w),
              QStringList({"VertexShader: OK", "FragmentShader: OK", "GeometryShader: OK"}));

    // The same vertex and fragment shaders alone leave the fragment input unwritten.
    open(w, "flat");
    EXPECT_EQ(visibleTabs(w), QList<bool>({true, true, false, false, false, false, false}));
    h.build->Action_CompileExecute();
    // The stages compiled; the link's message, which follows from them, comes last.
    ASSERT_EQ(errorEntries(w).size(), 3) << errorEntries(w).join('\n').toStdString();
    EXPECT_EQ(errorEntries(w).mid(0, 2), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_TRUE(errorEntries(w)[2].contains("lineColor")) << errorEntries(w)[2].toStdString();
}

// New from current, Rename and Delete take every stage file of the program along.
TEST_F(Programs, TheFileCommandsActOnEveryStageFile) {
    QWidget& w = startTutorial();
    const auto typeName = [](const QString& name) {
        return [name](QDialog& dialog) {
            auto& names = static_cast<NameDialog&>(dialog);
            names.Edit1->setText(name);
            names.Button1->click();
        };
    };
    h.prompter.dialogScripts.push_back(typeName(QStringLiteral("copy")));
    h.workspace.Action_NewShaderExecute();
    EXPECT_EQ(h.readFile("ws/copy.gs"), h.readFile("ws/normals.gs"));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("copy"));
    EXPECT_TRUE(paneTabs(w)->isTabVisible(int(PairSide::Geometry)));

    h.prompter.dialogScripts.push_back(typeName(QStringLiteral("lines")));
    h.workspace.Action_RenameExecute();
    EXPECT_FALSE(QFile::exists(h.path("ws/copy.gs")));
    EXPECT_TRUE(QFile::exists(h.path("ws/lines.vs")));
    EXPECT_TRUE(QFile::exists(h.path("ws/lines.gs")));
    EXPECT_TRUE(QFile::exists(h.path("ws/lines.fs")));
    EXPECT_EQ(selectedEntry(w), QStringLiteral("lines"));

    h.prompter.answers = {QMessageBox::Yes};
    h.workspace.Action_DelSExecute();
    ASSERT_FALSE(h.prompter.messages.isEmpty());
    EXPECT_TRUE(h.prompter.messages.last().text.contains(h.path("ws/lines.gs")));
    EXPECT_FALSE(QFile::exists(h.path("ws/lines.vs")));
    EXPECT_FALSE(QFile::exists(h.path("ws/lines.gs")));
    EXPECT_FALSE(QFile::exists(h.path("ws/lines.fs")));
    EXPECT_EQ(entries(w), QStringList({"flat", "normals"}));
}

TEST_F(Programs, SaveWritesEveryStageFileOfTheProgramOrNone) {
    QWidget& w = startTutorial();
    for (const PairSide side : {PairSide::Vertex, PairSide::Fragment, PairSide::Geometry}) {
        QTextCursor start(pane(w, side).document().textDocument());
        start.insertText(QStringLiteral("// edited\n"));
    }
    const QByteArray vertex = h.readFile("ws/normals.vs");
    const QByteArray fragment = h.readFile("ws/normals.fs");
    // A folder in place of the geometry file: its write fails, so nothing is written.
    QFile::remove(h.path("ws/normals.gs"));
    ASSERT_TRUE(QDir(h.path("ws")).mkdir(QStringLiteral("normals.gs")));
    h.prompter.answers = {QMessageBox::Ok};
    h.workspace.Action_SaveShaderExecute();
    EXPECT_FALSE(h.prompter.messages.isEmpty());
    EXPECT_EQ(h.readFile("ws/normals.vs"), vertex);
    EXPECT_EQ(h.readFile("ws/normals.fs"), fragment);
    EXPECT_TRUE(h.documents.isModified());

    ASSERT_TRUE(QDir(h.path("ws")).rmdir(QStringLiteral("normals.gs")));
    h.prompter.messages.clear();
    h.workspace.Action_SaveShaderExecute();
    EXPECT_TRUE(h.prompter.messages.isEmpty()) << h.prompter.messageTexts().join('|').toStdString();
    for (const char* file : {"ws/normals.vs", "ws/normals.fs", "ws/normals.gs"}) {
        EXPECT_TRUE(h.readFile(file).startsWith("// edited\n")) << file;
    }
    EXPECT_FALSE(h.documents.isModified());
}

TEST_F(Programs, ALoneFragmentShaderIsListedMarkedAndCompiledWithTheBuiltInVertexStage) {
    h.writeFile("ws/time.frag", repositoryFile("book/03/time.frag"));
    h.writeFile("ws/broken.frag", "uniform float u_time;\nvoid main() {\n  gl_FragColor = k;\n}\n");
    h.writeFile("ws/pair.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/pair.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    QWidget& w = h.start("ws/", "time");
    EXPECT_EQ(entries(w), QStringList({"broken", "pair", "time"}));
    EXPECT_TRUE(pairListBox(w)->item(2)->toolTip().contains("full-screen"));
    EXPECT_EQ(pairListBox(w)->item(1)->toolTip(), QStringLiteral("pair")) << "a pair is not marked";
    EXPECT_FALSE(pairListBox(w)->item(2)->icon().isNull());
    EXPECT_EQ(visibleTabs(w), QList<bool>({false, true, false, false, false, false, false}));

    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"FragmentShader: OK"}));

    open(w, "broken");
    h.build->Action_CompileExecute();
    ASSERT_FALSE(errorEntries(w).isEmpty());
    EXPECT_TRUE(errorEntries(w)[0].startsWith("broken.frag:3("))
        << errorEntries(w)[0].toStdString();
    EXPECT_EQ(errorMarkPane(w), 1);
    EXPECT_EQ(errorMarkLine(w), 2);
    // Saving the lone shader writes no vertex file beside it.
    QTextCursor(fragmentEdit(w)->document()).insertText(QStringLiteral("// kept\n"));
    h.workspace.Action_SaveShaderExecute();
    EXPECT_TRUE(h.readFile("ws/broken.frag").startsWith("// kept\n"));
    EXPECT_FALSE(QFile::exists(h.path("ws/broken.vert")));
}

TEST_F(Programs, TestAllCoversTheLoneShadersAndStopsAtTheFirstWithAMessage) {
    h.writeFile("ws/a.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/a.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    h.writeFile("ws/b.frag", repositoryFile("book/03/time.frag"));
    h.writeFile("ws/c.comp",
                "#version 430\nlayout(local_size_x = 1) in;\nvoid main() { nothing = 1; }\n");
    QWidget& w = h.start("ws/", "a");
    h.build->Action_TestAllExecute();
    EXPECT_EQ(selectedEntry(w), QStringLiteral("c"));
    ASSERT_FALSE(errorEntries(w).isEmpty());
    EXPECT_TRUE(errorEntries(w)[0].startsWith("c.comp:3(")) << errorEntries(w)[0].toStdString();
    EXPECT_EQ(paneTabs(w)->currentIndex(), int(PairSide::Compute));
}

// A stage file too long to be read is said so; the pair stays editable and nothing is written.
TEST_F(Programs, AnAddedStageFileThatCannotBeReadIsNamedAndNeverWritten) {
    h.writeFile("ws/p.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/p.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    const QByteArray huge(17 << 20, 'x');
    h.writeFile("ws/p.geom", huge);
    QWidget& w = h.start("ws/", "p");
    ASSERT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.prompter.messages[0].text.contains(h.path("ws/p.geom")))
        << h.prompter.messages[0].text.toStdString();
    EXPECT_FALSE(paneTabs(w)->isTabVisible(int(PairSide::Geometry)));
    QTextCursor(vertexEdit(w)->document()).insertText(QStringLiteral("// edited\n"));
    h.workspace.Action_SaveShaderExecute();
    EXPECT_TRUE(h.readFile("ws/p.vert").startsWith("// edited\n"));
    EXPECT_EQ(QFileInfo(h.path("ws/p.geom")).size(), huge.size());
}

TEST_F(Programs, TheTargetChosenForAProgramDecidesItsCompileAndIsKept) {
    h.writeFile("ws/triangle.vert", repositoryFile("vulkan/shaders/triangle/triangle.vert"));
    h.writeFile("ws/triangle.frag", repositoryFile("vulkan/shaders/triangle/triangle.frag"));
    h.writeFile("ws/other.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/other.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    QWidget& w = h.start("ws/", "triangle");
    // #version 450 alone asks for OpenGL's core profile, which has no push constants.
    EXPECT_EQ(h.program->setup().target, Target::GlCore);
    h.build->Action_CompileExecute();
    EXPECT_NE(errorEntries(w).value(0), QStringLiteral("VertexShader: OK"));

    h.program->chooseTarget(Target::Vulkan);
    EXPECT_EQ(h.program->setup().source, TargetSource::Chosen);
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));

    // Kept for this program only, across a switch and in the stored settings.
    open(w, "other");
    EXPECT_EQ(h.program->setup().target, Target::Gl);
    open(w, "triangle");
    EXPECT_EQ(h.program->setup().target, Target::Vulkan);
    EXPECT_TRUE(h.stored().ProgramTargets.endsWith("ws/\tTRIANGLE\tvulkan"))
        << h.stored().ProgramTargets.toStdString();
    h.program->chooseTarget(std::nullopt);
    EXPECT_EQ(h.program->setup().target, Target::GlCore);
}

TEST_F(Programs, AnErrorInAnIncludedFileLeadsIntoThatFileInATabOfItsOwn) {
    h.writeFile("ws/lib/lighting.glsl",
                "// shared lighting\nvec3 lit(vec3 n) {\n    return n * brightness;\n}\n");
    h.writeFile("ws/tessory.json", "{\"includeDirs\": [\"lib\"]}");
    h.writeFile("ws/lamp.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/lamp.frag",
                "#include <lighting.glsl>\nvoid main() { gl_FragColor = vec4(lit(vec3(1.0)), "
                "1.0); }\n");
    // From inside the project, the engine names the included file as the working directory
    // reaches it: a relative path.
    const QString before = QDir::currentPath();
    QDir::setCurrent(h.path("ws"));
    const auto back = qScopeGuard([&before] { QDir::setCurrent(before); });
    QWidget& w = h.start("ws/", "lamp");
    h.build->Action_CompileExecute();
    const QStringList listed = errorEntries(w);
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_TRUE(listed[1].startsWith("lighting.glsl:3(")) << listed.join('\n').toStdString();

    h.build->jumpToFirstError();
    const int included = int(PairSide::Included);
    EXPECT_EQ(paneTabs(w)->currentIndex(), included);
    EXPECT_EQ(paneTabs(w)->tabText(included), QStringLiteral("lighting.glsl"));
    const CodeEdit* edit = pane(w, PairSide::Included).widget();
    EXPECT_EQ(edit->textCursor().block().blockNumber(), 2);
    EXPECT_EQ(edit->textCursor().positionInBlock(), 15) << "the column of 'brightness'";

    // Edited there, it is saved with the program.
    QTextCursor(edit->document()).insertText(QStringLiteral("const float brightness = 1.0;\n"));
    h.workspace.Action_SaveShaderExecute();
    EXPECT_TRUE(h.readFile("ws/lib/lighting.glsl").startsWith("const float brightness"));
    h.build->Action_CompileExecute();
    EXPECT_EQ(errorEntries(w), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
}

TEST_F(Programs, GoToDefinitionOnAnIncludeLineOpensTheFileItNames) {
    h.writeFile("ws/common.glsl", "float shade() { return 0.5; }\n");
    h.writeFile("ws/other.glsl", "float other() { return 1.0; }\n");
    h.writeFile("ws/p.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/p.frag",
                "#include \"common.glsl\"\n#include \"missing.glsl\"\n#include \"other.glsl\"\n"
                "void main() {}\n");
    QWidget& w = h.start("ws/", "p");
    QString note;
    QObject::connect(h.editor, &PairEditor::noteShown, [&](const QString& text) { note = text; });
    const auto f2OnLine = [&](int line) {
        paneTabs(w)->setCurrentIndex(1);
        fragmentEdit(w)->setTextCursor(
            QTextCursor(fragmentEdit(w)->document()->findBlockByNumber(line)));
        QTest::keyClick(fragmentEdit(w), Qt::Key_F2);
    };
    f2OnLine(0);
    EXPECT_EQ(paneTabs(w)->currentIndex(), int(PairSide::Included));
    EXPECT_EQ(pane(w, PairSide::Included).document().text(),
              QStringLiteral("float shade() { return 0.5; }\n"));

    f2OnLine(1);
    EXPECT_EQ(paneTabs(w)->currentIndex(), 1);
    EXPECT_TRUE(note.contains("missing.glsl")) << note.toStdString();

    // Edits of the included file shown are saved, if the user says so, before another is shown.
    QTextCursor(pane(w, PairSide::Included).document().textDocument())
        .insertText(QStringLiteral("// tuned\n"));
    h.prompter.answers = {QMessageBox::Yes};
    f2OnLine(2);
    EXPECT_EQ(h.prompter.messages.size(), 1);
    EXPECT_TRUE(h.readFile("ws/common.glsl").startsWith("// tuned\n"));
    EXPECT_EQ(pane(w, PairSide::Included).document().text(),
              QStringLiteral("float other() { return 1.0; }\n"));
    EXPECT_EQ(paneTabs(w)->tabText(int(PairSide::Included)), QStringLiteral("other.glsl"));

    // Deleting the program deletes none of the files it includes, nor their edits.
    QTextCursor(pane(w, PairSide::Included).document().textDocument())
        .insertText(QStringLiteral("// kept\n"));
    h.prompter.answers = {QMessageBox::Yes, QMessageBox::Yes};
    h.workspace.Action_DelSExecute();
    EXPECT_FALSE(QFile::exists(h.path("ws/p.frag")));
    EXPECT_TRUE(h.readFile("ws/other.glsl").startsWith("// kept\n"));
}

TEST_F(Programs, AProjectFileBrokenMeanwhileIsNamedAndTheProgramStillCompiles) {
    h.writeFile("ws/p.vert", "void main() { gl_Position = ftransform(); }\n");
    h.writeFile("ws/p.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    QWidget& w = h.start("ws/", "p");
    h.writeFile("ws/tessory.json", "{\"target\": ");
    h.build->Action_CompileExecute();
    const QStringList listed = errorEntries(w);
    ASSERT_EQ(listed.size(), 3) << listed.join('\n').toStdString();
    EXPECT_TRUE(listed[0].contains("tessory.json")) << listed[0].toStdString();
    EXPECT_EQ(listed.mid(1), QStringList({"VertexShader: OK", "FragmentShader: OK"}));
    EXPECT_EQ(h.readFile("ws/tessory.json"), "{\"target\": ");
    EXPECT_TRUE(fragmentEdit(w)->isEnabled());
}

}  // namespace
