#!/bin/sh
# SPDX-License-Identifier: MIT
# Wall time of glsl-tessory-check with -j 1 and with -j 2, and of glslangValidator run once per
# pair or file, on two WorkSpaces: 200 copies of the example lighting pair, and 1,000 files of the
# six stages in turn without partners (bench/check/stages, the lone vertex and fragment files
# reported as such). Run by hand after `make benchmarks`:
#     bench/check/check_parallel.sh [BUILD_DIR] [ROUNDS]
# Each round (default 11) runs -j 1, -j 2 and the control back to back, in turns of order. The
# speed-up is the median of the rounds' -j 1 / -j 2 ratios: on a shared host a processor's speed
# changes from moment to moment, and a run of -j 1 needs one fast processor where a run of -j 2
# needs two, so the best run of each would set -j 1's luckiest moment against an ordinary one of
# -j 2. The best of each is printed beside it. glslangValidator, which takes a minute on the
# files, runs once.
# Targets: -j 2 at least 1.7 times as fast as -j 1 on a machine with two free cores;
# glslangValidator at least 3 times slower than -j 2. Beside them: the control (two -j 1
# processes side by side against one, the median of the rounds: 1.00 on two free cores, more when
# other programs take a processor), the start-up (the run of a WorkSpace of one pair: process,
# driver load, context, the driver's first compile) as a share of -j 1, the best speed-up that
# start-up leaves on two free processors and on processors as shared as the control found them
# (each thread's work stretched by the control's factor), and the load average before and after.
# Then, when it is built, check_overhead_bench prints the checker's own share of the time. Without
# glslangValidator (Debian: glslang-tools) its lines are left out.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
rounds=${2:-11}
checker=$build/bin/glsl-tessory-check
[ -x "$checker" ] || { echo "$checker not built" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/pairs" "$work/mixed" "$work/one"
cp "$root/examples/lighting.vert" "$root/examples/lighting.frag" "$work/one/"
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

# Wall time in seconds of "$@"; the exit status is not looked at, as the lone files of the mixed
# WorkSpace are reported.
timed() {
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    end=$(now)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}

# The median and the least of the numbers on standard input, one a line.
median_least() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.6f %.6f", m, v[1] }'
}

side_by_side() {
    "$checker" -j 1 "$1" >/dev/null 2>&1 &
    "$checker" -j 1 "$1" >/dev/null 2>&1 || true
    wait
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

load() { cut -d' ' -f1 /proc/loadavg; }

echo "driver: $("$checker" --format=json "$work/pairs" | awk -F'"' '/"renderer"/ {print $4}')," \
    "$(nproc) processors, load average $(load), $rounds rounds, wall time"
r=0
while [ $r -lt "$rounds" ]; do
    timed "$checker" -j 1 "$work/one"
    echo
    r=$((r + 1))
done >"$work/startup"
startup=$(median_least <"$work/startup" | cut -d' ' -f1)
for ws in pairs mixed; do
    r=0
    while [ $r -lt "$rounds" ]; do
        if [ $((r % 2)) -eq 0 ]; then
            one=$(timed "$checker" -j 1 "$work/$ws")
            two=$(timed "$checker" -j 2 "$work/$ws")
        else
            two=$(timed "$checker" -j 2 "$work/$ws")
            one=$(timed "$checker" -j 1 "$work/$ws")
        fi
        side=$(timed side_by_side "$work/$ws")
        echo "$one $two $side"
        r=$((r + 1))
    done >"$work/rounds"
    set -- $(cut -d' ' -f1 "$work/rounds" | median_least) \
        $(cut -d' ' -f2 "$work/rounds" | median_least) \
        $(awk '{ print $1 / $2 }' "$work/rounds" | median_least) \
        $(awk '{ print $3 / $1 }' "$work/rounds" | median_least)
    one=$1 one_best=$2 two=$3 two_best=$4 speedup=$5 control=$7
    glslang=
    if command -v glslangValidator >/dev/null; then
        glslang=$(timed "glslang_$ws")
    fi
    awk -v w="$ws" -v a="$one" -v ab="$one_best" -v b="$two" -v bb="$two_best" -v x="$speedup" \
        -v k="$control" -v s="$startup" -v g="$glslang" -v l="$(load)" 'BEGIN {
        label = (w == "pairs") ? "200 lighting pairs" : "1,000 files of six stages"
        printf "%s (load average now %s)\n", label, l
        printf "  glsl-tessory-check -j 1            %8.3f s median, %.3f s best\n", a, ab
        printf "  glsl-tessory-check -j 2            %8.3f s median, %.3f s best\n", b, bb
        printf "  speed-up, median of the rounds     %8.2f x (target >= 1.7); best against best %.2f x\n", x, ab / bb
        printf "  control: two -j 1 side by side     %8.2f x as long as one (1.00 = two free processors)\n", k
        printf "  start-up (a WorkSpace of one pair) %8.3f s   %.1f %% of -j 1\n", s, 100 * s / a
        printf "  best -j 2 can do after that start-up: %.2f x on two free processors, %.2f x at this control\n", a / (s + (a - s) / 2), a / (s + (a - s) * k / 2)
        if (g != "")
            printf "  glslangValidator once per %-5s    %8.3f s   %.1f x slower than -j 2 (target >= 3)\n", (w == "pairs") ? "pair" : "file", g, g / b
    }'
done
overhead=$build/bench/check/check_overhead_bench
if [ -x "$overhead" ]; then
    echo
    "$overhead" --benchmark_min_time=1 2>&1 | sed -n '/^Context creation/,$p'
else
    echo "($overhead not built: make benchmarks)"
fi
echo "load average at the end: $(load)"
