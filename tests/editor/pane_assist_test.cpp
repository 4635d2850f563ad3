// SPDX-License-Identifier: MIT
// The GLSL assist as the user meets it in the panes: typed keys, Ctrl+Space, F1, F2, Alt+Left,
// the popups and the outline read back from the widgets.
#include "editor/pane_assist.h"
#include "editor/assist_model.h"
#include "editor/assist_popups.h"
#include "support/controller_harness.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

const QByteArray kVertex =
    "#version 330 core\n"
    "in vec3 position;\n"
    "uniform float gain;\n"
    "float boost(float x) { return x * gain; }\n"
    "void main() {\n"
    "    gl_Position = vec4(position, boost(1.0));\n"
    "}\n";

const QByteArray kFragment =
    "#version 330 core\n"
    "struct Light { vec3 position; float range; };\n"
    "uniform Light light;\n"
    "uniform Material { vec4 tint; float shine; } material;\n"
    "in vec2 uv;\n"
    "out vec4 colour;\n"
    "void main() {\n"
    "    vec4 four = vec4(1.0);\n"
    "    \n"
    "    colour = four * gain;\n"
    "}\n";

constexpr int kTypingLine = 8;  // the empty line of main in kFragment

class Assist : public ::testing::Test {
protected:
    void open(const QByteArray& vertex, const QByteArray& fragment) {
        h.writeFile("ws/a.vert", vertex);
        h.writeFile("ws/a.frag", fragment);
        h.start("ws/", "a");
        for (const PairSide side : kPairSides) {
            h.editor->assistModel().parseAndWait(side);
        }
    }
    void SetUp() override { open(kVertex, kFragment); }

    CodeEdit* edit(PairSide side = PairSide::Fragment) const {
        return h.editor->pane(side).widget();
    }
    PaneAssist& assist(PairSide side = PairSide::Fragment) const { return h.editor->assist(side); }
    CompletionPopup& list(PairSide side = PairSide::Fragment) const {
        return assist(side).completionPopup();
    }
    SignaturePopup& signature() const { return assist().signaturePopup(); }
    PairSide activeSide() const { return h.editor->activeSide(); }

    // Shows the side's tab with the caret at the end of the line.
    void caretAtEnd(PairSide side, int line) {
        h.editor->findChild<QTabWidget*>()->setCurrentIndex(int(side));
        QTextCursor caret(edit(side)->document()->findBlockByNumber(line));
        caret.movePosition(QTextCursor::EndOfBlock);
        edit(side)->setTextCursor(caret);
        // A page just shown is laid out when the events are handled.
        QCoreApplication::processEvents();
    }
    // Shows the side's tab with the caret on the second character of `word` on the line.
    void caretOn(PairSide side, int line, const QString& word) {
        caretAtEnd(side, line);
        QTextCursor caret = edit(side)->textCursor();
        caret.setPosition(caret.block().position() + caret.block().text().indexOf(word) + 1);
        edit(side)->setTextCursor(caret);
    }
    // Replaces the side's text, parses it and types `typed` at the end of the line.
    void retype(PairSide side, const QString& text, int line, const QString& typed) {
        edit(side)->setPlainText(text);
        h.editor->assistModel().parseAndWait(side);
        caretAtEnd(side, line);
        QTest::keyClicks(edit(side), typed);
    }
    void ctrlSpace(PairSide side = PairSide::Fragment) {
        QTest::keyClick(edit(side), Qt::Key_Space, Qt::ControlModifier);
    }
    QString lineText(PairSide side, int line) const {
        return edit(side)->document()->findBlockByNumber(line).text();
    }
    QStringList outlineItems(PairSide side) const {
        QStringList items;
        for (int i = 0; i < assist(side).outline().count(); ++i) {
            items << assist(side).outline().itemText(i);
        }
        return items;
    }

    ControllerHarness h;
};

