#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the about box's picture: the title artwork on a blue gradient, 341 x 281 pixels, written
# as a baseline (not progressive) three-component YCbCr JPEG, which is what the decoder of the
# about box expects.
#
# Usage: tools/make-about-picture.sh [OUTPUT.jpg]   (default: src/texts/resources/about.jpg)
#
# The about box draws white text over the picture: labels in the middle at y 66..108, a rule at
# y 126, text lines on the left at y 138..190, a rule at y 226 and the "Ok" button at
# (132, 241). So the title stays above y 60, and everything below it stays dark blue with only
# faint decoration, apart from the lit sphere on the right, where no text goes.
#
# Needs Debian's ImageMagick 6; /usr/bin/convert is named explicitly because other programs
# called "convert" may come first on the PATH.
set -euo pipefail

CONVERT=/usr/bin/convert
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${1:-$ROOT/src/texts/resources/about.jpg}"
W=341
H=281

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# A triangle lattice (a tessellation, for the name) as -draw line primitives: horizontal lines
# and two families of lines at +-60 degrees, spaced 26 pixels apart.
awk -v w="$W" -v h="$H" 'BEGIN {
    step = 26; rise = sqrt(3); run = h / rise
    for (y = 13; y < h; y += step * rise / 2) printf "line 0,%.1f %d,%.1f\n", y, w, y
    for (x = -run; x < w + run; x += step) {
        printf "line %.1f,0 %.1f,%d\n", x, x + run, h
        printf "line %.1f,0 %.1f,%d\n", x, x - run, h
    }
}' >"$WORK/lattice.mvg"

# Three sine waves behind the title, like a waveform on a scope.
awk -v w="$W" 'BEGIN {
    pi = atan2(0, -1)
    for (k = 0; k < 3; ++k) {
        printf "polyline"
        for (x = -2; x <= w + 2; x += 3) {
            y = 34 + (9 - 2 * k) * sin(2 * pi * x / (150 + 40 * k) + 1.7 * k)
            printf " %d,%.2f", x, y
        }
        printf "\n"
    }
}' >"$WORK/waves.mvg"

# Background: dark at the bottom where the text goes, lighter behind the title.
"$CONVERT" -size ${W}x${H} gradient:'#2b64c4'-'#061640' \
    \( -size 256x256 radial-gradient:'rgba(110,185,255,0.6)'-'rgba(110,185,255,0)' \
       -resize 480x180! \) -geometry -70-84 -composite \
    "$WORK/background.png"

"$CONVERT" -size ${W}x${H} xc:none -fill none -stroke 'rgba(190,225,255,0.075)' -strokewidth 1 \
    -draw "$(cat "$WORK/lattice.mvg")" "$WORK/lattice.png"

"$CONVERT" -size ${W}x${H} xc:none -fill none -stroke 'rgba(140,210,255,0.30)' -strokewidth 1.2 \
    -draw "$(cat "$WORK/waves.mvg")" "$WORK/waves.png"

# A Phong-lit sphere, the classic first per-pixel lighting shader: the shade (ambient, diffuse
# and a specular highlight from a light at the upper left) is mapped through a blue colour ramp.
D=64
"$CONVERT" -size ${D}x${D} xc:black -fx "
    nx = (i + 0.5 - w / 2) / (w / 2 - 1); ny = (j + 0.5 - h / 2) / (h / 2 - 1);
    dd = nx * nx + ny * ny; nz = sqrt(max(0, 1 - dd));
    lx = -0.48; ly = -0.58; lz = 0.66;
    dif = max(0, nx * lx + ny * ly + nz * lz);
    hl = hypot(hypot(lx, ly), lz + 1);
    spc = pow(max(0, (nx * lx + ny * ly + nz * (lz + 1)) / hl), 40);
    min(1, 0.12 + 0.72 * dif + 0.9 * spc)" "$WORK/shade.png"
"$CONVERT" \( -size 1x150 gradient:'#0a1f5c'-'#3d9cf5' \) \
    \( -size 1x106 gradient:'#3d9cf5'-'#ffffff' \) -append "$WORK/ramp.png"
"$CONVERT" -size ${D}x${D} xc:black -fx "
    nx = (i + 0.5 - w / 2) / (w / 2 - 1); ny = (j + 0.5 - h / 2) / (h / 2 - 1);
    min(1, max(0, (1 - hypot(nx, ny)) * (w / 2 - 1) + 0.5))" "$WORK/disc.png"
"$CONVERT" "$WORK/shade.png" "$WORK/ramp.png" -clut "$WORK/disc.png" \
    -alpha off -compose CopyOpacity -composite "$WORK/sphere.png"

# The title: "GLSL" in light blue, "Tessory" in white, with a soft glow and a drop shadow.
"$CONVERT" -background none -font DejaVu-Sans-Bold -pointsize 34 \
    \( -fill '#9fd8ff' label:'GLSL' \) \( -size 12x1 xc:none +size \) \
    \( -fill '#ffffff' label:'Tessory' \) -gravity center +append "$WORK/title.png"
"$CONVERT" "$WORK/title.png" -alpha extract -background '#52aaff' -alpha shape \
    -channel A -blur 0x5 -evaluate multiply 0.9 +channel "$WORK/glow.png"
"$CONVERT" "$WORK/title.png" -alpha extract -background '#020a24' -alpha shape \
    -channel A -blur 0x1.5 -evaluate multiply 0.8 +channel "$WORK/shadow.png"

# A thin light rule under the title that fades out at both ends.
"$CONVERT" -size 230x1 xc:'#9fd8ff' -channel A -fx 'pow(sin(pi * (i + 0.5) / w), 2)' \
    +channel "$WORK/rule.png"

"$CONVERT" "$WORK/background.png" \
    "$WORK/lattice.png" -composite \
    "$WORK/waves.png" -composite \
    -gravity north "$WORK/glow.png" -geometry +0+10 -composite \
    "$WORK/shadow.png" -geometry +2+12 -composite \
    "$WORK/title.png" -geometry +0+10 -composite \
    "$WORK/rule.png" -geometry +0+55 -composite \
    -gravity northwest "$WORK/sphere.png" -geometry +262+144 -composite \
    -alpha off -strip -sampling-factor 2x2,1x1,1x1 -colorspace sRGB -type TrueColor \
    -interlace none -quality 90 "jpeg:$OUT"

echo "wrote $OUT"
