#!/bin/sh
# SPDX-License-Identifier: MIT
# Wall time of glsl-tessory-check with -j 1 and with -j 2, and of glslangValidator run once per
# pair or file, on two WorkSpaces: 200 copies of the example lighting pair, and 1,000 files of the
# six stages in turn without partners (bench/check/stages, the lone vertex and fragment files
# reported as such). Run by hand after a build:
#     bench/check/check_parallel.sh [BUILD_DIR] [RUNS]
# Each figure is the best of RUNS runs (default 3). Targets: -j 2 at least 1.7 times as fast as
# -j 1 on a machine with two free cores; glslangValidator at least 3 times slower than -j 2.
# Without glslangValidator (Debian: glslang-tools) its lines are left out.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
runs=${2:-3}
checker=$build/bin/glsl-tessory-check
[ -x "$checker" ] || { echo "$checker not built" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/pairs" "$work/mixed"
i=0
while [ $i -lt 200 ]; do
    name=$(printf 'lighting_%03d' $i)
    cp "$root/examples/lighting.vert" "$work/pairs/$name.vert"
    cp "$root/examples/lighting.frag" "$work/pairs/$name.frag"
    i=$((i + 1))
done
i=0
for ext in vert frag geom tesc tese comp; do
    case $ext in
        vert | frag) src=$root/examples/lighting.$ext ;;
        *) src=$here/stages/sample.$ext ;;
    esac
    eval "src_$ext=\$src"
done
while [ $i -lt 1000 ]; do
    set -- vert frag geom tesc tese comp
    shift $((i % 6))
    eval "src=\$src_$1"
    cp "$src" "$(printf '%s/mixed/shader_%04d.%s' "$work" $i "$1")"
    i=$((i + 1))
done

now() { date +%s.%N; }

# Best wall time in seconds of "$@" over $runs runs; the exit status is not looked at, as the
# lone files of the mixed WorkSpace are reported.
best_of() {
    best=
    r=0
    while [ $r -lt "$runs" ]; do
        start=$(now)
        "$@" >/dev/null 2>&1 || true
        end=$(now)
        best=$(awk -v s="$start" -v e="$end" -v b="$best" \
            'BEGIN { t = e - s; if (b == "" || t < b + 0) b = t; printf "%.6f", b }')
        r=$((r + 1))
    done
    echo "$best"
}

glslang_pairs() {
    for vert in "$work"/pairs/*.vert; do
        glslangValidator -l "$vert" "${vert%.vert}.frag"
    done
}

glslang_mixed() {
    for file in "$work"/mixed/*; do
        glslangValidator "$file"
    done
}

echo "driver: $("$checker" --format=json "$work/pairs" | awk -F'"' '/"renderer"/ {print $4}')," \
    "$(nproc) processors, load average $(cut -d' ' -f1 /proc/loadavg), best of $runs runs, wall time"
for ws in pairs mixed; do
    one=$(best_of "$checker" -j 1 "$work/$ws")
    two=$(best_of "$checker" -j 2 "$work/$ws")
    if command -v glslangValidator >/dev/null; then
        glslang=$(best_of "glslang_$ws")
    else
        glslang=
    fi
    # Control: two processes with -j 1 side by side on the same WorkSpace, each doing the whole
    # work; on two free processors they take as long as one alone.
    alone=$(best_of "$checker" -j 1 "$work/$ws")
    side=$(best_of sh -c '"$0" -j 1 "$1" >/dev/null & "$0" -j 1 "$1" >/dev/null; wait' \
        "$checker" "$work/$ws")
    awk -v a="$alone" -v s="$side" 'BEGIN {
        printf "  control: two -j 1 processes side by side take %.2f x as long as one\n", s / a }'
    awk -v w="$ws" -v a="$one" -v b="$two" -v g="$glslang" 'BEGIN {
        label = (w == "pairs") ? "200 lighting pairs" : "1,000 files of six stages"
        printf "%s\n", label
        printf "  glsl-tessory-check -j 1            %8.3f s\n", a
        printf "  glsl-tessory-check -j 2            %8.3f s   speed-up %.2f x (target >= 1.7)\n", b, a / b
        if (g != "")
            printf "  glslangValidator once per %-5s    %8.3f s   %.1f x slower than -j 2 (target >= 3)\n", (w == "pairs") ? "pair" : "file", g, g / b
    }'
done
