// SPDX-License-Identifier: MIT
// The code pane's targets on a 20,000-line pair, each beside a bare QPlainTextEdit doing the same
// without highlighting: open and show a pair, type one character at the first and the last line,
// apply a colour change to both panes. Every figure is the median of a few runs, each timed once.
// Run by hand: build/bench/editor/editor_pane_bench
#include "editor/code_edit.h"
#include "editor/highlighter.h"
#include "editor/keyword_table.h"
#include "support/generated_shader.h"

#include <QApplication>
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
using tessory::bench::generateShader;

namespace {

constexpr int kLines = 20000;
constexpr int kRuns = 7;

const CategoryFormats kFormats = {{{0x000000FF, 0},
                                   {0x00FF0000, 0},
                                   {0x00000000, EffectUnderline},
                                   {0x00400080, 0},
                                   {0x00008000, 0}}};

// One pane: the code pane with its highlighter, or a bare QPlainTextEdit.
struct Pane {
    std::unique_ptr<QPlainTextEdit> edit;
    PaneHighlighter* highlighter = nullptr;
    bool loading = false;

    explicit Pane(bool highlighted) {
        if (highlighted) {
            auto* code = new CodeEdit;
            highlighter = new PaneHighlighter(code->document(), [this] { return loading; });
            highlighter->setFormats(kFormats);
            code->setHighlighter(highlighter);
            edit.reset(code);
        } else {
            edit = std::make_unique<QPlainTextEdit>();
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        }
        edit->resize(800, 600);
        edit->show();
    }

    void load(const QString& text) {
        loading = true;
        edit->setPlainText(text);
        if (highlighter != nullptr) {
            highlighter->highlightAll();
        }
        loading = false;
    }

    // What the user sees: every pending update painted.
    static void show() { QApplication::processEvents(); }

    void key(int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit.get(), &release);
    }

    void placeCaret(int line) {
        QTextCursor cursor(edit->document()->findBlockByNumber(line));
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
        show();
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMs(const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(runs);
}

void report(const char* what, double pane, double bare, const char* target) {
    std::printf("%-40s %9.2f ms   bare %9.2f ms   ratio %5.2f   target %s\n", what, pane, bare,
                bare > 0 ? pane / bare : 0.0, target);
}

// Open: both texts set, highlighted, shown.
double openPair(std::array<Pane, 2>& panes, const QString& text) {
    return timeMs(
        [&] {
            for (Pane& p : panes) {
                p.load(QString());
                p.show();
            }
        },
        [&] {
            for (Pane& p : panes) {
                p.load(text);
            }
            for (Pane& p : panes) {
                p.show();
            }
        });
}

// One character typed and shown, then taken back outside the timing.
// The key's handling alone: the edit, its highlighting and Qt's layout of the line; with
// `painted`, also the repaint that follows.
double typeOnce(Pane& pane, int line, bool painted) {
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i) {
        pane.placeCaret(line);
        QElapsedTimer timer;
        timer.start();
        pane.key(Qt::Key_X, QStringLiteral("x"));
        if (painted) {
            pane.show();
        }
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
        pane.show();
        pane.key(Qt::Key_Backspace, QString());
        pane.show();
    }
    return median(runs);
}

// A colour changed in the options: the table rebuilt, both panes highlighted again and shown.
double colourChange(std::array<Pane, 2>& panes) {
    bool flip = false;
    CategoryFormats changed = kFormats;
    return timeMs([] {},
                  [&] {
                      flip = !flip;
                      changed[int(Category::DataTypes)].color = flip ? 0x00AA0000 : 0x000000FF;
                      for (Pane& p : panes) {
                          if (p.highlighter != nullptr) {
                              p.highlighter->setFormats(changed);
                              p.highlighter->highlightAll();
                          } else {
                              // The bare pane has no colours: it only draws itself again.
                              p.edit->viewport()->update();
                          }
                      }
                      for (Pane& p : panes) {
                          p.show();
                      }
                  });
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString text = generateShader(kLines);
    std::array<Pane, 2> code{Pane(true), Pane(true)};
    std::array<Pane, 2> bare{Pane(false), Pane(false)};
    std::printf("%d lines, %.1f MB a pane, median of %d runs\n", kLines, double(text.size()) / 1e6,
                kRuns);

    const double openCode = openPair(code, text);
    const double openBare = openPair(bare, text);
    report("open a pair, highlighted and shown", openCode, openBare, "<= 100 ms, <= 1.5 x bare");

    for (const bool painted : {false, true}) {
        for (const int line : {0, kLines - 2}) {
            const double typedCode = typeOnce(code[0], line, painted);
            const double typedBare = typeOnce(bare[0], line, painted);
            const QByteArray what = QStringLiteral("type one character at line %1%2")
                                        .arg(line + 1)
                                        .arg(painted ? QStringLiteral(", painted") : QString())
                                        .toUtf8();
            report(what.constData(), typedCode, typedBare, "<= 2 ms");
        }
    }

    const double colourCode = colourChange(code);
    const double colourBare = colourChange(bare);
    report("colour change applied to both panes", colourCode, colourBare, "<= 100 ms");
    return 0;
}
