// SPDX-License-Identifier: MIT
// Highlighting cost on a large shader: the whole pane, one keystroke far down, and the keyword
// look-ups themselves. Run by hand: build/bench/editor/editor_highlight_bench
#include "editor/code_edit.h"
#include "editor/highlighter.h"
#include "editor/keyword_table.h"
#include "editor/line_scanner.h"
#include "support/generated_shader.h"

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>

using namespace tessory;
using tessory::bench::generateShader;

namespace {

constexpr int kLines = 20000;

// The colours and effects a first start uses.
const CategoryFormats kFormats = {{{0x000000FF, 0},
                                   {0x00FF0000, 0},
                                   {0x00000000, EffectUnderline},
                                   {0x00400080, 0},
                                   {0x00008000, 0}}};

const QString& shader() {
    static const QString text = generateShader(kLines);
    return text;
}

// Program-wide, as in the editor: the options dialog rebuilds it in place.
KeywordTable& table() {
    static KeywordTable t = [] {
        KeywordTable filled;
        fillKeywordTable(filled, kFormats);
        return filled;
    }();
    return t;
}

// One pane as the window has it: loaded, highlighted, shown, and re-highlighting its changes.
struct LoadedPane {
    CodeEdit edit;
    PaneHighlighter* highlighter;
    bool loading = false;

    LoadedPane() {
        highlighter = new PaneHighlighter(edit.document(), [this] { return loading; });
        highlighter->setFormats(kFormats);
        edit.resize(800, 600);
        edit.show();
        load();
        finishLayout();
    }

    void load() {
        loading = true;
        edit.setPlainText(shader());
        highlighter->highlightAll();
        loading = false;
    }

    // Qt lays large documents out lazily; make the figures include all of that work.
    void finishLayout() {
        QTextDocument* doc = edit.document();
        benchmark::DoNotOptimize(doc->documentLayout()->blockBoundingRect(doc->lastBlock()));
    }
};

LoadedPane& pane() {
    static LoadedPane* p = new LoadedPane;
    return *p;
}

// A pair being opened: the text is set, then highlighted. Qt lays a new text out in steps from
// its event loop, and highlightAll leaves the rest of that work where it was.
void BM_LoadAndParseAll(benchmark::State& state) {
    LoadedPane& p = pane();
    for (auto _ : state) {
        state.PauseTiming();
        p.loading = true;
        p.edit.setPlainText(shader());
        p.loading = false;
        state.ResumeTiming();
        p.highlighter->highlightAll();
    }
    state.counters["lines"] = p.edit.document()->blockCount();
    state.counters["MB"] = double(p.edit.document()->characterCount()) / 1e6;
    p.finishLayout();
}
BENCHMARK(BM_LoadAndParseAll)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3);

// The same, with the whole layout finished inside the timing: what Qt spends in all. Without
// highlightAll (argument 0) it is Qt's cost of laying out the plain text.
void BM_LoadAndParseAllLaidOut(benchmark::State& state) {
    LoadedPane& p = pane();
    for (auto _ : state) {
        state.PauseTiming();
        p.loading = true;
        p.edit.setPlainText(shader());
        p.loading = false;
        state.ResumeTiming();
        if (state.range(0) != 0) {
            p.highlighter->highlightAll();
        }
        p.finishLayout();
    }
    p.highlighter->highlightAll();
}
BENCHMARK(BM_LoadAndParseAllLaidOut)
    ->ArgName("highlighted")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

// A pane that is already laid out, highlighted again after the options dialog: with a changed
// colour Qt lays out again every line between the first and the last changed one, with the
// colours unchanged (Cancel) nothing.
void BM_ParseAllLaidOut(benchmark::State& state) {
    LoadedPane& p = pane();
    p.finishLayout();
    CategoryFormats changed = kFormats;
    bool flip = false;
    for (auto _ : state) {
        if (state.range(0) != 0) {
            flip = !flip;
            changed[int(Category::FunctionNames)].color = flip ? 0x00AA0000 : 0x00FF0000;
        }
        p.highlighter->setFormats(changed);
        p.highlighter->highlightAll();
        p.finishLayout();
    }
    p.highlighter->setFormats(kFormats);
    p.highlighter->highlightAll();
}
BENCHMARK(BM_ParseAllLaidOut)
    ->ArgName("colourChanged")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3);

// One line highlighted again with changed formats: an error mark put on and taken off in turn.
void BM_RehighlightLine(benchmark::State& state) {
    LoadedPane& p = pane();
    p.finishLayout();
    const int line = int(state.range(0));
    bool marked = false;
    for (auto _ : state) {
        marked = !marked;
        p.highlighter->highlightLine(line, marked ? kRed : kWhite);
    }
    p.highlighter->highlightLine(line, kWhite);
}
BENCHMARK(BM_RehighlightLine)
    ->Arg(0)
    ->Arg(kLines - 1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// A whole keystroke: the document edit with the re-highlight of the touched line. Characters are
// typed and deleted in turn so the text stays the same.
void BM_TypeOneCharacter(benchmark::State& state) {
    LoadedPane& p = pane();
    p.finishLayout();
    // With the second argument set the change is not highlighted: Qt's own cost of the edit.
    p.loading = state.range(1) != 0;
    QTextCursor cursor(p.edit.document()->findBlockByNumber(int(state.range(0))));
    cursor.movePosition(QTextCursor::EndOfBlock);
    bool insert = true;
    for (auto _ : state) {
        if (insert) {
            cursor.insertText(QStringLiteral("x"));
        } else {
            cursor.deletePreviousChar();
        }
        insert = !insert;
    }
    if (!insert) {
        cursor.deletePreviousChar();
    }
    p.loading = false;
    p.highlighter->highlightLine(int(state.range(0)), kWhite);
}
BENCHMARK(BM_TypeOneCharacter)
    ->ArgNames({"line", "unhighlighted"})
    ->Args({0, 0})
    ->Args({kLines - 1, 0})
    ->Args({0, 1})
    ->Args({kLines - 1, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

std::vector<QStringView> tokensOf(const QString& text) {
    std::vector<QStringView> tokens;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool separator = i == text.size() || isTokenSeparator(text[i].unicode());
        if (!separator && start < 0) {
            start = i;
        } else if (separator && start >= 0) {
            if (i - start >= 2) {
                tokens.push_back(QStringView(text).mid(start, i - start));
            }
            start = -1;
        }
    }
    return tokens;
}

void BM_FindTokenFromList(benchmark::State& state) {
    const std::vector<QStringView> tokens = tokensOf(shader());
    int keywords = 0;
    for (auto _ : state) {
        keywords = 0;
        for (QStringView token : tokens) {
            TSearchList entry;
            keywords += FindTokenFromList(table(), token, int(token.size()), entry) >= 0;
            benchmark::DoNotOptimize(entry);
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(tokens.size()));
    state.counters["tokens"] = double(tokens.size());
    state.counters["keyword share"] = double(keywords) / double(tokens.size());
}
BENCHMARK(BM_FindTokenFromList)->Unit(benchmark::kMillisecond);

void BM_ScanAllLines(benchmark::State& state) {
    const QStringList lines = shader().split('\n');
    std::vector<FormatRange> ranges;
    const TextFormat comment = kFormats[int(Category::Comment)];
    for (auto _ : state) {
        for (const QString& line : lines) {
            ranges.clear();
            scanLine(line, table(), comment, kWhite, ranges);
        }
        benchmark::DoNotOptimize(ranges);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * lines.size());
}
BENCHMARK(BM_ScanAllLines)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
