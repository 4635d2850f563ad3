#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the 16 x 16 tool-bar icons of GLSL Tessory and writes them as RGBA PNG files.

Usage: tools/make_icons.py [--sheet PREVIEW.png]

Writes src/app/resources/icons/*.png and src/app/resources/icons.qrc. With --sheet it also
writes an eight times enlarged contact sheet of all icons, on a light and on a dark strip, to
judge how they read on either kind of tool bar.

Only the standard library is used (zlib and struct for the PNG files), so the icons can be
redrawn on any machine with Python 3. Documents, the folder, the disk and the clipboard are
pixel maps; strokes (the cross, the check marks, the arrow, the scissors) are drawn from
geometry and get a dark outline from their own shape.
"""

import argparse
import math
import struct
import zlib
from pathlib import Path

SIZE = 16
ROOT = Path(__file__).resolve().parent.parent
RESOURCES = ROOT / "src" / "app" / "resources"

# Tango-like colours: saturated fills with a dark outline stay legible on light and dark bars.
PALETTE = {
    ".": (0, 0, 0, 0),
    "k": (0x2E, 0x34, 0x36, 0xFF),  # outline
    "w": (0xFF, 0xFF, 0xFF, 0xFF),  # paper
    "g": (0xD3, 0xD7, 0xCF, 0xFF),  # paper shade, folded corner
    "t": (0x88, 0x8A, 0x85, 0xFF),  # text lines on paper
    "l": (0xFF, 0xEE, 0xA8, 0xFF),  # folder highlight
    "y": (0xF5, 0xCE, 0x55, 0xFF),  # folder front
    "Y": (0xD2, 0x9A, 0x25, 0xFF),  # folder back
    "c": (0x9C, 0xC4, 0xEE, 0xFF),  # light blue
    "b": (0x3F, 0x72, 0xB8, 0xFF),  # blue
    "B": (0x20, 0x4A, 0x87, 0xFF),  # dark blue
    "s": (0xBA, 0xBD, 0xB6, 0xFF),  # steel
    "S": (0xEE, 0xEE, 0xEC, 0xFF),  # bright steel
    "n": (0xC1, 0x7D, 0x11, 0xFF),  # clipboard board
    "N": (0x8F, 0x59, 0x02, 0xFF),  # clipboard shade
    "*": (0xFC, 0xE9, 0x4F, 0xFF),  # sparkle
    "o": (0xE0, 0x9B, 0x10, 0xFF),  # sparkle rim
}
OUTLINE = PALETTE["k"]
RED = (0xE8, 0x33, 0x2E, 0xFF)
RED_LIGHT = (0xFF, 0x8A, 0x80, 0xFF)
GREEN = (0x73, 0xD2, 0x16, 0xFF)
GREEN_LIGHT = (0xB8, 0xF0, 0x7A, 0xFF)
GREEN_DARK = (0x4E, 0x9A, 0x06, 0xFF)
BLUE = PALETTE["b"]
BLUE_LIGHT = PALETTE["c"]
STEEL = PALETTE["s"]
STEEL_LIGHT = PALETTE["S"]


# --- pixel maps -----------------------------------------------------------------------------

FOLDER_OPEN = [
    "................",
    "................",
    ".kkkkk..........",
    "kYYYYYk.........",
    "kYYYYYYkkkkkkk..",
    "kYYYYYYYYYYYYYk.",
    "kYYYYYYYYYYYYYk.",
    "kYYkkkkkkkkkkkkk",
    "kYYkllllllllllyk",
    "kYkyyyyyyyyyyyk.",
    "kYkyyyyyyyyyyyk.",
    "kkyyyyyyyyyyyk..",
    "kkyyyyyyyyyyyk..",
    "kkkkkkkkkkkkk...",
    "................",
    "................",
]

PAGE = [
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkgk....",
    "..kwwwwwwkggk...",
    "..kwwwwwwkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
]

SMALL_PAGE = [
    "kkkkkkk...",
    "kwwwwwkk..",
    "kwwwwwkgk.",
    "kwwwwwkkkk",
    "kwwwwwwwwk",
    "kwttttttwk",
    "kwwwwwwwwk",
    "kwtttttwwk",
    "kwwwwwwwwk",
    "kwttttwwwk",
    "kwwwwwwwwk",
    "kkkkkkkkkk",
]

FLOPPY = [
    "................",
    ".kkkkkkkkkkkkk..",
    ".kbbSSSSSBsbbbk.",
    ".kbbSSSSSBsbbbk.",
    ".kbbSSSSSBsbbbk.",
    ".kbbsssssssbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwttttttttwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwttttttttwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kbwwwwwwwwwwbk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]

CLIPBOARD = [
    "....kkkkkk......",
    ".kkkkSSSSkkkk...",
    ".knnksssskNnk...",
    ".knnkkkkkkNnk...",
    ".knnnnnnnnnnk...",
    ".knnnnkkkkkkkkk.",
    ".knnnnkwwwwwwwk.",
    ".knnnnkwttttwwk.",
    ".knnnnkwwwwwwwk.",
    ".knnnnkwtttttwk.",
    ".knnnnkwwwwwwwk.",
    ".knnnnkwttttwwk.",
    ".knnnnkwwwwwwwk.",
    ".knnnnkwtttwwwk.",
    ".kkkkkkwwwwwwwk.",
    "......kkkkkkkkk.",
]


def parse_map(rows):
    if any(len(r) != len(rows[0]) for r in rows) or len(rows) > SIZE or len(rows[0]) > SIZE:
        raise ValueError("ragged or oversized pixel map: " + repr(rows))
    return rows


def blank():
    return [[PALETTE["."]] * SIZE for _ in range(SIZE)]


def overlay(canvas, rows, dx=0, dy=0, recolour=None):
    """Copies the opaque pixels of a pixel map onto the canvas, optionally swapping colours."""
    for y, row in enumerate(parse_map(rows)):
        for x, ch in enumerate(row):
            px, py = x + dx, y + dy
            if ch != "." and 0 <= px < SIZE and 0 <= py < SIZE:
                colour = PALETTE[ch]
                canvas[py][px] = (recolour or {}).get(ch, colour)
    return canvas


# --- geometry: a shape is the set of pixels whose centres lie inside it ------------------------
# Coordinates are pixel centres: (0, 0) is the middle of the top-left pixel, y grows downwards.


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / length2))
    return math.hypot(px - (ax + t * vx), py - (ay + t * vy))


def stroke(points, radius):
    """Pixels within radius of a polyline."""
    return {
        (x, y)
        for y in range(SIZE)
        for x in range(SIZE)
        if any(
            segment_distance(x, y, ax, ay, bx, by) <= radius
            for (ax, ay), (bx, by) in zip(points, points[1:])
        )
    }


def polygon(points):
    """Pixels whose centres are inside the polygon (even-odd rule)."""
    mask = set()
    for y in range(SIZE):
        for x in range(SIZE):
            inside = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    inside = not inside
            if inside:
                mask.add((x, y))
    return mask


def ring(cx, cy, inner, outer):
    return {
        (x, y)
        for y in range(SIZE)
        for x in range(SIZE)
        if inner <= math.hypot(x - cx, y - cy) <= outer
    }


def arc(cx, cy, r, start_deg, end_deg, steps=48):
    """Points along a circle arc; angles in degrees, 0 to the right, growing clockwise."""
    return [
        (
            cx + r * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
            cy + r * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / steps)),
        )
        for i in range(steps + 1)
    ]


def grow(mask):
    """The mask and its eight neighbours: a shape's outline is grow(shape) - shape."""
    return {
        (x + dx, y + dy)
        for x, y in mask
        for dx in (-1, 0, 1)
        for dy in (-1, 0, 1)
        if 0 <= x + dx < SIZE and 0 <= y + dy < SIZE
    }


def upper_edge(mask):
    """The pixels of a shape that have no shape pixel above them: where the light falls."""
    return {(x, y) for x, y in mask if (x, y - 1) not in mask}


def paint(canvas, mask, colour, highlight=None):
    """Draws a filled shape with a dark outline around it, over what is already there."""
    for x, y in grow(mask) - mask:
        canvas[y][x] = OUTLINE
    lit = upper_edge(mask) if highlight else set()
    for x, y in mask:
        canvas[y][x] = highlight if (x, y) in lit else colour
    return canvas


def sparkle(canvas, cx, cy):
    star = polygon(
        [(cx, cy - 3.6), (cx + 1, cy - 1), (cx + 3.6, cy), (cx + 1, cy + 1),
         (cx, cy + 3.6), (cx - 1, cy + 1), (cx - 3.6, cy), (cx - 1, cy - 1)]
    )
    return paint(canvas, star, PALETTE["*"])


def check_mark(canvas, points, radius, colour=GREEN):
    return paint(canvas, stroke(points, radius), colour, GREEN_LIGHT)


# --- the icons ------------------------------------------------------------------------------


def document_open():
    return overlay(blank(), FOLDER_OPEN)


def document_new():
    return sparkle(overlay(blank(), PAGE), 12, 3)


def shader_new_from_current():
    canvas = overlay(blank(), SMALL_PAGE, 0, 0)
    canvas = overlay(canvas, SMALL_PAGE, 6, 4, {"t": BLUE})
    return sparkle(canvas, 12, 3)


def document_save():
    return overlay(blank(), FLOPPY)


def edit_delete():
    cross = stroke([(3, 3), (12, 12)], 1.5) | stroke([(12, 3), (3, 12)], 1.5)
    return paint(blank(), cross, RED, RED_LIGHT)


def edit_undo():
    shaft = stroke([(5, 4.5)] + arc(9, 8.75, 4.25, -90, 90) + [(4, 13)], 1.0)
    head = polygon([(0.5, 4.5), (6, -0.5), (6, 9.5)])
    return paint(blank(), shaft | head, BLUE, BLUE_LIGHT)


def edit_cut():
    canvas = blank()
    canvas = paint(canvas, stroke([(10, 10), (4, 1)], 1.0), STEEL, STEEL_LIGHT)
    canvas = paint(canvas, stroke([(5, 10), (11, 1)], 1.0), STEEL, STEEL_LIGHT)
    canvas = paint(canvas, ring(4, 12, 1.0, 2.5), RED, RED_LIGHT)
    return paint(canvas, ring(11, 12, 1.0, 2.5), RED, RED_LIGHT)


def edit_copy():
    return overlay(overlay(blank(), SMALL_PAGE, 0, 0), SMALL_PAGE, 6, 4)


def edit_paste():
    return overlay(blank(), CLIPBOARD)


def shader_test():
    return check_mark(blank(), [(2.5, 8.5), (6, 12), (13, 3.5)], 1.35)


def shader_test_all():
    canvas = check_mark(blank(), [(1, 8), (4, 11), (9, 4)], 1.1, GREEN_DARK)
    return check_mark(canvas, [(6, 8), (9, 11), (14, 4)], 1.1)


# File name (after the freedesktop icon it stands in for, where there is one), command, drawing.
ICONS = [
    ("document-open.png", "Action_SelWorkSpace", document_open),
    ("document-new.png", "Action_NES", document_new),
    ("shader-new-from-current.png", "Action_NewShader", shader_new_from_current),
    ("document-save.png", "Action_SaveShader", document_save),
    ("edit-delete.png", "Action_DelS", edit_delete),
    ("edit-undo.png", "Action_Undo", edit_undo),
    ("edit-cut.png", "Action_Cut", edit_cut),
    ("edit-copy.png", "Action_Copy", edit_copy),
    ("edit-paste.png", "Action_Paste", edit_paste),
    ("shader-test.png", "Action_Compile", shader_test),
    ("shader-test-all.png", "Action_TestAll", shader_test_all),
]


# --- output ---------------------------------------------------------------------------------


def write_png(path, pixels):
    """An 8-bit RGBA PNG without filtering; rows of (r, g, b, a) tuples."""
    height, width = len(pixels), len(pixels[0])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)
    png = (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )
    Path(path).write_bytes(png)


def write_qrc(path, entries):
    lines = [
        "<!DOCTYPE RCC>",
        "<!-- Generated by tools/make_icons.py; edit the script, not this file. -->",
        '<RCC version="1.0">',
        '    <qresource prefix="/icons">',
    ]
    lines += [
        f'        <file alias="{name}">icons/{name}</file> <!-- {command} -->'
        for name, command in entries
    ]
    lines += ["    </qresource>", "</RCC>", ""]
    Path(path).write_text("\n".join(lines))


def blend(under, over):
    a = over[3] / 255
    return tuple(round(o * a + u * (1 - a)) for o, u in zip(over[:3], under[:3])) + (255,)


def contact_sheet(icons, scale=8, gap=8):
    """All icons, enlarged, once on a light and once on a dark strip, with actual-size copies."""
    backgrounds = [(0xEF, 0xEF, 0xEF, 255), (0x35, 0x38, 0x3C, 255)]
    cell = SIZE * scale + gap
    strip = cell + SIZE + 2 * gap
    width = gap + len(icons) * cell
    height = len(backgrounds) * strip
    sheet = [[(0x80, 0x80, 0x80, 255)] * width for _ in range(height)]
    for b, bg in enumerate(backgrounds):
        top = b * strip
        for y in range(top, top + strip - 2):
            sheet[y] = [bg] * width
        for i, icon in enumerate(icons):
            left = gap + i * cell
            for y in range(SIZE * scale):
                for x in range(SIZE * scale):
                    sheet[top + gap + y][left + x] = blend(bg, icon[y // scale][x // scale])
            for y in range(SIZE):
                for x in range(SIZE):
                    sheet[top + cell + gap + y][left + x] = blend(bg, icon[y][x])
    return sheet


def main():
    parser = argparse.ArgumentParser(description="Draws the tool-bar icons of GLSL Tessory.")
    parser.add_argument("--sheet", type=Path, help="also write an enlarged preview sheet here")
    args = parser.parse_args()
    out_dir = RESOURCES / "icons"
    out_dir.mkdir(parents=True, exist_ok=True)
    drawn = [(name, draw()) for name, _, draw in ICONS]
    for name, pixels in drawn:
        write_png(out_dir / name, pixels)
    write_qrc(RESOURCES / "icons.qrc", [(name, command) for name, command, _ in ICONS])
    if args.sheet:
        write_png(args.sheet, contact_sheet([pixels for _, pixels in drawn]))


if __name__ == "__main__":
    main()
