// SPDX-License-Identifier: MIT
// What an editor compile costs on top of the driver: the editor run (error list
// included) against the same driver calls made bare, on a few small pairs of the kind people
// edit. Prints both medians and the overhead in percent.
#include "compile/compile_and_link.h"
#include "compile/driver_messages.h"
#include "compile/error_list_messages.h"
#include "compile/gl_context.h"
#include "texts/text_lines.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace tessory;

namespace {

struct Pair {
    QByteArray vertex;
    QByteArray fragment;
};

QByteArray crlf(const char* text) {
    return joinLinesCrLf(splitTextLines(text));
}

// Per-pixel lighting, a textured surface with fog, a toon shader with a typing slip in the vertex
// shader, a fragment shader with two errors, and a pair that fails only at link time.
const std::vector<Pair>& pairs() {
    static const std::vector<Pair> all = {
        {crlf(R"(varying vec3 normal;
varying vec3 eyePos;
void main()
{
    normal = normalize(gl_NormalMatrix * gl_Normal);
    eyePos = vec3(gl_ModelViewMatrix * gl_Vertex);
    gl_Position = ftransform();
}
)"),
         crlf(R"(varying vec3 normal;
varying vec3 eyePos;
void main()
{
    vec3 n = normalize(normal);
    vec3 l = normalize(gl_LightSource[0].position.xyz - eyePos);
    vec3 e = normalize(-eyePos);
    vec3 r = reflect(-l, n);
    float diffuse = max(dot(n, l), 0.0);
    float specular = pow(max(dot(r, e), 0.0), gl_FrontMaterial.shininess);
    gl_FragColor = gl_FrontLightProduct[0].ambient
                 + gl_FrontLightProduct[0].diffuse * diffuse
                 + gl_FrontLightProduct[0].specular * specular;
}
)")},
        {crlf(R"(varying float fogFactor;
void main()
{
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    fogFactor = clamp((gl_Fog.end - length(eye.xyz)) * gl_Fog.scale, 0.0, 1.0);
    gl_Position = ftransform();
}
)"),
         crlf(R"(uniform sampler2D tex;
varying float fogFactor;
void main()
{
    vec4 color = texture2D(tex, gl_TexCoord[0].st);
    gl_FragColor = mix(gl_Fog.color, color, fogFactor);
}
)")},
        {crlf(R"(varying vec3 normal;
void main()
{
    normal = gl_NormalMatrix * gl_Normal
    gl_Position = ftransform();
}
)"),
         crlf(R"(varying vec3 normal;
void main()
{
    float i = dot(normalize(normal), normalize(gl_LightSource[0].position.xyz));
    vec4 c = i > 0.95 ? vec4(1.0) : i > 0.5 ? vec4(0.6) : vec4(0.2);
    gl_FragColor = c;
}
)")},
        {crlf(R"(void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
)"),
         crlf(R"(uniform sampler2D tex;
void main()
{
    vec3 c = texture2D(tex, gl_TexCoord[0].st);
    gl_FragColor = vec4(c * brightness, 1.0);
}
)")},
        {crlf(R"(void main()
{
    gl_Position = ftransform();
}
)"),
         crlf(R"(varying vec3 neverWritten;
void main()
{
    gl_FragColor = vec4(neverWritten, 1.0);
}
)")},
    };
    return all;
}

const GlContext* context = nullptr;

QByteArray bareLog(const ArbApi& gl, GlHandle object) {
    GlInt n = 0;
    gl.getObjectParameterivARB(object, kGlObjectInfoLogLengthArb, &n);
    if (n < 2) {
        return {};
    }
    QByteArray log(n, '\0');
    GlSizei written = 0;
    gl.getInfoLogARB(object, n, &written, log.data());
    log.truncate(written);
    return log;
}

void send(const ArbApi& gl, GlHandle shader, const QByteArray& source) {
    const char* text = source.constData();
    const GlInt length = GlInt(source.size());
    gl.shaderSourceARB(shader, 1, &text, &length);
}

// The driver calls of an editor run, in its order, with nothing made of the logs.
qsizetype bareRun(const ArbApi& gl, const Pair& pair) {
    const GlHandle p = gl.createProgramObjectARB();
    const GlHandle fs = gl.createShaderObjectARB(kGlFragmentShaderArb);
    const GlHandle vs = gl.createShaderObjectARB(kGlVertexShaderArb);
    send(gl, vs, pair.vertex);
    send(gl, fs, pair.fragment);
    gl.compileShaderARB(fs);
    gl.compileShaderARB(vs);
    qsizetype logBytes = bareLog(gl, vs).size() + bareLog(gl, fs).size();
    gl.attachObjectARB(p, fs);
    gl.attachObjectARB(p, vs);
    gl.deleteObjectARB(fs);
    gl.deleteObjectARB(vs);
    gl.linkProgramARB(p);
    if (logBytes == 0) {
        logBytes = bareLog(gl, p).size();
    }
    gl.deleteObjectARB(p);
    return logBytes;
}

void BM_BareDriverCalls(benchmark::State& state) {
    for (auto _ : state) {
        for (const Pair& pair : pairs()) {
            benchmark::DoNotOptimize(bareRun(context->arb(), pair));
        }
    }
}

void BM_EditorRun(benchmark::State& state) {
    for (auto _ : state) {
        for (const Pair& pair : pairs()) {
            const CompileResult run = compileAndLink(context->arb(), pair.vertex, pair.fragment);
            const QList<ShaderMessage> errorList =
                errorListMessages(run.vertexLog, run.fragmentLog, run.linkLog);
            benchmark::DoNotOptimize(run.hasLog());
            benchmark::DoNotOptimize(errorList.size());
        }
    }
}

// The log handling alone, from logs recorded once from the driver.
void BM_ErrorListFromLogs(benchmark::State& state) {
    struct Logs {
        QByteArray vertex, fragment, link;
    };
    std::vector<Logs> logs;
    for (const Pair& pair : pairs()) {
        const CompileResult run = compileAndLink(context->arb(), pair.vertex, pair.fragment);
        logs.push_back({run.vertexLog, run.fragmentLog, run.linkLog});
    }
    for (auto _ : state) {
        for (const Logs& l : logs) {
            const QList<ShaderMessage> errorList = errorListMessages(l.vertex, l.fragment, l.link);
            benchmark::DoNotOptimize(errorList.size());
        }
    }
}

constexpr int kRepetitions = 15;

// Process CPU time counts the driver's own threads and stays steady when other programs share
// the machine, which wall time does not.
#define TESSORY_COMPILE_BENCHMARK(fn) \
    BENCHMARK(fn)->Unit(benchmark::kMicrosecond)->Repetitions(kRepetitions)->MeasureProcessCPUTime()

TESSORY_COMPILE_BENCHMARK(BM_BareDriverCalls);
TESSORY_COMPILE_BENCHMARK(BM_EditorRun);
TESSORY_COMPILE_BENCHMARK(BM_ErrorListFromLogs);

struct Median {
    double cpu = 0;
    double real = 0;
};

// Keeps the medians of each benchmark for the summary.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, Median> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] = {run.GetAdjustedCPUTime(),
                                                       run.GetAdjustedRealTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

double percent(double part, double whole) {
    return 100.0 * part / whole;
}

}  // namespace

int main(int argc, char** argv) {
    // Mesa would otherwise skip compiling a source it has seen before; an edited source is new.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("MESA_GLSL_CACHE_DISABLE", "true", 1);
    GlContextResult made = GlContext::create();
    if (!made.context) {
        std::fprintf(stderr, "%s\n", made.failure.toLocal8Bit().constData());
        return 1;
    }
    context = made.context.get();
    std::printf("Driver: %s, OpenGL %s (EGL %s platform), %zu pairs per iteration\n",
                made.context->renderer().toLocal8Bit().constData(),
                made.context->version().toLocal8Bit().constData(),
                made.context->platform().toLocal8Bit().constData(), pairs().size());

    // Repetitions of the benchmarks take turns, so a slow spell of the machine hits all of them.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto bare = reporter.medians.find("BM_BareDriverCalls");
    const auto mod = reporter.medians.find("BM_EditorRun");
    const auto logs = reporter.medians.find("BM_ErrorListFromLogs");
    if (bare == reporter.medians.end() || mod == reporter.medians.end()) {
        return 0;
    }
    const Median& b = bare->second;
    const Median& m = mod->second;
    std::printf("\nMedians for %zu pairs, CPU (wall):\n", pairs().size());
    std::printf("  bare driver calls       %9.1f us (%9.1f us)\n", b.cpu, b.real);
    std::printf("  editor run              %9.1f us (%9.1f us)\n", m.cpu, m.real);
    std::printf("  overhead                %+8.2f %%  (%+8.2f %%)   target: at most +5 %%\n",
                percent(m.cpu - b.cpu, b.cpu), percent(m.real - b.real, b.real));
    if (logs != reporter.medians.end()) {
        std::printf("  log handling alone      %9.2f us = %.3f %% of the bare calls\n",
                    logs->second.cpu, percent(logs->second.cpu, b.cpu));
    }
    return 0;
}