TEST_F(Assist, TheListHoldsWhatTheVersionAndTheStageHave) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "tex");
    ctrlSpace();
    ASSERT_TRUE(list().isVisible());
    EXPECT_TRUE(list().labels().contains("texture"));
    EXPECT_FALSE(list().labels().contains("texture2D"));

    retype(PairSide::Fragment, "#version 110\nvoid main() {\n    \n}\n", 2, "tex");
    ctrlSpace();
    EXPECT_TRUE(list().labels().contains("texture2D"));

    retype(PairSide::Fragment, "#version 330 core\nvoid main() {\n    \n}\n", 2, "gl_Fr");
    ctrlSpace();
    EXPECT_TRUE(list().labels().contains("gl_FragCoord"));
    const QString vertex = "#version 330 core\nvoid main() {\n    \n}\n";
    retype(PairSide::Vertex, vertex, 2, "gl_");
    ctrlSpace(PairSide::Vertex);
    ASSERT_TRUE(list(PairSide::Vertex).isVisible());
    EXPECT_TRUE(list(PairSide::Vertex).labels().contains("gl_Position"));
    EXPECT_FALSE(list(PairSide::Vertex).labels().contains("gl_FragCoord"));
}

TEST_F(Assist, TwoLettersOpenTheListTypingFiltersItEnterOrTabAcceptsEscapeCloses) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "n");
    EXPECT_FALSE(list().isVisible());
    QTest::keyClicks(edit(), "o");
    ASSERT_TRUE(list().isVisible());
    QTest::keyClicks(edit(), "rma");
    EXPECT_EQ(list().currentLabel(), "normalize");
    for (const QString& label : list().labels()) {
        EXPECT_TRUE(label.contains('n', Qt::CaseInsensitive)) << label.toStdString();
    }
    const int lines = edit()->document()->blockCount();
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_FALSE(list().isVisible());
    EXPECT_EQ(lineText(PairSide::Fragment, kTypingLine), "    normalize");
    EXPECT_EQ(edit()->document()->blockCount(), lines) << "Enter went to the list, not the text";

    QTest::keyClicks(edit(), " + ga");
    ASSERT_TRUE(list().isVisible());
    QTest::keyClick(edit(), Qt::Key_Escape);
    EXPECT_FALSE(list().isVisible());
    QTest::keyClicks(edit(), "i");
    EXPECT_FALSE(list().isVisible()) << "a closed list stays closed for the rest of the name";
    ctrlSpace();
    ASSERT_TRUE(list().isVisible());
    QTest::keyClick(edit(), Qt::Key_Tab);
    EXPECT_EQ(lineText(PairSide::Fragment, kTypingLine), "    normalize + gain");
}

TEST_F(Assist, ANameTypedInIsOfferedOnceTypingPausesAndTheHoverShowsItsDeclaration) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "float brandNew = 2.0;");
    QTest::keyClick(edit(), Qt::Key_Return);
    QTest::keyClicks(edit(), "b");
    bool parsed = false;
    QObject::connect(&h.editor->assistModel(), &AssistModel::parsed,
                     [&](PairSide side) { parsed = parsed || side == PairSide::Fragment; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return parsed; }, 5000));
    ctrlSpace();
    EXPECT_TRUE(list().labels().contains("brandNew"));
    QTest::keyClick(edit(), Qt::Key_Escape);

    // Resting the mouse on the name shows its declaring line.
    QTextCursor onName(edit()->document()->findBlockByNumber(kTypingLine));
    onName.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 12);
    const QPoint at = edit()->cursorRect(onName).center();
    QHelpEvent rest(QEvent::ToolTip, at, edit()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(edit()->viewport(), &rest);
    EXPECT_TRUE(QToolTip::text().contains("float brandNew = 2.0;"))
        << QToolTip::text().toStdString();
}

TEST_F(Assist, ADotListsTheMembersOfAStructOrABlockAndTheSwizzlesOfAVector) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "light.");
    ASSERT_TRUE(list().isVisible());
    QStringList members = list().labels();
    members.sort();
    EXPECT_EQ(members, QStringList({"position", "range"}));
    QTest::keyClick(edit(), Qt::Key_Escape);

    QTest::keyClicks(edit(), "; material.");
    ASSERT_TRUE(list().isVisible());
    members = list().labels();
    members.sort();
    EXPECT_EQ(members, QStringList({"shine", "tint"}));
    QTest::keyClick(edit(), Qt::Key_Escape);

    QTest::keyClicks(edit(), "; uv.");
    ASSERT_TRUE(list().isVisible());
    const QStringList two = list().labels();
    EXPECT_TRUE(two.contains("xy") && two.contains("st") && two.contains("g"));
    for (const QString& swizzle : two) {
        EXPECT_FALSE(swizzle.contains(QRegularExpression("[zwbapq]"))) << swizzle.toStdString();
    }
    QTest::keyClick(edit(), Qt::Key_Escape);
    QTest::keyClicks(edit(), "; four.");
    EXPECT_TRUE(list().labels().contains("xyzw"));
    EXPECT_TRUE(list().labels().contains("a"));

    // The digits of a number are no name to list the members of.
    QTest::keyClick(edit(), Qt::Key_Escape);
    QTest::keyClicks(edit(), "; 1.");
    EXPECT_FALSE(list().isVisible());
}

