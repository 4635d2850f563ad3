// SPDX-License-Identifier: MIT
#include "editor/code_edit.h"
#include "editor/highlighter.h"
#include "editor/test_formats.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace tessory;

namespace {

QString longShader(int lines) {
    const QStringList samples = {
        "uniform vec4 tint%1;",
        "    gl_FragColor = tint * gl_Color * float(%1); // scale %1",
        "",
        "// vec3 is only a word in here %1",
        "mat4 m%1 = gl_ModelViewMatrix;",
    };
    QStringList text;
    for (int i = 0; i < lines; ++i) {
        const QString& sample = samples[i % samples.size()];
        text << (sample.isEmpty() ? sample : sample.arg(i));
    }
    return text.join(u'\n');
}

// A code pane highlighting on demand beside a document highlighted all at once, both wired as
// the window wires them.
class OnDemand : public ::testing::Test {
protected:
    OnDemand() {
        const auto isLoading = [this] { return loading; };
        highlighter = new PaneHighlighter(edit.document(), isLoading);
        highlighter->setFormats(tessory::testing::kTestFormats);
        edit.setHighlighter(highlighter);
        whole = new PaneHighlighter(&reference, isLoading);
        whole->setFormats(tessory::testing::kTestFormats);
        edit.resize(500, 300);
    }

    void load(const QString& text) {
        loading = true;
        edit.setPlainText(text);
        reference.setPlainText(text);
        highlighter->highlightAll();
        whole->highlightAll();
        edit.document()->setModified(false);
        loading = false;
    }

    void show() {
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    }

    // Every page of the pane drawn once, top to bottom.
    void scrollThrough() {
        QScrollBar* bar = edit.verticalScrollBar();
        for (int value = 0;; value = std::min(value + bar->pageStep(), bar->maximum())) {
            bar->setValue(value);
            edit.viewport()->repaint();
            if (value == bar->maximum()) {
                break;
            }
        }
    }

    static QList<QTextLayout::FormatRange> formatsOf(const QTextDocument& document, int line) {
        return document.findBlockByNumber(line).layout()->formats();
    }

    // The lines whose formats differ from those of the document highlighted at once.
    QList<int> linesUnlikeTheWhole() const {
        QList<int> differ;
        for (int line = 0; line < reference.blockCount(); ++line) {
            if (formatsOf(*edit.document(), line) != formatsOf(reference, line)) {
                differ << line;
            }
        }
        return differ;
    }

    bool loading = false;
    CodeEdit edit;
    PaneHighlighter* highlighter;
    QTextDocument reference;
    PaneHighlighter* whole;
};

}  // namespace

TEST_F(OnDemand, TextScrolledIntoViewLooksAsIfHighlightedAtOnce) {
    load(longShader(3000));
    // Nothing drawn, nothing highlighted: the cost of opening follows what is shown.
    EXPECT_TRUE(formatsOf(*edit.document(), 0).isEmpty());
    show();
    EXPECT_FALSE(formatsOf(*edit.document(), 0).isEmpty());
    EXPECT_TRUE(formatsOf(*edit.document(), 2500).isEmpty());
    scrollThrough();
    EXPECT_EQ(linesUnlikeTheWhole(), QList<int>());
    EXPECT_FALSE(edit.document()->isModified());
    EXPECT_FALSE(edit.document()->isUndoAvailable());
}

TEST_F(OnDemand, AColourChangeReachesTheLinesAsTheyAreShown) {
    load(longShader(2000));
    show();
    scrollThrough();
    CategoryFormats changed = tessory::testing::kTestFormats;
    changed[int(Category::StateVars)] = {0x00123456, EffectBold};
    changed[int(Category::Comment)] = {0x00ABCDEF, 0};
    highlighter->setFormats(changed);
    whole->setFormats(changed);
    highlighter->highlightAll();
    whole->highlightAll();
    edit.viewport()->repaint();
    const QList<int> stale = linesUnlikeTheWhole();
    EXPECT_FALSE(stale.contains(1999));  // on screen: done at once
    EXPECT_TRUE(stale.contains(1));      // off screen: waits
    scrollThrough();
    EXPECT_EQ(linesUnlikeTheWhole(), QList<int>());
}

TEST_F(OnDemand, EditsAreHighlightedAndTheErrorMarkStays) {
    load(longShader(1000));
    show();
    highlighter->highlightLine(1, kRed);
    edit.setMarkedLine(1);
    QTextCursor cursor(edit.document()->findBlockByNumber(3));
    edit.setTextCursor(cursor);
    QTest::keyClicks(&edit, "vec2 v; ");
    QApplication::clipboard()->setText(longShader(200));
    edit.moveCursor(QTextCursor::End);
    edit.paste();
    reference.setPlainText(edit.toPlainText());
    whole->highlightAll();
    whole->highlightLine(1, kRed);
    scrollThrough();
    EXPECT_EQ(linesUnlikeTheWhole(), QList<int>());
    EXPECT_EQ(formatsOf(*edit.document(), 1).front().format.background().color(), QColor(Qt::red));
}
