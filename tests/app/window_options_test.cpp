// SPDX-License-Identifier: MIT
#include "support/master_harness.h"

#include "editor/highlighter.h"
#include "options/form_config.h"
#include "texts/ui_texts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace tessory;
using namespace tessory::testing;

namespace {

// Line 0 is a comment, line 1 starts with the DataTypes keyword "void".
const QByteArray kVertex = "// vertex\nvoid main()\n{\n    gl_Position = ftransform();\n}\n";
const QByteArray kFragment = "// fragment\nvoid main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";

// The format as the pane draws it: a pane highlights its lines as it paints them.
QTextCharFormat formatAt(const QPlainTextEdit* pane, int line, int column) {
    pane->viewport()->grab();
    const QTextBlock block = pane->document()->findBlockByNumber(line);
    for (const QTextLayout::FormatRange& r : block.layout()->formats()) {
        if (column >= r.start && column < r.start + r.length) {
            return r.format;
        }
    }
    ADD_FAILURE() << "no format at line " << line << " column " << column;
    return {};
}

// A WorkSpace "ws/" with the pair "a" open after start-up.
class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        h.writeFile("ws/a.vert", kVertex);
        h.writeFile("ws/a.frag", kFragment);
        h.storeSettings(ws(), "a");
    }

    QString ws() const { return h.path("ws/"); }

    TForm_Config& openConfig(MainWindow& w) {
        action(w, "Action_Config")->trigger();
        EXPECT_NE(optionsDialog(w), nullptr);
        return *optionsDialog(w);
    }

    // The format a keyword category should be drawn in now, on white.
    QTextCharFormat expected(TColor color, qint32 effects) const {
        return highlightFormat(color, effects, kWhite);
    }

    void expectKeywordAndComment(const MainWindow& w, const TextFormat& keyword,
                                 const TextFormat& comment) const {
        for (const QPlainTextEdit* pane :
             std::initializer_list<const QPlainTextEdit*>{vertexEdit(w), fragmentEdit(w)}) {
            SCOPED_TRACE(pane->objectName().toStdString());
            EXPECT_EQ(formatAt(pane, 1, 0), expected(keyword.color, keyword.effects));
            EXPECT_EQ(formatAt(pane, 0, 3), expected(comment.color, comment.effects));
        }
    }

    MasterHarness h;
};

TEST_F(OptionsWindow, ConfigurationOpensANonModalDialogShowingTheSettings) {
    h.storeSettings(ws(), "a", [](TCFG& cfg) {
        cfg.AutoSaveOnChange = true;
        cfg.TextEffects_DataTypes = EffectBold | EffectUnderline;
    });
    MainWindow& w = h.start();
    TForm_Config& d = openConfig(w);

    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.isModal());
    EXPECT_EQ(d.parentWidget(), &w);
    EXPECT_EQ(d.size(), QSize(292, 269));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    const QPoint offCentre = d.frameGeometry().center() - w.frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(d.font().family(), QStringLiteral("Tahoma"));

    EXPECT_TRUE(d.ComboBox1->isEditable());
    EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
    EXPECT_TRUE(d.CB_Bold->isChecked());
    EXPECT_FALSE(d.CB_Italic->isChecked());
    EXPECT_TRUE(d.CB_underline->isChecked());
    EXPECT_EQ(d.Edit_Vertex->text(), QStringLiteral(".vert"));
    EXPECT_EQ(d.Edit_Fragment->text(), QStringLiteral(".frag"));
    EXPECT_TRUE(d.CheckBox1->isChecked());

    // The swatch: DataTypes red inside a one-pixel black frame; a hand over it only.
    const QImage swatch = d.Image1->pixmap().toImage();
    ASSERT_EQ(swatch.size(), QSize(73, 65));
    for (const QPoint p : {QPoint(0, 0), QPoint(72, 0), QPoint(72, 64), QPoint(0, 64),
                           QPoint(36, 0), QPoint(0, 32), QPoint(72, 32), QPoint(36, 64)}) {
        EXPECT_EQ(swatch.pixelColor(p), QColor(Qt::black)) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(1, 1), QPoint(36, 32), QPoint(71, 63)}) {
        EXPECT_EQ(swatch.pixelColor(p), QColor(255, 0, 0)) << p.x() << "," << p.y();
    }
    EXPECT_EQ(d.Image1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(d.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(d.TabSheet1->cursor().shape(), Qt::ArrowCursor);

    // Showing the dialog changes nothing, and the window stays usable meanwhile.
    EXPECT_TRUE(h.prompter.messages.isEmpty());
    EXPECT_TRUE(w.isEnabled());
    QTest::keyClicks(vertexEdit(w), "x");
    EXPECT_TRUE(vertexEdit(w)->document()->isModified());
}

TEST_F(OptionsWindow, ItalicCommentsStayAfterARestart) {
    MainWindow& w = h.start();
    TForm_Config& d = openConfig(w);
    d.ComboBox1->setCurrentIndex(4);
    EXPECT_FALSE(d.CB_Italic->isChecked());
    d.CB_Italic->click();
    EXPECT_EQ(w.settings().TextEffects_Comment, EffectItalic);
    expectKeywordAndComment(w, {w.settings().FontColor_DataTypes, 0},
                            {w.settings().FontColor_Comment, EffectItalic});
    d.BT_OK->click();
    EXPECT_EQ(optionsDialog(w), nullptr);
    ASSERT_TRUE(h.close());

    MainWindow& again = h.start();
    EXPECT_EQ(again.settings().TextEffects_Comment, EffectItalic);
    expectKeywordAndComment(again, {again.settings().FontColor_DataTypes, 0},
                            {again.settings().FontColor_Comment, EffectItalic});
}

}  // namespace
