// SPDX-License-Identifier: MIT
// What the GLSL language core costs: the builtins of a context the first time, the parse of the
// example pairs and of a 20,000-line pair, and the queries on the parsed pair (completion,
// signature help, hover, go to definition, outline). Run by hand:
// build/bench/editor/editor_glsl_language_bench
#include "editor/glsl_builtins.h"
#include "editor/glsl_completion.h"
#include "editor/glsl_hover.h"
#include "editor/glsl_navigation.h"
#include "editor/glsl_signature_help.h"
#include "editor/glsl_symbols.h"
#include "support/bench_files.h"
#include "support/generated_shader.h"

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tessory::glsl;

namespace {

constexpr int kLines = 20000;
constexpr int kRuns = 9;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMs(const std::function<void()>& work, int runs = kRuns) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void report(const char* what, double ms, const char* target) {
    std::printf("%-58s %9.2f ms   target %s\n", what, ms, target);
}

Program parsePair(const QString& vertex, const QString& fragment, double* ms = nullptr) {
    QElapsedTimer timer;
    timer.start();
    Program p;
    p << parseDocument(detectContext(QStringView(vertex), Target::GlCompatibility, Stage::Vertex),
                       QStringLiteral("big.vert"), vertex)
      << parseDocument(
             detectContext(QStringView(fragment), Target::GlCompatibility, Stage::Fragment),
             QStringLiteral("big.frag"), fragment);
    if (ms)
        *ms = double(timer.nsecsElapsed()) / 1e6;
    return p;
}

void builtinsFirstTime() {
    std::printf("The builtins of a context, the first time (then cached):\n");
    const LanguageContext contexts[] = {
        {110, Profile::None, Target::GlCompatibility, Stage::Fragment},
        {330, Profile::Core, Target::GlCore, Stage::Fragment},
        {330, Profile::Core, Target::GlCore, Stage::Vertex},
        {460, Profile::Compatibility, Target::GlCompatibility, Stage::Fragment},
        {320, Profile::Es, Target::Gles, Stage::Fragment},
        {450, Profile::Core, Target::Vulkan, Stage::Fragment},
    };
    for (const LanguageContext& c : contexts) {
        QElapsedTimer timer;
        timer.start();
        const auto b = builtinsFor(c);
        const double first = double(timer.nsecsElapsed()) / 1e6;
        const double again = timeMs([&] { builtinsFor(c); });
        const QByteArray what = (QStringLiteral("  ") + describe(c) +
                                 QStringLiteral(": %1 functions, %2 variables")
                                     .arg(b->functionNames.size())
                                     .arg(b->variables.size()))
                                    .toUtf8();
        std::printf("%-58s %9.2f ms   again %.4f ms\n", what.constData(), first, again);
    }
}

void examples() {
    double worst = 0;
    for (const char* name : {"color", "lighting", "texture", "toon"}) {
        const QString vertex = QString::fromLatin1(
            tessory::bench::readExample((QByteArray(name) + ".vert").constData()));
        const QString fragment = QString::fromLatin1(
            tessory::bench::readExample((QByteArray(name) + ".frag").constData()));
        worst = std::max(worst, timeMs([&] { parsePair(vertex, fragment); }));
    }
    report("parse an example pair (the slowest of the four)", worst, "well under 50 ms");
}

}  // namespace

int main() {
    builtinsFirstTime();
    examples();

    const QString vertex = tessory::bench::generateValidShader(kLines, false);
    const QString fragment = tessory::bench::generateValidShader(kLines, true);
    std::printf("A pair of %d + %d lines, %.1f MB:\n", int(vertex.count(u'\n')),
                int(fragment.count(u'\n')), double(vertex.size() + fragment.size()) / 1e6);
    double parsed = 0;
    Program program = parsePair(vertex, fragment, &parsed);
    report("  parse both documents (once, in the background)",
           timeMs([&] { parsePair(vertex, fragment); }, 3), "none: after typing pauses");
    std::printf("  %lld + %lld symbols\n", (long long)program[0]->symbols.size(),
                (long long)program[1]->symbols.size());

    // The document being typed: a new line in the body of the last function.
    const qsizetype at = fragment.lastIndexOf(QStringLiteral("    return tone;"));
    const int line = int(fragment.first(at).count(u'\n'));
    auto typed = [&](const QString& what) {
        QString t = fragment;
        t.insert(at, QStringLiteral("    ") + what + u'\n');
        return t;
    };
    const QString prefix = typed(QStringLiteral("sha"));
    const QString member = typed(QStringLiteral("lights3[1]."));
    const QString empty = typed(QString());
    const QString call = typed(QStringLiteral("mix(tone, clamp(sum, 0.0, "));
    report("  complete \"sha\"", timeMs([&] {
               complete(program, 1, prefix, {line, 7});
           }),
           "<= 30 ms");
    report("  complete with no prefix (every name)", timeMs([&] {
               complete(program, 1, empty, {line, 4});
           }),
           "<= 30 ms");
    report("  complete the members after lights3[1].", timeMs([&] {
               complete(program, 1, member, {line, 15});
           }),
           "<= 30 ms");
    report("  signature help in mix(tone, clamp(sum, 0.0, |", timeMs([&] {
               signatureHelp(program, 1, call, {line, 30});
           }),
           "<= 30 ms");
    report("  hover on the builtin mix", timeMs([&] {
               hover(program, 1, call, {line, 5}, false);
           }),
           "<= 30 ms");
    report("  go to the definition of a local", timeMs([&] {
               definition(program, 1, fragment, {line - 1, 10});
           }),
           "<= 30 ms");
    report("  outline of the document", timeMs([&] { outline(*program[1]); }), "<= 30 ms");

    const QString halfTyped = typed(QStringLiteral("float broken = tone."));
    report("  parse the fragment shader with a half-typed line",
           timeMs(
               [&] {
                   parseDocument(program[1]->context, QStringLiteral("big.frag"), halfTyped,
                                 {.editedLine = line});
               },
               3),
           "none: after typing pauses");

    const QString huge = tessory::bench::generateValidShader(
        int(qint64(kLines) * 16 * 1024 * 1024 / fragment.size()), true);
    std::printf("  %.1f MB, %d lines:\n", double(huge.size()) / 1e6, int(huge.count(u'\n')));
    report("  parse 16 MB with a budget of 200 ms",
           timeMs(
               [&] {
                   parseDocument(program[1]->context, QStringLiteral("huge.frag"), huge,
                                 {.budget = std::chrono::milliseconds(200)});
               },
               3),
           "returns soon after the budget");
    // Once: about 10 s and 2 GB of the front end's tree here, which is why the budget exists.
    report(
        "  parse 16 MB without a budget (once)",
        timeMs([&] { parseDocument(program[1]->context, QStringLiteral("huge.frag"), huge); }, 1),
        "none: only with a budget in the editor");
    return 0;
}