TEST_F(Assist, SignatureHelpBoldsTheCurrentArgumentAndUpDownPickTheOverload) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "float f = clamp(");
    ASSERT_TRUE(signature().isVisible());
    EXPECT_EQ(signature().help().function, "clamp");
    EXPECT_EQ(signature().help().activeParameter, 0);
    EXPECT_TRUE(signature().text().contains(QRegularExpression("\\(<b>[^<]+</b>, ")));
    QTest::keyClicks(edit(), "uv.x, ");
    EXPECT_EQ(signature().help().activeParameter, 1);
    EXPECT_TRUE(signature().text().contains(QRegularExpression(", <b>[^<]+</b>, ")));

    ASSERT_GT(signature().help().overloads.size(), 1);
    const int first = signature().overload();
    const QString shown = signature().text();
    QTest::keyClick(edit(), Qt::Key_Down);
    EXPECT_EQ(signature().overload(), (first + 1) % int(signature().help().overloads.size()));
    EXPECT_NE(signature().text(), shown);
    QTest::keyClick(edit(), Qt::Key_Up);
    EXPECT_EQ(signature().overload(), first);
    EXPECT_EQ(edit()->textCursor().blockNumber(), kTypingLine) << "the caret stayed on its line";

    QTest::keyClicks(edit(), "1.0)");
    EXPECT_FALSE(signature().isVisible());
}

TEST_F(Assist, TheOutlineListsEveryKindOfDeclarationInOrderAndFollowsTheCaret) {
    const QString every =
        "#version 330 core\n"
        "struct Light { vec3 position; };\n"
        "uniform Material { vec4 tint; } material;\n"
        "uniform float gain;\n"
        "in vec2 uv;\n"
        "out vec4 colour;\n"
        "float weight = 1.0;\n"
        "const float kPi = 3.14159;\n"
        "float shade(float x);\n"
        "void main() {\n"
        "    colour = vec4(shade(uv.x));\n"
        "}\n"
        "float shade(float x) { return x * gain * kPi; }\n";
    edit()->setPlainText(every);
    h.editor->assistModel().parseAndWait(PairSide::Fragment);
    const QStringList items = outlineItems(PairSide::Fragment);
    const QStringList names = {"Light",  "Material", "gain",  "uv",   "colour",
                               "weight", "kPi",      "shade", "main", "shade"};
    ASSERT_EQ(items.size(), names.size()) << items.join(" | ").toStdString();
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(items[i].contains(names[i])) << items[i].toStdString();
    }
    caretAtEnd(PairSide::Fragment, 10);
    EXPECT_TRUE(assist().outline().currentText().contains("main"));
    caretAtEnd(PairSide::Fragment, 3);
    EXPECT_TRUE(assist().outline().currentText().contains("gain"));

    // Picking an entry goes there.
    assist().outline().activated(7);
    EXPECT_EQ(edit()->textCursor().blockNumber(), 8);
}

