#!/bin/sh
# SPDX-License-Identifier: MIT
# Pairs per second of glsl-tessory-check against glslangValidator on one WorkSpace of 200 copies
# of the example lighting pair. Run by hand after a build:
#     bench/check/check_vs_glslang.sh [BUILD_DIR] [RUNS]
# glsl-tessory-check checks the whole WorkSpace in one process (compile and link on the real
# driver); glslangValidator is run as a build would run it on pairs, one process per pair,
# compiling and linking both files: `glslangValidator -l NAME.vert NAME.frag`. Each figure is the
# best of RUNS runs (default 5) of the whole WorkSpace, wall time.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
checker=$build/bin/glsl-tessory-check
pairs=200

command -v glslangValidator >/dev/null || { echo "glslangValidator not found (glslang-tools)" >&2; exit 2; }
[ -x "$checker" ] || { echo "$checker not built" >&2; exit 2; }

ws=$(mktemp -d)
trap 'rm -rf "$ws"' EXIT
mkdir "$ws/empty"
i=0
while [ $i -lt $pairs ]; do
    name=$(printf 'lighting_%03d' $i)
    cp "$root/examples/lighting.vert" "$ws/$name.vert"
    cp "$root/examples/lighting.frag" "$ws/$name.frag"
    i=$((i + 1))
done

now() { date +%s.%N; }

# Best wall time in seconds of "$@" over $runs runs; fails when a run fails.
best_of() {
    best=
    r=0
    while [ $r -lt "$runs" ]; do
        start=$(now)
        "$@" >/dev/null
        end=$(now)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" \
            'BEGIN { t = e - s; if (b == "" || t < b + 0) b = t; printf "%.6f", b }')
        r=$((r + 1))
    done
    echo "$best"
}

check_all() {
    "$checker" "$ws"
}

# Process start and context creation: the checker on a WorkSpace without pairs.
check_empty() {
    "$checker" "$ws/empty"
}

glslang_all() {
    for vert in "$ws"/*.vert; do
        glslangValidator -l "$vert" "${vert%.vert}.frag"
    done
}

check_all >/dev/null || { echo "glsl-tessory-check found messages" >&2; exit 1; }
glslang_all >/dev/null || { echo "glslangValidator found messages" >&2; exit 1; }

t_check=$(best_of check_all)
t_glslang=$(best_of glslang_all)
t_empty=$(best_of check_empty)

echo "WorkSpace: $pairs copies of examples/lighting.{vert,frag}, best of $runs runs, wall time"
echo "  driver: $("$checker" --format=json "$ws" | awk -F'"' '/"renderer"/ {print $4}')"
awk -v p=$pairs -v a="$t_check" -v b="$t_glslang" -v e="$t_empty" 'BEGIN {
    printf "  glsl-tessory-check DIR                  %8.3f s  %9.0f pairs/s\n", a, p / a
    printf "    of which start and OpenGL context     %8.3f s  (the checker on an empty DIR)\n", e
    printf "  glslangValidator -l V F (per pair)      %8.3f s  %9.0f pairs/s\n", b, p / b
    printf "  ratio                                   %8.1f x\n", b / a
}'
