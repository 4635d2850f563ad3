// SPDX-License-Identifier: MIT
// The GLSL assist in a pane of a 20,000-line pair, each figure beside the same pane without the
// assist: Ctrl+Space until the list is drawn, one character typed where no list opens, and the
// letter that opens the list by itself. The pair is parsed first, as it is a moment after it was
// opened. Every figure is the median of a few runs, each timed once.
// Run by hand: build/bench/editor/editor_assist_bench
#include "editor/assist_model.h"
#include "editor/assist_popups.h"
#include "editor/code_edit.h"
#include "editor/pane_assist.h"
#include "editor/shader_document.h"
#include "editor/shader_pane.h"
#include "support/generated_shader.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace tessory;

namespace {

constexpr int kLines = 20000;
constexpr int kRuns = 9;

// Both documents of a pair in their panes, the fragment pane shown; with or without the assist.
struct Pair {
    ShaderDocument vertex;
    ShaderDocument fragment;
    // The program's other panes, empty as in a window showing a pair.
    std::array<ShaderDocument, kPaneCount - 2> others;
    ShaderPane* vertexPane = new ShaderPane(vertex, QStringLiteral("RichEdit_Vertex"));
    ShaderPane* fragmentPane = new ShaderPane(fragment, QStringLiteral("RichEdit_Fragment"));
    std::unique_ptr<AssistModel> model;
    QComboBox outline;
    PaneAssist* assist = nullptr;

    explicit Pair(bool assisted) {
        vertex.setFormats(CategoryFormats{});
        fragment.setFormats(CategoryFormats{});
        if (assisted) {
            std::array<ShaderDocument*, kPaneCount> documents{&vertex, &fragment};
            for (int i = 2; i < kPaneCount; ++i) {
                documents[i] = &others[i - 2];
            }
            model = std::make_unique<AssistModel>(documents);
            assist = new PaneAssist(*model, PairSide::Fragment, *fragmentPane->widget(), outline);
        }
        vertex.load({bench::generateValidShader(kLines, false)}, {});
        fragment.load({bench::generateValidShader(kLines, true)}, {});
        if (model) {
            model->parseAndWait(PairSide::Vertex);
            model->parseAndWait(PairSide::Fragment);
        }
        edit()->resize(800, 600);
        edit()->show();
        QApplication::processEvents();
    }
    ~Pair() {
        delete vertexPane->widget();
        delete fragmentPane->widget();
    }

    CodeEdit* edit() const { return fragmentPane->widget(); }

    // A new line in the body of the last function but one, with `text` on it.
    void newLine(const QString& text) {
        const QTextBlock block = fragment.textDocument()->findBlockByNumber(kLines - 30);
        QTextCursor caret(block);
        caret.insertText(QStringLiteral("    ") + text + u'\n');
        caret.movePosition(QTextCursor::PreviousBlock);
        caret.movePosition(QTextCursor::EndOfBlock);
        edit()->setTextCursor(caret);
        edit()->ensureCursorVisible();
        QApplication::processEvents();
    }
    void removeLine() {
        QTextCursor line = edit()->textCursor();
        line.select(QTextCursor::BlockUnderCursor);
        line.removeSelectedText();
        if (assist != nullptr) {
            assist->completionPopup().hide();
            assist->signaturePopup().hide();
        }
        QApplication::processEvents();
    }

    void key(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(edit(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(edit(), &release);
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The keys on a line prepared with `before`, until every update they caused is drawn.
double timeKeys(Pair& pair, const QString& before, const std::function<void()>& keys) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        pair.newLine(before);
        QElapsedTimer timer;
        timer.start();
        keys();
        QApplication::processEvents();
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
        pair.removeLine();
    }
    return median(runs);
}

void report(const char* what, double assisted, double bare, const char* target) {
    std::printf("%-46s %8.2f ms   bare %8.2f ms   +%6.2f ms   target %s\n", what, assisted, bare,
                assisted - bare, target);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Pair assisted(true);
    Pair bare(false);
    std::printf("a pair of %d + %d lines, median of %d runs\n", assisted.vertex.lineCount(),
                assisted.fragment.lineCount(), kRuns);

    const auto ctrlSpace = [](Pair& p) {
        return [&p] { p.key(Qt::Key_Space, Qt::ControlModifier, QString()); };
    };
    report("Ctrl+Space after \"sha\", list drawn", timeKeys(assisted, "sha", ctrlSpace(assisted)),
           timeKeys(bare, "sha", ctrlSpace(bare)), "<= 30 ms");
    report("Ctrl+Space on an empty line (every name)", timeKeys(assisted, "", ctrlSpace(assisted)),
           timeKeys(bare, "", ctrlSpace(bare)), "<= 30 ms");

    const auto typeX = [](Pair& p) { return [&p] { p.key(Qt::Key_X, {}, QStringLiteral("x")); }; };
    report("one character, no list", timeKeys(assisted, "tone = ", typeX(assisted)),
           timeKeys(bare, "tone = ", typeX(bare)), "within 10 % of bare");
    const auto typeWord = [](Pair& p) {
        return [&p] {
            for (const char c : QByteArray("k = k * 2.0 + k / 3.0 - k;")) {
                p.key(0, {}, QString(QChar(c)));
            }
        };
    };
    report("a line of 25 characters, no list", timeKeys(assisted, QString(), typeWord(assisted)),
           timeKeys(bare, QString(), typeWord(bare)), "within 10 % of bare");
    const auto secondLetter = [](Pair& p) {
        return [&p] { p.key(Qt::Key_H, {}, QStringLiteral("h")); };
    };
    report("the second letter, which opens the list",
           timeKeys(assisted, "s", secondLetter(assisted)), timeKeys(bare, "s", secondLetter(bare)),
           "<= 30 ms");
    return 0;
}