TEST_F(Assist, GoToDefinitionFindsTheOtherPaneAndAltLeftComesBack) {
    // `gain` is the vertex shader's uniform; the fragment shader uses it undeclared.
    caretOn(PairSide::Fragment, 9, "gain");
    const int from = edit()->textCursor().position();
    QTest::keyClick(edit(), Qt::Key_F2);
    ASSERT_EQ(activeSide(), PairSide::Vertex);
    EXPECT_EQ(edit(PairSide::Vertex)->textCursor().blockNumber(), 2);

    // The vertex pane's own: from the call of boost to its definition, then back twice.
    caretOn(PairSide::Vertex, 5, "boost");
    QTest::keyClick(edit(PairSide::Vertex), Qt::Key_F2);
    EXPECT_EQ(edit(PairSide::Vertex)->textCursor().blockNumber(), 3);
    QTest::keyClick(edit(PairSide::Vertex), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(edit(PairSide::Vertex)->textCursor().blockNumber(), 5);
    QTest::keyClick(edit(PairSide::Vertex), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(activeSide(), PairSide::Fragment);
    EXPECT_EQ(edit()->textCursor().position(), from);

    // Ctrl+click does what F2 does, where it clicks: on `colour`, declared on line 5.
    caretOn(PairSide::Fragment, 7, "vec4");
    QTextCursor colour(edit()->document()->findBlockByNumber(9));
    colour.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 5);
    const QPoint onColour = edit()->cursorRect(colour).center();
    QTest::mouseClick(edit()->viewport(), Qt::LeftButton, Qt::ControlModifier, onColour);
    EXPECT_EQ(edit()->textCursor().blockNumber(), 5);
}

TEST_F(Assist, F1ShowsABuiltinsSignaturesAndWhatItDoesInTheUsersLanguage) {
    caretAtEnd(PairSide::Fragment, kTypingLine);
    QTest::keyClicks(edit(), "normalize");
    QTest::keyClick(edit(), Qt::Key_Escape);
    QTest::keyClick(edit(), Qt::Key_F1);
    const QString english = QToolTip::text();
    EXPECT_TRUE(english.contains("normalize(")) << english.toStdString();
    h.editor->setTexts(Texts::of(true));
    QTest::keyClick(edit(), Qt::Key_F1);
    const QString german = QToolTip::text();
    EXPECT_TRUE(german.contains("normalize("));
    EXPECT_NE(german, english);

    // A user's name: its declaring line.
    caretOn(PairSide::Fragment, 9, "colour");
    QTest::keyClick(edit(), Qt::Key_F1);
    EXPECT_TRUE(QToolTip::text().contains("out vec4 colour;")) << QToolTip::text().toStdString();
}

TEST_F(Assist, BadInputNeitherCrashesNorHangs) {
    const QString head = "#version 330 core\nvoid main() {\n";
    const QStringList texts = {
        head + "    float f = " + QString(5000, 'a') + ";\n    \n}\n",
        head + "    float f = " + QString(10000, '(') + "1.0" + QString(10000, ')') +
            ";\n    \n}\n",
        head + "    /* never closed\n    \n}\n",
        head + QString::fromLatin1(QByteArray("\x01\x02\xff\xfe\x00\x7f", 6)) + "\n    \n}\n",
    };
    for (const QString& text : texts) {
        retype(PairSide::Fragment, text, 3, "gl_Fr");
        ctrlSpace();
        QTest::keyClicks(edit(), "agCoord.");
        QTest::keyClick(edit(), Qt::Key_Escape);
        QTest::keyClicks(edit(), "clamp(");
        QTest::keyClick(edit(), Qt::Key_F1);
        QTest::keyClick(edit(), Qt::Key_F2);
        EXPECT_TRUE(h.editor->assistModel().isOn(PairSide::Fragment));
    }
    // Inside the unterminated comment nothing is proposed.
    retype(PairSide::Fragment, texts[2], 3, "gl_Fr");
    ctrlSpace();
    EXPECT_FALSE(list().isVisible());
}

TEST_F(Assist, AHugePaneSwitchesItsAssistOffWithANote) {
    QString note;
    QObject::connect(h.editor, &PairEditor::noteShown, [&](const QString& text) { note = text; });
    QString huge = "#version 330 core\n";
    while (huge.size() < 16 * 1024 * 1024) {
        huge += "float value_of_a_line = 1.0; // and a comment to make it long\n";
    }
    edit()->setPlainText(huge);
    EXPECT_FALSE(h.editor->assistModel().isOn(PairSide::Fragment));
    EXPECT_TRUE(note.contains("fragment shader")) << note.toStdString();
    EXPECT_EQ(assist().outline().count(), 0);
    caretAtEnd(PairSide::Fragment, 3);
    QTest::keyClicks(edit(), "gl_Fr");
    ctrlSpace();
    EXPECT_FALSE(list().isVisible());
    // The other pane's assist goes on.
    EXPECT_TRUE(h.editor->assistModel().isOn(PairSide::Vertex));
}

}  // namespace
