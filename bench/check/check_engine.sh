#!/bin/sh
# SPDX-License-Identifier: MIT
# The compile engine's figures, each beside what it is measured against, in one run:
#   includes: a check of 1,000 files (500 copies of the example lighting pair) that include a
#     shared file, against the same files with that file's text in place of the #include line:
#     what the expansion and the line mapping add (target: at most 5 %);
#   Vulkan: a check of 300 files (30 copies each of ten Vulkan sample shaders of every size, from
#     bench/check/engine/vulkan and tests/check/repositories/vulkan, all #version 450) with
#     --target vulkan, -j 1 and -j 2, against glslangValidator -V run once a file (targets: -j 1
#     at least 3 times as fast as glslangValidator, -j 2 at least 1.7 times as fast as -j 1).
#     Beside it: the start-up (a check of one file: the process, and glslang's built-in symbol
#     tables, which it makes once for each #version under a lock of its own, so that no second
#     thread can help) and the best speed-up that leaves, and a control (two -j 1 runs side by
#     side against one: 1.00 when two processors are free).
# Run by hand after `make benchmarks` (which installs glslangValidator, bench/install-deps):
#     bench/check/check_engine.sh [BUILD_DIR] [ROUNDS]
# Each round (default 9) runs the two sides of a comparison back to back, in turns of order;
# each figure is the median of the rounds' ratios, the medians of the times printed beside it.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-9}
checker=$build/bin/glsl-tessory-check
[ -x "$checker" ] || { echo "$checker not built" >&2; exit 2; }
command -v glslangValidator >/dev/null ||
    { echo "glslangValidator not found (bench/install-deps)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/included" "$work/inline" "$work/vulkan"
cp "$here/engine/common.glsl" "$work/included/"
# The #include goes right after each file's #version line; the inline copy has the text there.
for stage in vert frag; do
    src=$root/examples/lighting.$stage
    { head -n 1 "$src"; echo '#include "common.glsl"'; tail -n +2 "$src"; } >"$work/lighting.$stage"
    { head -n 1 "$src"; cat "$here/engine/common.glsl"; tail -n +2 "$src"; } \
        >"$work/inline.$stage"
done
i=0
while [ $i -lt 500 ]; do
    name=$(printf 'lighting_%03d' $i)
    for stage in vert frag; do
        cp "$work/lighting.$stage" "$work/included/$name.$stage"
        cp "$work/inline.$stage" "$work/inline/$name.$stage"
    done
    i=$((i + 1))
done
samples=$root/tests/check/repositories/vulkan/shaders
set -- "$here"/engine/vulkan/* "$samples/triangle/triangle.vert" "$samples/triangle/triangle.frag" \
    "$samples/descriptorsets/cube.vert" "$samples/computeparticles/particle.comp" \
    "$samples/meshshader/meshshader.frag"
kinds=$#
i=0
while [ $i -lt 300 ]; do
    eval "src=\${$((i % kinds + 1))}"
    cp "$src" "$(printf '%s/vulkan/shader_%03d.%s' "$work" $i "${src##*.}")"
    i=$((i + 1))
done
mkdir "$work/vulkan-one"
cp "$work/vulkan/shader_000.${1##*.}" "$work/vulkan-one/"

now() { date +%s.%N; }

# Wall time in seconds of "$@", which must succeed.
timed() {
    start=$(now)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    end=$(now)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}

median() {
    sort -g | awk '{ v[NR] = $1 } END {
        printf "%.6f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

glslang_each() {
    for file in "$work"/vulkan/*; do
        glslangValidator -V --target-env vulkan1.3 -o /dev/null "$file"
    done
}

vulkan() {
    "$checker" --target vulkan --lone ok "$@"
}

side_by_side() {
    vulkan -j 1 "$work/vulkan" >/dev/null 2>&1 &
    vulkan -j 1 "$work/vulkan" >/dev/null 2>&1
    wait
}

load() { cut -d' ' -f1 /proc/loadavg; }

echo "$(nproc) processors, load average $(load), $rounds rounds, wall time, medians"
r=0
while [ $r -lt "$rounds" ]; do
    if [ $((r % 2)) -eq 0 ]; then
        with=$(timed "$checker" -j 1 "$work/included")
        without=$(timed "$checker" -j 1 "$work/inline")
    else
        without=$(timed "$checker" -j 1 "$work/inline")
        with=$(timed "$checker" -j 1 "$work/included")
    fi
    echo "$with $without"
    r=$((r + 1))
done >"$work/includes"
r=0
while [ $r -lt "$rounds" ]; do
    if [ $((r % 2)) -eq 0 ]; then
        one=$(timed vulkan -j 1 "$work/vulkan")
        two=$(timed vulkan -j 2 "$work/vulkan")
    else
        two=$(timed vulkan -j 2 "$work/vulkan")
        one=$(timed vulkan -j 1 "$work/vulkan")
    fi
    echo "$one $two $(timed side_by_side) $(timed vulkan -j 1 "$work/vulkan-one")"
    r=$((r + 1))
done >"$work/vulkan.rounds"
glslang=$(timed glslang_each)

awk -v with="$(cut -d' ' -f1 "$work/includes" | median)" \
    -v without="$(cut -d' ' -f2 "$work/includes" | median)" \
    -v ratio="$(awk '{ print $1 / $2 }' "$work/includes" | median)" \
    -v one="$(cut -d' ' -f1 "$work/vulkan.rounds" | median)" \
    -v two="$(cut -d' ' -f2 "$work/vulkan.rounds" | median)" \
    -v speedup="$(awk '{ print $1 / $2 }' "$work/vulkan.rounds" | median)" \
    -v control="$(awk '{ print $3 / $1 }' "$work/vulkan.rounds" | median)" \
    -v start="$(cut -d' ' -f4 "$work/vulkan.rounds" | median)" \
    -v g="$glslang" -v l="$(load)" 'BEGIN {
    printf "1,000 files including a shared file, -j 1\n"
    printf "  with #include \"common.glsl\"        %8.3f s\n", with
    printf "  with its text in place              %8.3f s\n", without
    printf "  includes and line mapping add       %8.1f %% (target <= 5)\n", 100 * (ratio - 1)
    printf "300 Vulkan files, --target vulkan (load average now %s)\n", l
    printf "  glsl-tessory-check -j 1             %8.3f s\n", one
    printf "  glsl-tessory-check -j 2             %8.3f s   %.2f x -j 1 (target >= 1.7)\n", two, speedup
    printf "  control: two -j 1 side by side      %8.2f x as long as one (1.00 = two free processors)\n", control
    printf "  start-up (a check of one file)      %8.3f s   %.1f %% of -j 1; best -j 2 after it: %.2f x\n", start, 100 * start / one, one / (start + (one - start) / 2)
    printf "  glslangValidator -V once a file     %8.3f s   %.1f x as long as -j 1 (target >= 3)\n", g, g / one
}'
